// "Detect source code page": before a conversion, the source code page is
// taken from the text itself when the detector is sure of it.
#pragma once

#include <windows.h>

// With detection on in parameters and the detector confident, makes the
// detected page the source: in parameters, which the job converts with,
// and on the window's code page bar. Returns the page, or -1 when the
// user's choice stands. Looks at no more than the first 64 KiB.
int DetectSource(HWND window, DWORD& parameters, const unsigned char* text, SIZE_T count);

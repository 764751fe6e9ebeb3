// "Detect source code page": before a conversion, the source code page is
// taken from the text itself when the detector is sure of it.
#pragma once

#include <windows.h>

// With detection on and the detector confident, makes the detected page the
// source (the toolbar shows it, the conversion uses it) and returns it;
// otherwise returns -1 and the user's choice stands. Looks at no more than
// the first 64 KiB.
int DetectSource(HWND window, const unsigned char* text, SIZE_T count);

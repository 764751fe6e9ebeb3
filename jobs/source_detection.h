// "Detect source code page": before a conversion, the source code page is
// taken from the text itself when the detector is sure of it.
#pragma once

#include <windows.h>

// What the detection found, besides a CodePageIndex.
const int SourceNotDetected = -1;  // detection is on, but the detector is not sure
const int DetectionOff = -2;       // "Detect source code page" is off in parameters

// The page of the first 64 KiB (at most) of text when detection is on in
// parameters and the detector is sure of it.
int DetectPage(DWORD parameters, const unsigned char* text, SIZE_T count);

// The same, and a page found becomes the source: in parameters, which the
// job converts with, and on the window's code page bar.
int DetectSource(HWND window, DWORD& parameters, const unsigned char* text, SIZE_T count);

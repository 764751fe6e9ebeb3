// The scale the window is drawn at: its DPI, and the pictures and frame for
// it. The settings' 96-DPI values become pixels with stored_scale.h.
#pragma once

#include <windows.h>

#include "stored_scale.h"

// WINVER stays that of the oldest system the program runs on; these come
// from later ones and are simply not sent or not found on the older.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// The DPI the main window and its controls are drawn for: set when the
// window is created and again on every WM_DPICHANGED.
extern int WindowDpi;

// The DPI of the screen window stands on, as far as the system can say: per
// monitor from Windows 8.1 on, the system's before.
int DpiOfWindow(HWND window);

// The whole multiple a picture drawn for 96 DPI is enlarged by at dpi, so
// that its pixel art stays crisp: 1 up to 1.49 times, 2 from 1.5 times, 3
// from 2.5 times, and so on.
int ImageMultiple(int dpi);

// AdjustWindowRectEx for a window drawn at dpi (its caption and borders at
// that scale), where the system can tell.
void AdjustFrameForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

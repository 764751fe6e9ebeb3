// The scale the settings measure the window in. X, Y, W and H are kept in
// the pixels of a 96-DPI screen whatever screen the window stood on, so
// that a setting means the same place and size on every screen and system:
//   - W and H: the window's size with the preview, times 96 over the DPI of
//     the screen the window stands on (sizes on the window's own scale);
//   - X and Y: its top left corner, times 96 over the DPI of the whole
//     desktop, the primary screen's (the same for every window all session
//     long, so that a place on any screen comes back to that screen).
// At 96 DPI these are plain pixels, as they always were; they are also what
// a program that does not know the screen's scale sees on a scaled screen.
#pragma once

#include <windows.h>

#ifndef USER_DEFAULT_SCREEN_DPI
#define USER_DEFAULT_SCREEN_DPI 96
#endif

// The DPI the whole session's desktop is measured in: the primary screen's
// when the user logged on.
int SystemDpi();

// Between 96-DPI pixels (what the settings keep) and the pixels at dpi.
int ToScreen(int value96, int dpi);
int ToStored(int pixels, int dpi);

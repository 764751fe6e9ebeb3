// Keeping the main window where the user can take hold of it: a place kept
// from another screen, another scale or another arrangement of monitors
// may lie off every screen today.
#pragma once

#include <windows.h>

// Whether enough of the caption of a window standing at rect lies on the
// work area of a screen for the mouse to drag it.
bool CanBeGrabbed(const RECT& rect, int dpi);

// Moves window, at its size, onto the work area of the screen nearest to
// it when it cannot be grabbed where it stands; as far as it fits, the
// whole window comes onto that screen, as near its old place as it can.
void BringWithinReach(HWND window);

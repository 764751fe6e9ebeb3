// Context help: after the "Context Help" button, the next left click asks
// for help on what it hits.
#pragma once

#include <windows.h>

// WM_LBUTTONDOWN: in context-help mode, ends the mode.
void OnLeftButtonDown(HWND window, int x, int y);

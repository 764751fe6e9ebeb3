// The program's items at the top of the window's system menu.
#pragma once

#include <windows.h>

void InsertSystemMenuItems(HWND window);

// WM_SYSCOMMAND, before default processing; TRUE when the window went to
// the tray, and default processing must not minimize it as well.
BOOL OnSysCommand(HWND window, WPARAM wParam);

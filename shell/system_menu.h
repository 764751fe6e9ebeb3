// The program's items at the top of the window's system menu.
#pragma once

#include <windows.h>

void InsertSystemMenuItems(HWND window);

// WM_SYSCOMMAND, before default processing.
void OnSysCommand(HWND window, WPARAM wParam);

// The command set: every user action arrives here as a command number.
#pragma once

#include <windows.h>

#include "menu_checks.h"

// On while the next left click asks for help on what it hits.
extern int ContextHelpMode;

int OnCommand(HWND window, int command, HWND control, int code);

// WM_DRAWCLIPBOARD and WM_DEFERRED_DRAWCLIPBOARD: the commands follow the
// clipboard, and the clipboard job hears of the change.
void OnClipboardChange(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT OnNotify(HWND window, int control, NMHDR* header);

// The close box, Alt+F4 and "Exit". During a file job: the job is
// cancelled first, and the window closes when it has ended.
void CloseMainWindow(HWND window);

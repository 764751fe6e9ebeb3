// The command set: every user action arrives here as a command number.
#pragma once

#include <windows.h>

// On while the next left click asks for help on what it hits.
extern int ContextHelpMode;

int OnCommand(HWND window, int command, HWND control, int code);
LRESULT OnNotify(HWND window, int control, NMHDR* header);

// Flips the check mark of a menu item (by command); 1 when now checked.
int ToggleMenuCheck(HMENU menu, UINT item);

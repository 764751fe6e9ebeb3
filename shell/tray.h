// The notification-area icon: minimizing hides the window there; a double
// click brings it back, a right click opens the tray menu.
#pragma once

#include <windows.h>

// Shell_NotifyIconW with the old 152-byte NOTIFYICONDATAW, so that the tip
// is in the interface language whatever the ANSI code page; an icon handed
// in is destroyed afterwards (the shell keeps its own copy). Without an
// icon, NIM_MODIFY changes the tip only. The tip holds 63 characters.
BOOL NotifyIcon(HWND window, DWORD action, UINT id, HICON icon, const wchar_t* tip);

// SC_MINIMIZE: hides the window in the tray; FALSE when the icon could not
// be added, and the window should minimize as usual.
BOOL MinimizeToTray(HWND window);

// The icon's tip, now if it is shown and whenever it is added later.
void SetTrayTip(HWND window, const wchar_t* tip);

// Takes the icon away, if there is one.
void RemoveTrayIcon(HWND window);

// The shell's "TaskbarCreated" broadcast, after Explorer has started again
// without the icons it showed.
extern UINT TaskbarCreatedMessage;
void OnTaskbarCreated(HWND window);

// The icon's callback message; lParam is the mouse message.
void OnTrayNotify(HWND window, LPARAM mouseMessage);

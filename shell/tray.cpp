#include "tray.h"

#include <shellapi.h>

#include "main_window.h"
#include "resource_ids.h"
#include "toolbars.h"

UINT TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");

namespace {

// The icon is shown exactly while the window is hidden behind it.
bool IconShown;

// Empty but while a file job shows its progress there.
wchar_t Tip[64];

bool AddIcon(HWND window)
{
    HICON icon = static_cast<HICON>(
        LoadImageW(Instance, MAKEINTRESOURCEW(IDI_TARVO_SMALL), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    IconShown = NotifyIcon(window, NIM_ADD, TRAY_ICON_ID, icon, Tip) != 0;
    return IconShown;
}

void ShowTrayMenu(HWND window)
{
    POINT cursor;
    GetCursorPos(&cursor);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int centre = (desktop.left + desktop.right) / 2;
    const UINT alignment = cursor.x > centre ? TPM_LEFTALIGN : TPM_RIGHTALIGN;

    const int source = GetSourceIndex(), destination = GetDestinationIndex();
    for (int n = 0; n < 5; ++n) {
        CheckMenuItem(TrayMenu, IDM_SOURCE_FIRST + n, MF_BYCOMMAND | (n == source ? MF_CHECKED : MF_UNCHECKED));
        CheckMenuItem(TrayMenu, IDM_DESTINATION_FIRST + n,
                      MF_BYCOMMAND | (n == destination ? MF_CHECKED : MF_UNCHECKED));
    }
    // Without the foreground the menu would not close when the user clicks
    // elsewhere; the posted message makes the menu's end take effect.
    SetForegroundWindow(window);
    TrackPopupMenu(TrayMenu, alignment | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    PostMessageA(window, WM_USER, 0, 0);
}

} // namespace

BOOL NotifyIcon(HWND window, DWORD action, UINT id, HICON icon, const wchar_t* tip)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;  // 152: understood by every shell
    data.hWnd = window;
    data.uID = id;
    // Without an icon the one shown stays: a change of the tip alone.
    data.uFlags = NIF_MESSAGE | NIF_TIP | (icon ? NIF_ICON : 0);
    data.uCallbackMessage = WM_TRAYNOTIFY;
    data.hIcon = icon;
    lstrcpynW(data.szTip, tip ? tip : L"", 64);
    const BOOL done = Shell_NotifyIconW(action, &data);
    if (icon)
        DestroyIcon(icon);
    return done;
}

BOOL MinimizeToTray(HWND window)
{
    // Already there: a second icon cannot be added, and minimizing the
    // hidden window as well would bring it back minimized.
    if (!IconShown && !AddIcon(window))
        return FALSE;
    ShowWindow(window, SW_HIDE);
    return TRUE;
}

void SetTrayTip(HWND window, const wchar_t* tip)
{
    lstrcpynW(Tip, tip, sizeof Tip / sizeof *Tip);
    if (IconShown)
        NotifyIcon(window, NIM_MODIFY, TRAY_ICON_ID, nullptr, Tip);
}

void RemoveTrayIcon(HWND window)
{
    NotifyIcon(window, NIM_DELETE, TRAY_ICON_ID, nullptr, nullptr);
    IconShown = false;
}

void OnTaskbarCreated(HWND window)
{
    // Without its icon a hidden window could not be found again; should
    // the icon not come back, the window comes back minimized instead.
    if (IconShown && !AddIcon(window))
        ShowWindow(window, SW_SHOWMINNOACTIVE);
}

void OnTrayNotify(HWND window, LPARAM mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        RemoveTrayIcon(window);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        break;
    case WM_RBUTTONDOWN: ShowTrayMenu(window); break;
    }
}

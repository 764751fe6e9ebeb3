#include <windows.h>
#include <commctrl.h>

#include "main_window.h"
#include "settings.h"
#include "resource_ids.h"

namespace {

void BringBackRunningInstance(HWND running)
{
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    if (IsIconic(running))
        ShowWindow(running, SW_RESTORE);
    // Hidden in the tray: as if the user double-clicked its icon, which
    // takes the icon away and shows the window.
    if (!IsWindowVisible(running))
        PostMessageA(running, WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONDBLCLK);
    SetForegroundWindow(running);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    Instance = instance;

    // One instance: a second start brings the first to the front.
    HWND running = FindWindowA("Tarvo", nullptr);
    if (running) {
        BringBackRunningInstance(running);
        return 0;
    }

    InitCommonControls();
    Initializing = 1;
    Settings.FixedWidth = Settings.FixedHeight = Settings.W = Settings.H = 0;
    if (!RegisterMainWindowClass(instance))
        return 0;
    LoadSettings(Settings);
    HWND window = CreateMainWindow(instance);
    if (!window)
        return 0;
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    SaveSettings(Settings);
    if (PreviewFont)
        DeleteObject(PreviewFont);
    return static_cast<int>(message.wParam);
}

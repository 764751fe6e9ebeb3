#include <windows.h>
#include <commctrl.h>

#include "main_window.h"
#include "settings.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    Instance = instance;

    // One instance: a second start brings the first to the front.
    HWND running = FindWindowA("Tarvo", nullptr);
    if (running) {
        if (IsIconic(running))
            ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(running);
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

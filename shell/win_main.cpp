#include <windows.h>
#include <commctrl.h>

#include "command_line_files.h"
#include "interface_language.h"
#include "main_window.h"
#include "settings.h"
#include "resource_ids.h"

namespace {

// Held by the first instance for its whole life. Two starts at the same
// moment could both look for a window before either has one; only one of
// them can create the mutex. A name without a backslash stays within the
// user's session.
const char InstanceMutexName[] = "Olvendar.Tarvo.Instance";

// How long a second start waits for the first one's window: it may have
// been started a moment before and still be coming up.
const DWORD FirstWindowWaitMs = 10000;

// How long a second start waits for a first instance that is ending (it
// saves its settings on the way out) before it takes over.
const DWORD FirstInstanceExitWaitMs = 30000;

// The first instance's window, once it has one; NULL when the first
// instance ended meanwhile, which leaves the mutex to this start (owned),
// or when no window came in time.
HWND WaitForFirstWindow(HANDLE mutex, bool& owned)
{
    for (const DWORD start = GetTickCount();;) {
        if (HWND running = FindWindowA("Tarvo", nullptr))
            return running;
        const DWORD waited = WaitForSingleObject(mutex, 50);
        owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        if (owned || GetTickCount() - start > FirstWindowWaitMs)
            return nullptr;
    }
}

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

    // One instance: a second start brings the first to the front and hands
    // it the files it was given.
    const std::vector<FilePath> files = FilesOnCommandLine();
    HANDLE instanceMutex = CreateMutexA(nullptr, TRUE, InstanceMutexName);
    if (instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        bool owned = false;
        if (HWND running = WaitForFirstWindow(instanceMutex, owned)) {
            BringBackRunningInstance(running);
            if (files.empty() || HandFilesToRunningInstance(running, files))
                return 0;
        }
        // The first instance is on its way out (it saves its settings as it
        // goes): its window is gone, or takes no more files. This start
        // goes on as the first once that one has ended, rather than lose
        // what it was asked to do.
        if (!owned) {
            const DWORD waited = WaitForSingleObject(instanceMutex, FirstInstanceExitWaitMs);
            if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
                return 0;
        }
    }

    InitCommonControls();
    Initializing = 1;
    Settings.FixedWidth = Settings.FixedHeight = Settings.W = Settings.H = 0;
    if (!RegisterMainWindowClass(instance))
        return 0;
    LoadSettings(Settings);
    UseInterfaceLanguage(ChosenLanguage(Settings.Language));
    HWND window = CreateMainWindow(instance);
    if (!window)
        return 0;
    ShowWindow(window, show);
    UpdateWindow(window);
    ConvertFilesSoon(window, files);

    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    SaveSettings(Settings);
    if (PreviewFont)
        DeleteObject(PreviewFont);
    return static_cast<int>(message.wParam);
}

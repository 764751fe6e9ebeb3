#include "shell_test_support.h"

#include <vector>

namespace {

WNDPROC OriginalProc;
std::vector<HMENU> Opened;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITMENUPOPUP)
        Opened.push_back(reinterpret_cast<HMENU>(wParam));
    return CallWindowProcA(OriginalProc, window, message, wParam, lParam);
}

// A menu's modal loop still dispatches posted messages; the main window's
// default processing of WM_CANCELMODE ends the menu.
DWORD WINAPI CloseMenuWhenShown(void*)
{
    for (int tries = 0; tries < 300; ++tries) {
        if (!VisibleWindows(GetCurrentProcessId(), "#32768").empty()) {
            PostMessageA(MainWindow, WM_CANCELMODE, 0, 0);
            return 1;
        }
        Sleep(10);
    }
    return 0;
}

} // namespace

HMENU MenuOpenedBy(const std::function<void()>& action)
{
    Opened.clear();
    OriginalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
    HANDLE closer = CreateThread(nullptr, 0, CloseMenuWhenShown, nullptr, 0, nullptr);
    action();
    WaitForSingleObject(closer, 5000);
    CloseHandle(closer);
    SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OriginalProc));
    return Opened.empty() ? nullptr : Opened.front();
}

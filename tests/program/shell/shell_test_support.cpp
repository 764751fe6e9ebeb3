#include "shell_test_support.h"

#include <vector>

namespace {

WNDPROC OriginalProc;
std::vector<HMENU> Opened;
volatile LONG ActionReturned;

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
    for (const DWORD start = GetTickCount(); !ActionReturned && GetTickCount() - start < WaitBudgetMs;) {
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
    ActionReturned = 0;
    HANDLE closer = CreateThread(nullptr, 0, CloseMenuWhenShown, nullptr, 0, nullptr);
    action();
    // An action that showed no menu has returned; one that did, only once
    // the closer ended the menu.
    InterlockedExchange(&ActionReturned, 1);
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    SetWindowLongPtrA(MainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OriginalProc));
    return Opened.empty() ? nullptr : Opened.front();
}

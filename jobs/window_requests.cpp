#include "window_requests.h"

#include "resource_ids.h"

DWORD AskParameters(HWND window)
{
    return static_cast<DWORD>(SendMessageA(window, WM_GETPARAMETERS, 0, 0));
}

void AskForPreview(HWND window, int fromClipboard, const char* text)
{
    SendMessageA(window, WM_REFRESHPREVIEW, fromClipboard, reinterpret_cast<LPARAM>(text));
}

void ShowSourceCodePage(HWND window, int page)
{
    SendMessageA(window, WM_COMMAND, IDM_SOURCE_FIRST + page, 0);
}

void TellStandIns(HWND window, int page, ULONGLONG count)
{
    // More than a message carries is more than anyone counts.
    const ULONGLONG most = 0xFFFFFFFFu;
    SendMessageA(window, WM_STANDINS, static_cast<WPARAM>(page), static_cast<LPARAM>(count < most ? count : most));
}

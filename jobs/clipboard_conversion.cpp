#include "clipboard_conversion.h"

HWND NextViewer;

void ConvertClipboard(HWND)
{
}

void OnDrawClipboard(HWND, WPARAM wParam, LPARAM lParam)
{
    SendMessageA(NextViewer, WM_DRAWCLIPBOARD, wParam, lParam);
}

void OnChangeClipboardChain(HWND, HWND removed, HWND next)
{
    if (removed == NextViewer)
        NextViewer = next;
    SendMessageA(NextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed), reinterpret_cast<LPARAM>(next));
}

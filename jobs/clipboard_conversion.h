// Converting the text on the clipboard in place, on command or, as a member
// of the clipboard viewer chain, whenever another program puts text there.
#pragma once

#include <windows.h>

// The next window of the clipboard viewer chain; NULL when this is the last.
extern HWND NextViewer;

// Command 102: converts CF_TEXT from the source to the destination code
// page and adds CF_LOCALE 1049.
void ConvertClipboard(HWND window);

// WM_DRAWCLIPBOARD and WM_CHANGECBCHAIN; the window procedure returns 1.
void OnDrawClipboard(HWND window, WPARAM wParam, LPARAM lParam);
void OnChangeClipboardChain(HWND window, HWND removed, HWND next);

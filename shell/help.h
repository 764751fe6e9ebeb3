// Help: the contents on F1, and context help, where after the "Context
// Help" button the next left click opens the popup topic of what it hits.
// The help is tarvo.hlp in WinHelp, as ever; on a system without WinHelp it
// is tarvo.chm in HTML Help, when that file lies beside the program. In
// Russian and Ukrainian it is tarvo-ru and tarvo-uk (.hlp, .chm), or the
// English help where those are missing.
#pragma once

#include <windows.h>

// Opens the contents of the help, found beside the program.
void OpenHelpContents(HWND window);

// The help context of what lies under a screen point: a pane (1001, 1002)
// or a toolbar button's command; 0 for anything else.
int HelpContextAt(POINT screen);

// WM_KEYDOWN: F1 opens the contents.
void OnKeyDown(HWND window, WPARAM key);

// WM_LBUTTONDOWN: in context-help mode, ends the mode and opens the help
// for what the click hit (client coordinates).
void OnLeftButtonDown(HWND window, int x, int y);

// WM_CAPTURECHANGED: the mouse went elsewhere (Alt+Tab, the system menu,
// another window), so context-help mode ends without help.
void OnCaptureChanged();

// Leaves context-help mode and closes the help windows, for the window's end.
void CloseHelp(HWND window);

// The HtmlHelpW of the system's hhctrl.ocx, loaded when tarvo.chm is first
// shown: null before, and where the system has none. Tests put a recorder
// here to see the popups, which Wine's viewer does not show.
using HtmlHelpFunction = HWND(WINAPI*)(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data);
extern HtmlHelpFunction HtmlHelpViewer;

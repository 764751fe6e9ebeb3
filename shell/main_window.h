// The program's one top-level window, its class and the objects that live
// as long as it does.
#pragma once

#include <windows.h>

extern HINSTANCE Instance;
extern HWND MainWindow;

// Set from before the class is registered until the window is fully
// created; while it is set, size changes are not recorded as W and H.
extern int Initializing;

extern HMENU CodePageMenu;   // menu 102
extern HMENU CommandMenu;    // menu 103
extern HMENU TrayMenu;       // the first popup of menu 103
extern HCURSOR HelpCursor;

// The steps of start-up that tests repeat: register the class "Tarvo" and
// create the main window (hidden; the caller shows it).
BOOL RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

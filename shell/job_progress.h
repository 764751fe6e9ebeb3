// How far a file job has got, shown where the user looks: the window's
// title ("37% - Tarvo"), the tray icon's tip while the window is hidden
// there, and the taskbar button where the system draws progress on it.
#pragma once

#include <windows.h>

// A job begins: a "Cancelled" left by the one before goes.
void BeginJobProgress(HWND window);

// done of total bytes (total > 0). Only a change of the whole percent
// reaches the screen.
void ShowJobProgress(HWND window, ULONGLONG done, ULONGLONG total);

// The job has ended. A cancelled one leaves "Cancelled - Tarvo" in the
// title for a few seconds; otherwise the title is the program's name again.
void EndJobProgress(HWND window, bool cancelled);

// WM_SETCURSOR: while a file converts, the pointer over the window says
// that the program works and still takes input. True when it did.
bool ShowJobCursor(int hitTest);

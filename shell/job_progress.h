// How far a file job has got, shown where the user looks: the window's
// title ("37% - Tarvo"), the tray icon's tip while the window is hidden
// there, and the taskbar button where the system draws progress on it.
#pragma once

#include <windows.h>

// WM_FILEJOB. When a job starts, a "Cancelled" left by the one before goes.
// Only a change of the whole percent reaches the screen. A cancelled job
// leaves "Cancelled - Tarvo" in the title for a few seconds; otherwise the
// title is the program's name again when it ends.
void OnFileJob(HWND window, WPARAM what, LPARAM value);

// WM_SETCURSOR: while a file converts, the pointer over the window says
// that the program works and still takes input. True when it did.
bool ShowJobCursor(int hitTest);

// How far a file job has got, shown where the user looks: the window's
// title ("37% - Tarvo"), the tray icon's tip while the window is hidden
// there, and the taskbar button where the system draws progress on it;
// and, after a job, what it had to write as stand-ins.
#pragma once

#include <windows.h>

// WM_FILEJOB. When a job starts, a "Cancelled" left by the one before goes.
// Only a change of the whole percent reaches the screen. A cancelled job
// leaves "Cancelled - Tarvo" in the title for a few seconds; otherwise the
// title is the program's name again when it ends.
void OnFileJob(HWND window, WPARAM what, LPARAM value);

// WM_STANDINS: after a job that wrote characters without a place in the
// destination code page as stand-ins, the title says how many ("12
// characters have no place in KOI8-R and were written as stand-ins -
// Tarvo"), and the tray icon's tip the first half, until the next job
// starts or another conversion reports; a count of 0 takes it away.
void OnStandIns(HWND window, int page, unsigned long count);

// WM_SETCURSOR: while a file converts, the pointer over the window says
// that the program works and still takes input. True when it did.
bool ShowJobCursor(int hitTest);

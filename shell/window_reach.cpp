#include "window_reach.h"

#include "screen_scale.h"

namespace {

// How much of the caption, in 96-DPI pixels, the mouse needs beside the
// caption's buttons to take hold of it.
const int GrabWidth = 48;

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

bool WorkAreaNearest(const RECT& rect, RECT& workArea)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        return false;
    workArea = monitor.rcWork;
    return true;
}

// From lowest as far towards wanted as a stretch of length still fits
// below highest.
int Within(int wanted, int length, int lowest, int highest)
{
    if (wanted > highest - length)
        wanted = highest - length;
    return wanted < lowest ? lowest : wanted;
}

} // namespace

bool CanBeGrabbed(const RECT& rect, int dpi)
{
    RECT workArea;
    if (!WorkAreaNearest(rect, workArea))
        return true;
    // The lower half of the caption: a window whose top edge is a little
    // above the screen's is still taken by it.
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const RECT grip = {rect.left, rect.top + caption / 2, rect.right, rect.top + caption};
    RECT onScreen;
    if (!IntersectRect(&onScreen, &grip, &workArea) || Height(onScreen) < Height(grip))
        return false;
    const int needed = ToScreen(GrabWidth, dpi);
    return Width(onScreen) >= (needed < Width(rect) ? needed : Width(rect));
}

void BringWithinReach(HWND window)
{
    RECT rect, workArea;
    if (!GetWindowRect(window, &rect) || CanBeGrabbed(rect, WindowDpi) || !WorkAreaNearest(rect, workArea))
        return;
    const int x = Within(rect.left, Width(rect), workArea.left, workArea.right);
    const int y = Within(rect.top, Height(rect), workArea.top, workArea.bottom);
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

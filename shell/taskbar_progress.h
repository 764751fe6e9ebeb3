// The progress bar that Windows 7 and later draw on a taskbar button. On a
// system without it these do nothing, and nothing else depends on them.
#pragma once

#include <windows.h>

void BeginTaskbarProgress(HWND window);
void ShowTaskbarProgress(HWND window, ULONGLONG done, ULONGLONG total);
void EndTaskbarProgress(HWND window);

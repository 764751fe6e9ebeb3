// Carrying the settings record to the live controls and back: while the
// program runs, the toolbars and menus hold the state, not the record.
#pragma once

#include <windows.h>

#include "settings.h"

// To the live window, toolbars and menus while the window is created, and
// back from them when it is destroyed.
void ApplySettings(SettingsRecord& settings, HWND window);
void CaptureSettings(SettingsRecord& settings, HWND window);

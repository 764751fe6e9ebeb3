// The Parameters word as the window's controls show it: the code pages on
// the code page bar, the option switches, the system menu's checks.
#pragma once

#include <windows.h>

// The bits of stored that their handlers keep current while the program
// runs (the system menu's options, the file dialogs' filter), with the
// rest as the controls show them.
DWORD ParametersShown(DWORD stored, HWND window);

// The same over the Settings record, with ParamPreview set while the
// source pane shows a text: what a job is told when it asks
// (WM_GETPARAMETERS).
DWORD LiveParameters(HWND window);

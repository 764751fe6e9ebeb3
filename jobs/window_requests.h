// What a job asks of the window it works for. A job knows the window only
// by its handle: what the user has chosen it asks for, and what the user
// should see it asks the window to show, by messages the window answers.
#pragma once

#include <windows.h>

// The Parameters word as the window's controls show it now
// (WM_GETPARAMETERS): the code pages the user left set, the option
// switches and the system menu's checks.
DWORD AskParameters(HWND window);

// WM_REFRESHPREVIEW: the preview converts its source pane's text anew,
// after showing text there (when not NULL) or the clipboard's text (with
// fromClipboard set). Nothing happens while the preview is hidden.
void AskForPreview(HWND window, int fromClipboard, const char* text = nullptr);

// WM_COMMAND with the source code page's command: the code page bar shows
// page as the source, as if the user had chosen it.
void ShowSourceCodePage(HWND window, int page);

// WM_STANDINS: a job wrote count characters that code page page has no
// place for as stand-ins (0 when it wrote none), for the window to say so.
void TellStandIns(HWND window, int page, ULONGLONG count);

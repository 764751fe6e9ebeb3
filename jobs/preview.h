// The two-pane preview: the unconverted text above, its conversion below.
#pragma once

#include <windows.h>

extern HWND SourcePane;  // control 1003; NULL while the preview is hidden
extern HWND ResultPane;  // control 1004

// Shows the source pane's text converted in the result pane; with
// fromClipboard set, first reloads the source pane from the clipboard.
// Does nothing while the preview is hidden.
void RefreshPreview(HWND window, int fromClipboard);

// WM_SIZE: lays the panes out and remembers the size while the preview is
// shown; nothing while it is hidden.
void OnSize(HWND window, int sizeType, int width, int height);

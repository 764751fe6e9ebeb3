// The two-pane preview between the toolbars: the unconverted text above
// (the clipboard's, or the beginning of a file being converted), its
// conversion below. The panes are Unicode controls that show the text as a
// Russian system shows it, on every system: the source's bytes read in the
// source code page, the result's in the destination code page.
#pragma once

#include <windows.h>

extern HWND SourcePane;  // control 1003; NULL while the preview is hidden
extern HWND ResultPane;  // control 1004

// Creates the panes and gives the window its size with preview, or
// destroys them and gives it its fixed size. The caller sets or clears the
// preview bit first.
void ShowPreview(HWND window, int show);

// Shows the source pane's text converted in the result pane; with
// fromClipboard set, first reloads the source pane from the clipboard.
// Does nothing while the preview is hidden or a file job converts.
void RefreshPreview(HWND window, int fromClipboard);

// WM_REFRESHPREVIEW: a job's text (when not NULL, the bytes of a file's
// beginning) goes into the source pane, then as RefreshPreview.
void OnRefreshPreview(HWND window, int fromClipboard, const char* text);

// New panes start without text: what the old ones showed is forgotten.
void ForgetPreviewSource();

// WM_SIZE: the toolbars follow the client area, and while the preview is
// shown the panes fill the space between them.
void OnSize(HWND window, int sizeType, int width, int height);

// The font dialog on a copy of description; the new font, or NULL when the
// user cancels (description is then unchanged).
HFONT ChoosePreviewFont(HWND owner, LOGFONTA* description, int initialise);

// System-menu items 272 "&Preview", 336 "&Preview in cp-1251" and 352
// "Preview &font".
void OnPreviewItem(HWND window);
void OnPreviewCp1251Item(HWND window);
void OnPreviewFontItem(HWND window);

// The two toolbars, and the code page state that their buttons hold: the
// source and destination code pages are the images of the buttons carrying
// commands 105 and 106.
#pragma once

#include <windows.h>
#include <commctrl.h>

extern HWND CommandBar;   // conversion commands and option switches, on top
extern HWND CodePageBar;  // source, exchange, destination, at the bottom

// The bars are made with pictures and buttons for WindowDpi; ScaleToolbars
// gives them both anew for another DPI. Their image lists go with
// DestroyToolbarImages once the bars are gone or going.
void CreateToolbars(HWND window);
void ScaleToolbars(int dpi);
void DestroyToolbarImages();

int GetSourceIndex();
int GetDestinationIndex();

// item is 211..215 (source) or 201..205 (destination): the bar shows the
// code page, and Parameters holds it.
void SetSourceCodePage(int item);
void SetDestinationCodePage(int item);

// In menu 102, checks item firstItem + page of the five from firstItem on
// and unchecks the others.
void CheckCodePageItems(int firstItem, int page);

// The command of the button of toolbar under the screen point (x, y) among
// its first count buttons, or 0.
int ToolbarCommandAt(HWND toolbar, int x, int y, int count);

// The command bar's buttons, for the toolbar's customization protocol.
extern const TBBUTTON CommandButtons[];
extern const int CommandButtonCount;

// The system menu's "Language" submenu: English, Русский, Українська. The
// choice takes effect at once and is kept for the next start.
#pragma once

#include <windows.h>

// Inserts the submenu into the system menu at position, the interface
// language checked.
void InsertLanguageMenu(HMENU systemMenu, UINT position);

// Items 416, 432 and 448: the interface speaks the language chosen from
// now on. The menus get their texts anew, keeping their checks; the rest
// (tooltips, boxes, dialogs, help) is in the new language when next shown.
void OnLanguageItem(HWND window, UINT item);

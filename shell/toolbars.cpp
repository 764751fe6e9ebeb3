#include "toolbars.h"

#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"

HWND CommandBar;
HWND CodePageBar;

const TBBUTTON CommandButtons[] = {
    {0, IDM_CONVERT_FILES, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {1, IDM_CONVERT_CLIPBOARD, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {8, IDM_AUTO_CONVERT, TBSTATE_ENABLED, TBSTYLE_CHECK, {0}, 0, 0},
    {5, IDM_CONVERT_NEWLINES, TBSTATE_ENABLED, TBSTYLE_CHECK, {0}, 0, 0},
    {6, IDM_OVERWRITE_INPUT, TBSTATE_ENABLED, TBSTYLE_CHECK, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {9, IDM_CONTEXT_HELP, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
};
const int CommandButtonCount = sizeof CommandButtons / sizeof CommandButtons[0];

namespace {

// The code page images shown here are placeholders: ApplySettings sets the
// real ones before the window is shown.
const TBBUTTON CodePageButtons[] = {
    {0, IDM_SOURCE_CODEPAGE, TBSTATE_ENABLED, TBSTYLE_DROPDOWN, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {4, IDM_EXCHANGE, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {1, IDM_DESTINATION_CODEPAGE, TBSTATE_ENABLED, TBSTYLE_DROPDOWN, {0}, 0, 0},
};
const int CodePageButtonCount = sizeof CodePageButtons / sizeof CodePageButtons[0];

const DWORD CommandBarStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER;
const DWORD CodePageBarStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_BOTTOM;
const int CommandImageCount = 20;
const int CodePageImageCount = 7;  // the eighth cell of the strip is unused

// Shows image on the button carrying command and checks item first +
// image of the five menu items from first on, unchecking the others.
void ShowCodePage(int command, int image, int firstItem)
{
    SendMessageA(CodePageBar, TB_CHANGEBITMAP, command, MAKELPARAM(image, 0));
    RECT button;
    if (SendMessageA(CodePageBar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&button)))
        InvalidateRect(CodePageBar, &button, TRUE);
    CheckCodePageItems(firstItem, image);
}

} // namespace

void CheckCodePageItems(int firstItem, int page)
{
    for (int n = 0; n < 5; ++n)
        CheckMenuItem(CodePageMenu, firstItem + n, MF_BYCOMMAND | (n == page ? MF_CHECKED : MF_UNCHECKED));
}

void CreateToolbars(HWND window)
{
    CommandBar = CreateToolbarEx(window, CommandBarStyle, IDC_COMMANDBAR, CommandImageCount, Instance,
                                 IDB_COMMAND_IMAGES, CommandButtons, CommandButtonCount, 16, 16, 16, 16,
                                 sizeof(TBBUTTON));
    CodePageBar = CreateToolbarEx(window, CodePageBarStyle, IDC_CODEPAGEBAR, CodePageImageCount, Instance,
                                  IDB_CODEPAGE_IMAGES, CodePageButtons, CodePageButtonCount, 32, 32, 32, 32,
                                  sizeof(TBBUTTON));

    // A separate arrow part on the drop-down buttons: the face cycles the
    // code page, the arrow opens its menu.
    const LRESULT extended = SendMessageA(CodePageBar, TB_GETEXTENDEDSTYLE, 0, 0);
    SendMessageA(CodePageBar, TB_SETEXTENDEDSTYLE, 0, extended | TBSTYLE_EX_DRAWDDARROWS);
    SendMessageA(CodePageBar, TB_AUTOSIZE, 0, 0);
}

int GetSourceIndex()
{
    return static_cast<int>(SendMessageA(CodePageBar, TB_GETBITMAP, IDM_SOURCE_CODEPAGE, 0));
}

int GetDestinationIndex()
{
    return static_cast<int>(SendMessageA(CodePageBar, TB_GETBITMAP, IDM_DESTINATION_CODEPAGE, 0));
}

void SetSourceCodePage(int item)
{
    const int page = item - IDM_SOURCE_FIRST;
    ShowCodePage(IDM_SOURCE_CODEPAGE, page, IDM_SOURCE_FIRST);
    Settings.Parameters = (Settings.Parameters & ~ParamSourceMask) | page;
}

void SetDestinationCodePage(int item)
{
    const int page = item - IDM_DESTINATION_FIRST;
    ShowCodePage(IDM_DESTINATION_CODEPAGE, page, IDM_DESTINATION_FIRST);
    Settings.Parameters = (Settings.Parameters & ~ParamDestinationMask) | (page << ParamDestinationShift);
}

int ToolbarCommandAt(HWND toolbar, int x, int y, int count)
{
    RECT bounds;
    POINT point = {x, y};
    if (!GetWindowRect(toolbar, &bounds) || !PtInRect(&bounds, point))
        return 0;
    ScreenToClient(toolbar, &point);
    for (int position = 0; position < count; ++position) {
        RECT item;
        if (!SendMessageA(toolbar, TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&item)) ||
            !PtInRect(&item, point))
            continue;
        TBBUTTON button = {};
        SendMessageA(toolbar, TB_GETBUTTON, position, reinterpret_cast<LPARAM>(&button));
        return button.idCommand;
    }
    return 0;
}

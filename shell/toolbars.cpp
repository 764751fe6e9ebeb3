#include "toolbars.h"

#include <initializer_list>

#include "main_window.h"
#include "resource_ids.h"
#include "screen_scale.h"
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

// A bar's pictures: a strip of square cells at 96 DPI, and the image list
// made from it for the scale the window is drawn at.
struct BarPictures {
    int resource;
    int cellSize;
    int count;
    HIMAGELIST images;
};
BarPictures CommandPictures = {IDB_COMMAND_IMAGES, 16, 20, nullptr};
BarPictures CodePagePictures = {IDB_CODEPAGE_IMAGES, 32, 7, nullptr};  // the eighth cell is unused

// The strip with its colours mapped to the user's button colours, as a
// toolbar maps a bitmap it loads itself, and enlarged pixel for pixel by
// multiple into cells of cellSize; rows the strip lacks are button face.
HBITMAP ScaledStrip(const BarPictures& pictures, int multiple)
{
    HBITMAP strip = CreateMappedBitmap(Instance, pictures.resource, 0, nullptr, 0);
    BITMAP size;
    if (!strip || !GetObjectA(strip, sizeof size, &size)) {
        if (strip)
            DeleteObject(strip);
        return nullptr;
    }
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    const RECT cells = {0, 0, size.bmWidth * multiple, pictures.cellSize * multiple};
    HBITMAP scaled = CreateCompatibleBitmap(screen, cells.right, cells.bottom);
    ReleaseDC(nullptr, screen);
    if (scaled) {
        HGDIOBJ oldFrom = SelectObject(from, strip), oldTo = SelectObject(to, scaled);
        FillRect(to, &cells, GetSysColorBrush(COLOR_BTNFACE));
        // Each picture pixel becomes a square of multiple x multiple.
        SetStretchBltMode(to, COLORONCOLOR);
        StretchBlt(to, 0, 0, cells.right, size.bmHeight * multiple, from, 0, 0, size.bmWidth, size.bmHeight,
                   SRCCOPY);
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
    }
    DeleteDC(from);
    DeleteDC(to);
    DeleteObject(strip);
    return scaled;
}

// The room around a picture and between groups of buttons at 96 DPI: the
// toolbar's own defaults, which it keeps in pixels whatever the scale.
const int ButtonPaddingX = 7, ButtonPaddingY = 6;
const int SeparatorWidth = 8;

// The separators of bar in the pixels of dpi, so that the bar, and the
// window made of the bars, keep their proportions.
void ScaleSeparators(HWND bar, int dpi)
{
    const int count = static_cast<int>(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    for (int position = 0; position < count; ++position) {
        TBBUTTON button = {};
        if (!SendMessageA(bar, TB_GETBUTTON, position, reinterpret_cast<LPARAM>(&button)) ||
            !(button.fsStyle & TBSTYLE_SEP))
            continue;
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
        info.cx = static_cast<WORD>(ToScreen(SeparatorWidth, dpi));
        SendMessageA(bar, TB_SETBUTTONINFOA, position, reinterpret_cast<LPARAM>(&info));
    }
}

// Gives bar its pictures at the whole multiple for dpi, and buttons that
// hold them with the padding of that scale; the image list it had before
// goes. The button size is given whole: some toolbars take no padding
// larger than the one they start with.
void ScaleBar(HWND bar, BarPictures& pictures, int dpi)
{
    const int multiple = ImageMultiple(dpi);
    const int side = pictures.cellSize * multiple;
    HIMAGELIST previous = pictures.images;
    pictures.images = ImageList_Create(side, side, ILC_COLOR24 | ILC_MASK, pictures.count, 0);
    if (HBITMAP strip = ScaledStrip(pictures, multiple)) {
        // The button face is see-through, as in the bitmaps a toolbar loads.
        ImageList_AddMasked(pictures.images, strip, GetSysColor(COLOR_BTNFACE));
        DeleteObject(strip);
    }
    SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(side, side));
    SendMessageA(bar, TB_SETBUTTONSIZE, 0,
                 MAKELPARAM(side + ToScreen(ButtonPaddingX, dpi), side + ToScreen(ButtonPaddingY, dpi)));
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures.images));
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    if (previous)
        ImageList_Destroy(previous);
}

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
    // The pictures come with ScaleToolbars.
    CommandBar = CreateToolbarEx(window, CommandBarStyle, IDC_COMMANDBAR, 0, nullptr, 0, CommandButtons,
                                 CommandButtonCount, 0, 0, 0, 0, sizeof(TBBUTTON));
    CodePageBar = CreateToolbarEx(window, CodePageBarStyle, IDC_CODEPAGEBAR, 0, nullptr, 0, CodePageButtons,
                                  CodePageButtonCount, 0, 0, 0, 0, sizeof(TBBUTTON));

    // A separate arrow part on the drop-down buttons: the face cycles the
    // code page, the arrow opens its menu.
    const LRESULT extended = SendMessageA(CodePageBar, TB_GETEXTENDEDSTYLE, 0, 0);
    SendMessageA(CodePageBar, TB_SETEXTENDEDSTYLE, 0, extended | TBSTYLE_EX_DRAWDDARROWS);
    ScaleToolbars(WindowDpi);
}

void ScaleToolbars(int dpi)
{
    for (HWND bar : {CommandBar, CodePageBar})
        ScaleSeparators(bar, dpi);
    ScaleBar(CommandBar, CommandPictures, dpi);
    ScaleBar(CodePageBar, CodePagePictures, dpi);
}

void DestroyToolbarImages()
{
    for (BarPictures* pictures : {&CommandPictures, &CodePagePictures}) {
        if (pictures->images)
            ImageList_Destroy(pictures->images);
        pictures->images = nullptr;
    }
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

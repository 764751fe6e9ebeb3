#include "settings_transfer.h"

#include <commctrl.h>

#include "live_parameters.h"
#include "main_window.h"
#include "preview.h"
#include "resource_ids.h"
#include "screen_scale.h"
#include "toolbars.h"
#include "window_reach.h"

namespace {

bool IsSet(DWORD parameters, DWORD bit) { return (parameters & bit) != 0; }

void ApplyCodePages(DWORD parameters)
{
    const bool exchanged = IsSet(parameters, ParamExchanged);
    SendMessageA(CodePageBar, TB_CHANGEBITMAP, IDM_EXCHANGE,
                 MAKELPARAM(exchanged ? IMAGE_ARROW_LEFT : IMAGE_ARROW_RIGHT, 0));
    SendMessageA(CodePageBar, TB_SETCMDID, 0, exchanged ? IDM_DESTINATION_CODEPAGE : IDM_SOURCE_CODEPAGE);
    SendMessageA(CodePageBar, TB_SETCMDID, 4, exchanged ? IDM_SOURCE_CODEPAGE : IDM_DESTINATION_CODEPAGE);
    SendMessageA(CodePageBar, TB_CHANGEBITMAP, IDM_SOURCE_CODEPAGE, MAKELPARAM(SourceOf(parameters), 0));
    SendMessageA(CodePageBar, TB_CHANGEBITMAP, IDM_DESTINATION_CODEPAGE, MAKELPARAM(DestinationOf(parameters), 0));
    CheckCodePageItems(IDM_SOURCE_FIRST, SourceOf(parameters));
    CheckCodePageItems(IDM_DESTINATION_FIRST, DestinationOf(parameters));
}

void ApplyOptions(DWORD parameters)
{
    const bool autoConvert = IsSet(parameters, ParamAutoConvert);
    SendMessageA(CommandBar, TB_CHECKBUTTON, IDM_AUTO_CONVERT, MAKELPARAM(autoConvert, 0));
    const bool canConvert = !autoConvert && IsClipboardFormatAvailable(CF_TEXT);
    SendMessageA(CommandBar, TB_ENABLEBUTTON, IDM_CONVERT_CLIPBOARD, MAKELPARAM(canConvert, 0));
    CheckMenuItem(CommandMenu, IDM_AUTO_CONVERT, MF_BYCOMMAND | (autoConvert ? MF_CHECKED : MF_UNCHECKED));
    EnableMenuItem(CommandMenu, IDM_CONVERT_CLIPBOARD, MF_BYCOMMAND | (autoConvert ? MF_GRAYED : MF_ENABLED));
    SendMessageA(CommandBar, TB_CHECKBUTTON, IDM_CONVERT_NEWLINES,
                 MAKELPARAM(IsSet(parameters, ParamConvertNewlines), 0));
    SendMessageA(CommandBar, TB_CHECKBUTTON, IDM_OVERWRITE_INPUT, MAKELPARAM(IsSet(parameters, ParamOverwriteInput), 0));
}

// X and Y are 96-DPI values on the scale of the whole desktop (SystemDpi,
// the same wherever the window stands), so that they name the same place
// whatever the screen the setting comes to. Whether the window can be
// reached there is seen once it has its size.
void ApplyPosition(const SettingsRecord& settings, HWND window)
{
    const int dpi = SystemDpi();
    HWND order = IsSet(settings.Parameters, ParamAlwaysOnTop) ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(window, order, ToScreen(settings.X, dpi), ToScreen(settings.Y, dpi), 0, 0, SWP_NOSIZE);
}

// Item 256 is found by its position: the check mark at the top of the
// system menu is what is saved.
void ApplySystemMenu(DWORD parameters, HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    auto check = [](DWORD parameters, DWORD bit) { return IsSet(parameters, bit) ? MF_CHECKED : MF_UNCHECKED; };
    CheckMenuItem(menu, 0, MF_BYPOSITION | check(parameters, ParamAlwaysOnTop));
    CheckMenuItem(menu, IDM_PREVIEW, MF_BYCOMMAND | check(parameters, ParamPreview));
    CheckMenuItem(menu, IDM_PREVIEW_CP1251, MF_BYCOMMAND | check(parameters, ParamPreviewCp1251));
    CheckMenuItem(menu, IDM_SAVE_PATHS, MF_BYCOMMAND | check(parameters, ParamSavePaths));
    CheckMenuItem(menu, IDM_SAME_PATHS, MF_BYCOMMAND | check(parameters, ParamSamePaths));
    CheckMenuItem(menu, IDM_DETECT_SOURCE, MF_BYCOMMAND | check(parameters, ParamDetectSource));
    CheckMenuItem(menu, IDM_REPAIR_TEXT, MF_BYCOMMAND | check(parameters, ParamRepairText));
}

// Where the window stands when it is neither minimized nor maximized. A
// minimized window stands off the screen at a tiny size; stored, that
// would bring the next start up in a corner with panes of no height.
void NormalWindowRect(HWND window, RECT& rect)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!IsIconic(window) || !GetWindowPlacement(window, &placement)) {
        GetWindowRect(window, &rect);
        return;
    }
    // The normal place is given in workspace coordinates, which start at
    // the work area's corner rather than the screen's.
    RECT workArea = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    rect = placement.rcNormalPosition;
    OffsetRect(&rect, workArea.left, workArea.top);
}

} // namespace

void ApplySettings(SettingsRecord& settings, HWND window)
{
    ApplyCodePages(settings.Parameters);
    ApplyOptions(settings.Parameters);
    ApplyPosition(settings, window);
    if (IsSet(settings.Parameters, ParamPreview))
        ShowPreview(window, 1);
    BringWithinReach(window);
    ApplySystemMenu(settings.Parameters, window);
}

void CaptureSettings(SettingsRecord& settings, HWND window)
{
    settings.Parameters = ParametersShown(settings.Parameters, window);

    // 96-DPI values: the place on the desktop's scale, the size on the
    // scale of the window's screen.
    RECT current;
    NormalWindowRect(window, current);
    const int desktopDpi = SystemDpi();
    settings.X = ToStored(current.left, desktopDpi);
    settings.Y = ToStored(current.top, desktopDpi);
    if (IsSet(settings.Parameters, ParamPreview)) {
        settings.W = ToStored(current.right - current.left, WindowDpi);
        settings.H = ToStored(current.bottom - current.top, WindowDpi);
    }
}

#include "commands.h"

#include <commctrl.h>

#include "interface_language.h"
#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

// Handed to the tooltip control, so they must outlive the notification.
wchar_t TooltipText[512];
char AnsiTooltipText[512];

// menu 102's submenu for the source (105) or destination (106) command.
HMENU CodePageSubmenu(int command)
{
    return GetSubMenu(GetSubMenu(CodePageMenu, 0), command == IDM_SOURCE_CODEPAGE ? 0 : 1);
}

LRESULT OnDropDown(HWND window, const NMTOOLBARA* toolbar)
{
    const int command = toolbar->iItem;
    if (command != IDM_SOURCE_CODEPAGE && command != IDM_DESTINATION_CODEPAGE)
        return TBDDRET_DEFAULT;
    RECT button;
    SendMessageA(CodePageBar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&button));
    POINT corner = {button.left, button.bottom};
    ClientToScreen(CodePageBar, &corner);
    TrackPopupMenu(CodePageSubmenu(command), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, corner.x, corner.y,
                   0, window, nullptr);
    return TBDDRET_DEFAULT;
}

// The button's text; for a code page button also the code page it shows.
void MakeTooltipText(UINT command)
{
    std::wstring text = LoadText(command);
    if (command == IDM_SOURCE_CODEPAGE || command == IDM_DESTINATION_CODEPAGE) {
        const LRESULT page = SendMessageA(CodePageBar, TB_GETBITMAP, command, 0);
        const std::wstring name = LoadText(static_cast<UINT>(page + IDS_CODEPAGE_FIRST));
        if (!name.empty())
            text += L" : " + name;
    }
    lstrcpynW(TooltipText, text.c_str(), sizeof TooltipText / sizeof *TooltipText);
}

// The window is a Unicode one, and its toolbars ask in UTF-16.
LRESULT OnNeedText(TOOLTIPTEXTW* tip)
{
    MakeTooltipText(static_cast<UINT>(tip->hdr.idFrom));
    tip->lpszText = TooltipText;
    tip->hinst = nullptr;
    return 1;
}

// A control that asks in the ANSI code page gets the text as far as that
// page holds it.
LRESULT OnNeedTextAnsi(TOOLTIPTEXTA* tip)
{
    MakeTooltipText(static_cast<UINT>(tip->hdr.idFrom));
    if (!WideCharToMultiByte(CP_ACP, 0, TooltipText, -1, AnsiTooltipText, sizeof AnsiTooltipText, nullptr, nullptr))
        AnsiTooltipText[0] = '\0';
    tip->lpszText = AnsiTooltipText;
    tip->hinst = nullptr;
    return 1;
}

// A right click: the tray menu anywhere on the command bar; on the code page
// bar the submenu of the code page button under the cursor, or both.
LRESULT OnRightClick(HWND window, int control)
{
    POINT cursor;
    GetCursorPos(&cursor);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int centre = (desktop.left + desktop.right) / 2;
    const UINT alignment = cursor.x <= centre ? TPM_RIGHTALIGN : TPM_LEFTALIGN;

    HMENU menu = TrayMenu;
    if (control != IDC_COMMANDBAR) {
        POINT point = cursor;
        ScreenToClient(CodePageBar, &point);
        const bool exchanged = (Settings.Parameters & ParamExchanged) != 0;
        int command = 0;
        RECT item;
        if (SendMessageA(CodePageBar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)) && PtInRect(&item, point))
            command = exchanged ? IDM_DESTINATION_CODEPAGE : IDM_SOURCE_CODEPAGE;
        else if (SendMessageA(CodePageBar, TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&item)) &&
                 PtInRect(&item, point))
            command = exchanged ? IDM_SOURCE_CODEPAGE : IDM_DESTINATION_CODEPAGE;
        menu = command ? CodePageSubmenu(command) : GetSubMenu(CodePageMenu, 0);
    }
    TrackPopupMenu(menu, alignment | TPM_TOPALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    return 1;
}

// The customization protocol of the command bar; nothing starts one, but
// the answers are there. The ANSI and the wide form of the notification
// differ only in the text, which is not given.
template <typename Notification>
LRESULT OnGetButtonInfo(NMHDR* header)
{
    Notification* toolbar = reinterpret_cast<Notification*>(header);
    if (toolbar->iItem < 0 || toolbar->iItem >= CommandButtonCount)
        return 0;
    toolbar->tbButton = CommandButtons[toolbar->iItem];
    return 1;
}

} // namespace

LRESULT OnNotify(HWND window, int control, NMHDR* header)
{
    switch (header->code) {
    case TBN_DROPDOWN: return OnDropDown(window, reinterpret_cast<NMTOOLBARA*>(header));
    case TBN_TOOLBARCHANGE:
        SendMessageA(CommandBar, TB_AUTOSIZE, 0, 0);
        SendMessageA(CodePageBar, TB_AUTOSIZE, 0, 0);
        return 1;
    case TBN_GETBUTTONINFOA: return OnGetButtonInfo<NMTOOLBARA>(header);
    case TBN_GETBUTTONINFOW: return OnGetButtonInfo<NMTOOLBARW>(header);
    case TTN_NEEDTEXTA: return OnNeedTextAnsi(reinterpret_cast<TOOLTIPTEXTA*>(header));
    case TTN_NEEDTEXTW: return OnNeedText(reinterpret_cast<TOOLTIPTEXTW*>(header));
    case NM_RCLICK: return OnRightClick(window, control);
    default: return 0;
    }
}

#include "commands.h"

#include <commctrl.h>

#include "bounded_text.h"
#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

// Handed to the tooltip control, so it must outlive the notification.
char TooltipText[512];

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
LRESULT OnNeedText(TOOLTIPTEXTA* tip)
{
    const UINT command = static_cast<UINT>(tip->hdr.idFrom);
    LoadStringA(Instance, command, TooltipText, sizeof TooltipText);
    if (command == IDM_SOURCE_CODEPAGE || command == IDM_DESTINATION_CODEPAGE) {
        const LRESULT page = SendMessageA(CodePageBar, TB_GETBITMAP, command, 0);
        char name[80];
        if (LoadStringA(Instance, static_cast<UINT>(page + IDS_CODEPAGE_FIRST), name, sizeof name)) {
            AppendText(TooltipText, sizeof TooltipText, " : ");
            AppendText(TooltipText, sizeof TooltipText, name);
        }
    }
    tip->lpszText = TooltipText;
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
// the answers are there.
LRESULT OnGetButtonInfo(NMTOOLBARA* toolbar)
{
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
    case TBN_GETBUTTONINFOA: return OnGetButtonInfo(reinterpret_cast<NMTOOLBARA*>(header));
    case TTN_NEEDTEXTA: return OnNeedText(reinterpret_cast<TOOLTIPTEXTA*>(header));
    case NM_RCLICK: return OnRightClick(window, control);
    default: return 0;
    }
}

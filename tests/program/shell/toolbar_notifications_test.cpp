// What the toolbars ask of the main window: tooltip texts, drop-down and
// right-click menus, button information.
#include <string>

#include "main_window.h"
#include "shell_test_support.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

std::string Tooltip(int command)
{
    TOOLTIPTEXTA tip = {};
    tip.hdr.code = TTN_NEEDTEXTA;
    tip.hdr.idFrom = command;
    tip.hdr.hwndFrom = nullptr;
    EXPECT_EQ(SendMessageA(MainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip)), 1);
    EXPECT_EQ(tip.hinst, nullptr);
    return tip.lpszText ? tip.lpszText : "";
}

HMENU DropDownMenu(int command)
{
    NMTOOLBARA toolbar = {};
    toolbar.hdr.hwndFrom = CodePageBar;
    toolbar.hdr.idFrom = IDC_CODEPAGEBAR;
    toolbar.hdr.code = TBN_DROPDOWN;
    toolbar.iItem = command;
    return MenuOpenedBy([&] { SendMessageA(MainWindow, WM_NOTIFY, IDC_CODEPAGEBAR, reinterpret_cast<LPARAM>(&toolbar)); });
}

HMENU RightClickMenu(HWND toolbar, int position)
{
    RECT item;
    SendMessageA(toolbar, TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&item));
    POINT point = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(toolbar, &point);
    SetCursorPos(point.x, point.y);
    NMMOUSE mouse = {};
    mouse.hdr.hwndFrom = toolbar;
    mouse.hdr.idFrom = GetDlgCtrlID(toolbar);
    mouse.hdr.code = NM_RCLICK;
    HMENU menu =
        MenuOpenedBy([&] { SendMessageA(MainWindow, WM_NOTIFY, mouse.hdr.idFrom, reinterpret_cast<LPARAM>(&mouse)); });
    SetCursorPos(0, 0);  // a pointer left over the window disturbs later tests
    return menu;
}

HMENU SourceSubmenu() { return GetSubMenu(GetSubMenu(CodePageMenu, 0), 0); }
HMENU DestinationSubmenu() { return GetSubMenu(GetSubMenu(CodePageMenu, 0), 1); }

using ToolbarNotificationsTest = TarvoWindowTest;

TEST_F(ToolbarNotificationsTest, TooltipsNameTheCommandAndTheCodePageShown)
{
    EXPECT_EQ(Tooltip(IDM_CONVERT_FILES), "Convert File(s)");
    EXPECT_EQ(Tooltip(IDM_CONVERT_CLIPBOARD), "Convert  Clipboard");
    EXPECT_EQ(Tooltip(IDM_EXCHANGE), "Exchange Source/Destination");
    EXPECT_EQ(Tooltip(IDM_SOURCE_CODEPAGE), "Source Code Page : Unix (koi8-r)");
    EXPECT_EQ(Tooltip(IDM_DESTINATION_CODEPAGE), "Destination Code Page : Ms Windows (cp1251)");
    Command(IDM_DESTINATION_FIRST + 3);
    EXPECT_EQ(Tooltip(IDM_DESTINATION_CODEPAGE), "Destination Code Page : Macs (\?\?\?)");
    Command(IDM_SOURCE_FIRST + 0);
    EXPECT_EQ(Tooltip(IDM_SOURCE_CODEPAGE), "Source Code Page : MS-DOS (cp866)");
    Command(IDM_SOURCE_FIRST + 4);
    EXPECT_EQ(Tooltip(IDM_SOURCE_CODEPAGE), "Source Code Page : ISO-8859-5");
    // A code page without a name: the button's text alone.
    SendMessageA(CodePageBar, TB_CHANGEBITMAP, IDM_SOURCE_CODEPAGE, MAKELPARAM(7, 0));
    EXPECT_EQ(Tooltip(IDM_SOURCE_CODEPAGE), "Source Code Page");
}

TEST_F(ToolbarNotificationsTest, ArrowsDropDownTheSubmenuOfTheirCommand)
{
    EXPECT_EQ(DropDownMenu(IDM_SOURCE_CODEPAGE), SourceSubmenu());
    EXPECT_EQ(DropDownMenu(IDM_DESTINATION_CODEPAGE), DestinationSubmenu());
    EXPECT_EQ(DropDownMenu(IDM_EXCHANGE), nullptr);
}

TEST_F(ToolbarNotificationsTest, RightClicksOpenTheMenuOfWhatIsUnderTheCursor)
{
    EXPECT_EQ(RightClickMenu(CommandBar, 0), TrayMenu) << "anywhere on the command bar, the tray menu";
    EXPECT_EQ(RightClickMenu(CodePageBar, 0), SourceSubmenu());
    EXPECT_EQ(RightClickMenu(CodePageBar, 4), DestinationSubmenu());
    EXPECT_EQ(RightClickMenu(CodePageBar, 2), GetSubMenu(CodePageMenu, 0)) << "both submenus";
    EXPECT_EQ(RightClickMenu(CodePageBar, 1), GetSubMenu(CodePageMenu, 0)) << "a separator";

    Command(IDM_EXCHANGE);  // the menus follow the commands the buttons carry
    EXPECT_EQ(RightClickMenu(CodePageBar, 0), DestinationSubmenu());
    EXPECT_EQ(RightClickMenu(CodePageBar, 4), SourceSubmenu());
    EXPECT_EQ(DropDownMenu(IDM_DESTINATION_CODEPAGE), DestinationSubmenu());
}

TEST_F(ToolbarNotificationsTest, ButtonInformationComesFromTheCommandBarTable)
{
    NMTOOLBARA toolbar = {};
    toolbar.hdr.code = TBN_GETBUTTONINFOA;
    for (int item = 0; item < 8; ++item) {
        toolbar.iItem = item;
        EXPECT_EQ(SendMessageA(MainWindow, WM_NOTIFY, IDC_COMMANDBAR, reinterpret_cast<LPARAM>(&toolbar)), 1);
        EXPECT_EQ(toolbar.tbButton.idCommand, CommandButtons[item].idCommand);
        EXPECT_EQ(toolbar.tbButton.iBitmap, CommandButtons[item].iBitmap);
    }
    EXPECT_EQ(toolbar.tbButton.idCommand, IDM_CONTEXT_HELP);
    toolbar.iItem = 8;
    EXPECT_EQ(SendMessageA(MainWindow, WM_NOTIFY, IDC_COMMANDBAR, reinterpret_cast<LPARAM>(&toolbar)), 0);

    NMHDR change = {CommandBar, IDC_COMMANDBAR, static_cast<UINT>(TBN_TOOLBARCHANGE)};
    EXPECT_EQ(SendMessageA(MainWindow, WM_NOTIFY, IDC_COMMANDBAR, reinterpret_cast<LPARAM>(&change)), 1);
    NMHDR other = {CommandBar, IDC_COMMANDBAR, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(SendMessageA(MainWindow, WM_NOTIFY, IDC_COMMANDBAR, reinterpret_cast<LPARAM>(&other)), 0);
}

} // namespace

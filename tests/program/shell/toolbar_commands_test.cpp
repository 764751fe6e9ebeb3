// The commands as the toolbar buttons and menus give them.
#include "commands.h"
#include "main_window.h"
#include "shell_test_support.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

int CommandAtPosition(HWND toolbar, int position)
{
    TBBUTTON button = {};
    SendMessageA(toolbar, TB_GETBUTTON, position, reinterpret_cast<LPARAM>(&button));
    return button.idCommand;
}

// Exactly one of the five items from first on is checked: that one.
int CheckedItem(int first)
{
    int found = -1;
    for (int n = 0; n < 5; ++n)
        if (Checked(CodePageMenu, first + n))
            found = found == -1 ? n : -2;
    return found;
}

using ToolbarCommandsTest = TarvoWindowTest;

TEST_F(ToolbarCommandsTest, CodePageFacesCycleThroughAllFiveAndTheMenusFollow)
{
    const int sources[] = {3, 4, 0, 1, 2};
    for (int expected : sources) {
        Command(IDM_SOURCE_CODEPAGE);
        EXPECT_EQ(GetSourceIndex(), expected);
        EXPECT_EQ(SourceOf(Settings.Parameters), expected);
        EXPECT_EQ(CheckedItem(IDM_SOURCE_FIRST), expected);
    }
    Command(IDM_DESTINATION_CODEPAGE);
    EXPECT_EQ(GetDestinationIndex(), 2);
    EXPECT_EQ(DestinationOf(Settings.Parameters), 2);
    EXPECT_EQ(CheckedItem(IDM_DESTINATION_FIRST), 2);
    EXPECT_EQ(GetSourceIndex(), 2) << "source and destination may be the same";

    // An image index out of range (only a stored value could give one)
    // cycles on to cp866.
    SendMessageA(CodePageBar, TB_CHANGEBITMAP, IDM_SOURCE_CODEPAGE, MAKELPARAM(9, 0));
    Command(IDM_SOURCE_CODEPAGE);
    EXPECT_EQ(GetSourceIndex(), 0);
}

TEST_F(ToolbarCommandsTest, MenuItemsChooseTheCodePages)
{
    Command(IDM_SOURCE_FIRST + 4);
    Command(IDM_DESTINATION_FIRST + 0);
    EXPECT_EQ(GetSourceIndex(), 4);
    EXPECT_EQ(GetDestinationIndex(), 0);
    EXPECT_EQ(Settings.Parameters & 0xFF, 0x04u);
    EXPECT_EQ(CheckedItem(IDM_SOURCE_FIRST), 4);
    EXPECT_EQ(CheckedItem(IDM_DESTINATION_FIRST), 0);
    Command(IDM_SOURCE_FIRST + 5);  // not a code page: nothing happens
    EXPECT_EQ(GetSourceIndex(), 4);
}

TEST_F(ToolbarCommandsTest, ExchangeTradesTheRolesAndTwiceGivesTheNormalLayoutBack)
{
    Command(IDM_SOURCE_FIRST + 0);       // cp866 on the left
    Command(IDM_DESTINATION_FIRST + 3);  // Macintosh on the right
    const DWORD before = Settings.Parameters;

    Command(IDM_EXCHANGE);
    EXPECT_EQ(CommandAtPosition(CodePageBar, 0), IDM_DESTINATION_CODEPAGE);
    EXPECT_EQ(CommandAtPosition(CodePageBar, 4), IDM_SOURCE_CODEPAGE);
    EXPECT_EQ(SendMessageA(CodePageBar, TB_GETBITMAP, IDM_EXCHANGE, 0), IMAGE_ARROW_LEFT);
    EXPECT_EQ(GetSourceIndex(), 3) << "the page on the right is now the source";
    EXPECT_EQ(GetDestinationIndex(), 0);
    EXPECT_EQ(Settings.Parameters & 0xFF, 0x03u);
    EXPECT_TRUE(Settings.Parameters & ParamExchanged);
    EXPECT_EQ(CheckedItem(IDM_SOURCE_FIRST), 3);
    EXPECT_EQ(CheckedItem(IDM_DESTINATION_FIRST), 0);

    // In the exchanged layout the left face cycles the destination.
    Command(IDM_DESTINATION_CODEPAGE);
    EXPECT_EQ(GetDestinationIndex(), 1);
    Command(IDM_DESTINATION_FIRST + 0);

    Command(IDM_EXCHANGE);
    EXPECT_EQ(Settings.Parameters, before);
    EXPECT_EQ(CommandAtPosition(CodePageBar, 0), IDM_SOURCE_CODEPAGE);
    EXPECT_EQ(SendMessageA(CodePageBar, TB_GETBITMAP, IDM_EXCHANGE, 0), IMAGE_ARROW_RIGHT);
    EXPECT_EQ(GetSourceIndex(), 0);
    EXPECT_EQ(GetDestinationIndex(), 3);
}

TEST_F(ToolbarCommandsTest, OptionSwitchesKeepBitButtonAndMenuItemTogether)
{
    struct Option {
        int command;
        DWORD bit;
    } const options[] = {
        {IDM_CONVERT_NEWLINES, ParamConvertNewlines},
        {IDM_OVERWRITE_INPUT, ParamOverwriteInput},
        {IDM_AUTO_CONVERT, ParamAutoConvert},
    };
    for (const Option& option : options) {
        const bool was = (Settings.Parameters & option.bit) != 0;
        Command(option.command);
        EXPECT_EQ((Settings.Parameters & option.bit) != 0, !was) << option.command;
        EXPECT_EQ(ButtonChecked(option.command), !was) << option.command;
        EXPECT_EQ(Checked(CommandMenu, option.command), !was) << option.command;

        // A click flips the button before its command arrives; the command
        // sets it from the bit, so both end up agreeing.
        SendMessageA(CommandBar, TB_CHECKBUTTON, option.command, MAKELPARAM(was, 0));
        Command(option.command);
        EXPECT_EQ((Settings.Parameters & option.bit) != 0, was) << option.command;
        EXPECT_EQ(ButtonChecked(option.command), was) << option.command;
    }
}

TEST_F(ToolbarCommandsTest, AutomaticConversionDisablesConvertClipboard)
{
    ASSERT_TRUE(Settings.Parameters & ParamAutoConvert);
    Command(IDM_AUTO_CONVERT);  // off: enabled at once, whatever the clipboard holds
    EXPECT_TRUE(ButtonEnabled(IDM_CONVERT_CLIPBOARD));
    EXPECT_FALSE(Grayed(CommandMenu, IDM_CONVERT_CLIPBOARD));
    Command(IDM_AUTO_CONVERT);
    EXPECT_FALSE(ButtonEnabled(IDM_CONVERT_CLIPBOARD));
    EXPECT_TRUE(Grayed(CommandMenu, IDM_CONVERT_CLIPBOARD));
}

TEST_F(ToolbarCommandsTest, ButtonsAreFoundUnderAScreenPoint)
{
    auto centreOf = [](HWND toolbar, int position) {
        RECT item;
        SendMessageA(toolbar, TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&item));
        POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(toolbar, &centre);
        return centre;
    };
    const int commands[] = {IDM_CONVERT_FILES, IDM_CONVERT_CLIPBOARD, 0, IDM_AUTO_CONVERT,
                            IDM_CONVERT_NEWLINES, IDM_OVERWRITE_INPUT, 0, IDM_CONTEXT_HELP};
    for (int position = 0; position < 8; ++position) {
        const POINT p = centreOf(CommandBar, position);
        EXPECT_EQ(ToolbarCommandAt(CommandBar, p.x, p.y, 8), commands[position]) << position;
    }
    POINT exchange = centreOf(CodePageBar, 2);
    EXPECT_EQ(ToolbarCommandAt(CodePageBar, exchange.x, exchange.y, 5), IDM_EXCHANGE);
    EXPECT_EQ(ToolbarCommandAt(CodePageBar, exchange.x, exchange.y, 2), 0) << "only the first n buttons";
    EXPECT_EQ(ToolbarCommandAt(CommandBar, exchange.x, exchange.y, 8), 0) << "outside the toolbar";
    EXPECT_EQ(ToolbarCommandAt(CodePageBar, exchange.x, exchange.y, 0), 0);
}

TEST_F(ToolbarCommandsTest, ContextHelpCapturesTheMouseUntilTheNextClick)
{
    Command(IDM_CONTEXT_HELP);
    EXPECT_EQ(ContextHelpMode, 1);
    EXPECT_EQ(GetCapture(), MainWindow);
    SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(ContextHelpMode, 0);
    EXPECT_NE(GetCapture(), MainWindow);
}

TEST_F(ToolbarCommandsTest, ToggleMenuCheckFlipsAndSaysWhatItIsNow)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 7, "item");
    EXPECT_EQ(ToggleMenuCheck(menu, 7), 1);
    EXPECT_TRUE(Checked(menu, 7));
    EXPECT_EQ(ToggleMenuCheck(menu, 7), 0);
    EXPECT_FALSE(Checked(menu, 7));
    DestroyMenu(menu);
}

TEST_F(ToolbarCommandsTest, ExitDestroysTheWindow)
{
    HWND window = MainWindow;
    Command(IDM_EXIT);
    EXPECT_FALSE(IsWindow(window));
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

} // namespace

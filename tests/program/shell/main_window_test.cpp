// The main window as it comes up: fixed size, toolbars and menus from the
// settings, size limits, and what it keeps at exit.
#include "main_window.h"
#include "shell_test_support.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

RECT Desktop()
{
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    return desktop;
}

void StoreParameters(DWORD parameters, int x, int y)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Parameters", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&parameters), 4);
    RegSetValueExA(key, "X", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&x), 4);
    RegSetValueExA(key, "Y", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&y), 4);
    RegCloseKey(key);
}

DWORD StoredParameters()
{
    DWORD value = 0, size = 4;
    RegGetValueA(HKEY_CURRENT_USER, SettingsKey, "Parameters", RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteTarvoKey();
        ClearClipboard();
    }
    void TearDown() override
    {
        StopTarvo();
        DeleteTarvoKey();
    }
};

TEST_F(MainWindowTest, FirstStartShowsTheDefaultsAtTheDesktopsCentre)
{
    HWND window = StartTarvo();
    ASSERT_TRUE(window);
    EXPECT_EQ(FindWindowA("Tarvo", nullptr), window);
    char title[16];
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Tarvo");

    EXPECT_EQ(GetSourceIndex(), 2);
    EXPECT_EQ(GetDestinationIndex(), 1);
    EXPECT_EQ(SendMessageA(CodePageBar, TB_GETBITMAP, IDM_EXCHANGE, 0), IMAGE_ARROW_RIGHT);
    EXPECT_TRUE(ButtonChecked(IDM_AUTO_CONVERT));
    EXPECT_FALSE(ButtonChecked(IDM_CONVERT_NEWLINES));
    EXPECT_FALSE(ButtonChecked(IDM_OVERWRITE_INPUT));
    EXPECT_FALSE(ButtonEnabled(IDM_CONVERT_CLIPBOARD)) << "automatic conversion is on";

    EXPECT_TRUE(Checked(CodePageMenu, IDM_SOURCE_FIRST + 2));
    EXPECT_TRUE(Checked(CodePageMenu, IDM_DESTINATION_FIRST + 1));
    for (int n : {0, 1, 3, 4})
        EXPECT_FALSE(Checked(CodePageMenu, IDM_SOURCE_FIRST + n)) << n;
    EXPECT_TRUE(Checked(CommandMenu, IDM_AUTO_CONVERT));
    EXPECT_TRUE(Grayed(CommandMenu, IDM_CONVERT_CLIPBOARD));
    EXPECT_FALSE(Checked(CommandMenu, IDM_CONVERT_NEWLINES)) << "103 and 104 start without marks";
    EXPECT_EQ(TrayMenu, GetSubMenu(CommandMenu, 0));

    RECT frame;
    GetWindowRect(window, &frame);
    const RECT desktop = Desktop();
    EXPECT_EQ(frame.left, (desktop.left + desktop.right) / 2);
    EXPECT_EQ(frame.top, (desktop.top + desktop.bottom) / 2);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(Initializing, 0);
}

TEST_F(MainWindowTest, IsExactlyTheTwoToolbarsOneAboveTheOther)
{
    HWND window = StartTarvo();
    RECT frame, client, command, codePage, lastCommand, lastCodePage;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    GetWindowRect(CommandBar, &command);
    GetWindowRect(CodePageBar, &codePage);
    SendMessageA(CommandBar, TB_GETITEMRECT, 7, reinterpret_cast<LPARAM>(&lastCommand));
    SendMessageA(CodePageBar, TB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&lastCodePage));

    EXPECT_EQ(frame.right - frame.left, Settings.FixedWidth);
    EXPECT_EQ(frame.bottom - frame.top, Settings.FixedHeight);
    EXPECT_EQ(client.bottom, (command.bottom - command.top) + (codePage.bottom - codePage.top));
    EXPECT_EQ(client.right, std::max(lastCommand.right, lastCodePage.right));
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(command.top, origin.y) << "the command bar along the top";
    // The code page bar along the bottom; Wine's toolbar keeps the two pixels
    // of its divider free below a bottom toolbar.
    EXPECT_LE(origin.y + client.bottom - codePage.bottom, 2);
    EXPECT_GE(codePage.top, command.bottom - 2);
    EXPECT_EQ(SendMessageA(CommandBar, TB_BUTTONCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(CodePageBar, TB_BUTTONCOUNT, 0, 0), 5);
    EXPECT_EQ(GetDlgCtrlID(CommandBar), IDC_COMMANDBAR);
    EXPECT_EQ(GetDlgCtrlID(CodePageBar), IDC_CODEPAGEBAR);
}

TEST_F(MainWindowTest, CanBeResizedOnlyWhileThePreviewIsShown)
{
    HWND window = StartTarvo();
    const RECT desktop = Desktop();
    MINMAXINFO info = {};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, Settings.FixedWidth);
    EXPECT_EQ(info.ptMinTrackSize.y, Settings.FixedHeight);
    EXPECT_EQ(info.ptMaxTrackSize.x, Settings.FixedWidth);
    EXPECT_EQ(info.ptMaxTrackSize.y, Settings.FixedHeight);
    EXPECT_EQ(info.ptMaxSize.x, desktop.right - desktop.left);

    Settings.Parameters |= ParamPreview;
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxTrackSize.x, desktop.right - desktop.left);
    EXPECT_EQ(info.ptMaxTrackSize.y, desktop.bottom - desktop.top);
    EXPECT_EQ(info.ptMinTrackSize.x, Settings.FixedWidth);
    Settings.Parameters &= ~ParamPreview;

    // Dragging the border changes nothing.
    RECT before, after;
    GetWindowRect(window, &before);
    SetWindowPos(window, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(window, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(MainWindowTest, StoredStateComesBackOnTheControlsAndIsCapturedAtExit)
{
    // Exchanged, source cp866, destination ISO-8859-5, all three options
    // on, "All files", always on top.
    const DWORD stored = 0x00040 | 0x0200 | ParamAutoConvert | ParamConvertNewlines | ParamOverwriteInput |
                         ParamExchanged | ParamSavePaths | ParamAlwaysOnTop | ParamDetectSource | ParamRepairText;
    StoreParameters(stored, 10, 20);
    HWND window = StartTarvo();
    EXPECT_EQ(GetSourceIndex(), 0);
    EXPECT_EQ(GetDestinationIndex(), 4);
    TBBUTTON left = {};
    SendMessageA(CodePageBar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&left));
    EXPECT_EQ(left.idCommand, IDM_DESTINATION_CODEPAGE) << "exchanged: the destination on the left";
    EXPECT_EQ(SendMessageA(CodePageBar, TB_GETBITMAP, IDM_EXCHANGE, 0), IMAGE_ARROW_LEFT);
    EXPECT_TRUE(ButtonChecked(IDM_CONVERT_NEWLINES));
    EXPECT_TRUE(ButtonChecked(IDM_OVERWRITE_INPUT));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetMenuState(GetSystemMenu(window, FALSE), IDM_DETECT_SOURCE, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(GetSystemMenu(window, FALSE), IDM_REPAIR_TEXT, MF_BYCOMMAND) & MF_CHECKED);
    RECT frame;
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, 10);
    EXPECT_EQ(frame.top, 20);

    // The exit saves what the controls say, not the bits held in the run.
    SendMessageA(CommandBar, TB_CHECKBUTTON, IDM_OVERWRITE_INPUT, FALSE);
    Settings.Parameters |= 0xF000;  // bits that carry nothing are cleared
    SetWindowPos(window, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    StopTarvo();
    EXPECT_EQ(StoredParameters(), stored & ~ParamOverwriteInput);
    EXPECT_EQ(Settings.X, 30);
    EXPECT_EQ(Settings.Y, 40);
}

// A window that can be taken by its caption stays where it was left, even
// partly off the screen; one that cannot comes wholly onto the screen, as
// near its place as it fits.
TEST_F(MainWindowTest, APositionOutOfReachIsBroughtOntoTheScreen)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    const int kept = 1 << 20;  // stands for the stored value itself
    const struct {
        int x, y;
        int left, top;       // where it comes up; right and bottom from the screen's edge when negative
    } cases[] = {
        {work.right + 500, -300, -1, work.top},
        {work.right - 5, work.bottom - 5, -1, -1},
        {work.right - 20, 40, -1, kept},
        {work.right - 60, 40, kept, kept},
        {-50, 40, kept, kept},
        {40, work.bottom - 4, kept, -1},
        {40, -4, kept, kept},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        StoreParameters(DefaultParameters, c.x, c.y);
        HWND window = StartTarvo();
        RECT frame;
        GetWindowRect(window, &frame);
        const int width = frame.right - frame.left, height = frame.bottom - frame.top;
        EXPECT_EQ(frame.left, c.left == kept ? c.x : c.left < 0 ? work.right - width : c.left);
        EXPECT_EQ(frame.top, c.top == kept ? c.y : c.top < 0 ? work.bottom - height : c.top);
        StopTarvo();
    }
}

TEST_F(MainWindowTest, MinimizedInTheOrdinaryWayItKeepsItsNormalPlaceAndSize)
{
    StoreParameters(DefaultParameters | ParamPreview, 60, 70);
    HWND window = StartTarvo();
    RECT normal;
    GetWindowRect(window, &normal);
    ShowWindow(window, SW_MINIMIZE);  // as a shortcut set to "Run: Minimized" does
    ASSERT_TRUE(IsIconic(window));
    StopTarvo();
    EXPECT_EQ(Settings.X, normal.left);
    EXPECT_EQ(Settings.Y, normal.top);
    EXPECT_EQ(Settings.W, normal.right - normal.left);
    EXPECT_EQ(Settings.H, normal.bottom - normal.top);
}

TEST_F(MainWindowTest, TheEndOfTheSessionSavesTheSettingsAsAnExitDoes)
{
    HWND window = StartTarvo();
    Command(IDM_CONVERT_NEWLINES);
    SetWindowPos(window, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(SendMessageA(window, WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(StoredParameters(), 0u) << "nothing saved before the session ends";
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(StoredParameters(), FirstStartParameters | ParamConvertNewlines);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD x = 0, size = 4;
    RegQueryValueExA(key, "X", nullptr, nullptr, reinterpret_cast<BYTE*>(&x), &size);
    RegCloseKey(key);
    EXPECT_EQ(x, 30u);
    EXPECT_TRUE(IsWindow(window)) << "still running until the system ends it";
}

} // namespace

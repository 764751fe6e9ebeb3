// Minimizing to the notification area and coming back.
#include "shell_test_support.h"

#include <shellapi.h>

#include "hot_keys.h"
#include "resource_ids.h"
#include "settings.h"
#include "tray.h"

namespace {

using TrayTest = TarvoWindowTest;

// Whether the shell knows the program's icon: only an existing icon can be
// modified.
bool TrayIconShown()
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = MainWindow;
    data.uID = TRAY_ICON_ID;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != 0;
}

void Minimize() { SendMessageA(MainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0); }
void TrayMouse(UINT message) { SendMessageA(MainWindow, WM_TRAYNOTIFY, TRAY_ICON_ID, message); }

TEST_F(TrayTest, MinimizeHidesTheWindowBehindAnIconThatADoubleClickTakesAway)
{
    EXPECT_FALSE(TrayIconShown());
    Minimize();
    EXPECT_FALSE(IsWindowVisible(MainWindow));
    EXPECT_FALSE(IsIconic(MainWindow)) << "hidden, not minimized";
    EXPECT_TRUE(TrayIconShown());

    TrayMouse(WM_MOUSEMOVE);  // anything else does nothing
    EXPECT_FALSE(IsWindowVisible(MainWindow));
    TrayMouse(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_FALSE(TrayIconShown());
}

TEST_F(TrayTest, TheActivationHotKeyBringsTheWindowBackToo)
{
    Minimize();
    SendMessageA(MainWindow, WM_HOTKEY, ActivationHotKey, 0);
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_FALSE(TrayIconShown());
    SendMessageA(MainWindow, WM_HOTKEY, ActivationHotKey, 0);  // while shown: nothing to take away
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_FALSE(TrayIconShown());
}

TEST_F(TrayTest, ASecondMinimizeInTheTrayLeavesTheWindowToComeBackWhole)
{
    Minimize();
    Minimize();
    EXPECT_FALSE(IsIconic(MainWindow));
    TrayMouse(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    EXPECT_FALSE(IsIconic(MainWindow));
}

TEST_F(TrayTest, TheIconComesBackWhenTheTaskbarIsCreatedAgain)
{
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    SendMessageA(MainWindow, taskbarCreated, 0, 0);
    EXPECT_FALSE(TrayIconShown()) << "not while the window is shown";
    Minimize();
    // A restarted Explorer has forgotten every icon.
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = MainWindow;
    data.uID = TRAY_ICON_ID;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
    SendMessageA(MainWindow, taskbarCreated, 0, 0);
    EXPECT_TRUE(TrayIconShown());
    EXPECT_FALSE(IsWindowVisible(MainWindow));
}

TEST_F(TrayTest, TheTrayMenuChecksTheCodePagesOfTheToolbar)
{
    Command(IDM_SOURCE_FIRST + 4);
    Command(IDM_DESTINATION_FIRST + 0);
    Command(IDM_EXCHANGE);  // source cp866, destination ISO-8859-5
    Minimize();
    EXPECT_EQ(MenuOpenedBy([] { TrayMouse(WM_RBUTTONDOWN); }), TrayMenu);
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(Checked(TrayMenu, IDM_SOURCE_FIRST + n), n == 0) << n;
        EXPECT_EQ(Checked(TrayMenu, IDM_DESTINATION_FIRST + n), n == 4) << n;
    }
}

TEST_F(TrayTest, ExitFromTheTrayEndsTheProgramAndSavesItsSettings)
{
    Command(IDM_CONVERT_NEWLINES);
    Minimize();
    HWND window = MainWindow;
    Command(IDM_EXIT);
    EXPECT_FALSE(IsWindow(window));
    StopTarvo();  // runs the loop to its end and saves, as WinMain does
    DWORD stored = 0, size = sizeof stored;
    RegGetValueA(HKEY_CURRENT_USER, SettingsKey, "Parameters", RRF_RT_REG_DWORD, nullptr, &stored, &size);
    EXPECT_TRUE(stored & ParamConvertNewlines);
    ASSERT_TRUE(StartTarvo());
    EXPECT_FALSE(TrayIconShown()) << "no icon left behind";
}

} // namespace

// What a context-help click asks help for.
#include "shell_test_support.h"

#include "commands.h"
#include "help.h"
#include "resource_ids.h"

namespace {

using HelpTest = TarvoWindowTest;

POINT CentreOf(HWND toolbar, int position)
{
    RECT item;
    SendMessageA(toolbar, TB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&item));
    POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(toolbar, &centre);
    return centre;
}

TEST_F(HelpTest, ButtonsGiveTheirCommandAndEverythingElseNothing)
{
    const int commandBar[] = {101, 102, 0, 108, 104, 103, 0, 109};
    for (int position = 0; position < 8; ++position)
        EXPECT_EQ(HelpContextAt(CentreOf(CommandBar, position)), commandBar[position]) << position;
    const int codePageBar[] = {105, 0, 107, 0, 106};
    for (int position = 0; position < 5; ++position)
        EXPECT_EQ(HelpContextAt(CentreOf(CodePageBar, position)), codePageBar[position]) << position;
    EXPECT_EQ(HelpContextAt(POINT{0, 0}), 0);

    // After an exchange the left button carries the destination's command.
    Command(IDM_EXCHANGE);
    EXPECT_EQ(HelpContextAt(CentreOf(CodePageBar, 0)), 106);
    EXPECT_EQ(HelpContextAt(CentreOf(CodePageBar, 4)), 105);
}

TEST_F(HelpTest, LosingTheMouseEndsContextHelpModeWithoutHelp)
{
    Command(IDM_CONTEXT_HELP);
    ASSERT_TRUE(ContextHelpMode);
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetCapture(other);  // as the system menu or another window takes it
    EXPECT_FALSE(ContextHelpMode);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
    ReleaseCapture();
    DestroyWindow(other);
    SendMessageA(MainWindow, WM_LBUTTONDOWN, 0, 0);  // a later plain click
    PumpMessages(200);
    EXPECT_FALSE(FindWindowA("MS_WINHELP", nullptr));
}

// The viewer's page is a rich edit control, 1793, somewhere among its children.
BOOL CALLBACK FindPageText(HWND child, LPARAM found)
{
    if (GetDlgCtrlID(child) != 1793)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The text the help viewer shows, once it shows one (within a few seconds).
std::string HelpViewerText()
{
    for (int tries = 0; tries < 250; ++tries) {
        HWND viewer = FindWindowA("MS_WINHELP", nullptr);
        HWND page = nullptr;
        if (viewer)
            EnumChildWindows(viewer, FindPageText, reinterpret_cast<LPARAM>(&page));
        char text[4096] = "";
        if (page && SendMessageA(page, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)) > 0)
            return text;
        PumpMessages(20);
    }
    return "";
}

void CloseHelpViewer()
{
    WinHelpA(MainWindow, nullptr, HELP_QUIT, 0);
    for (int tries = 0; tries < 100 && FindWindowA("MS_WINHELP", nullptr); ++tries)
        PumpMessages(20);
}

TEST_F(HelpTest, AContextClickOutsideTheButtonsAndF1ShowTheContents)
{
    Command(IDM_CONTEXT_HELP);
    ASSERT_EQ(GetCapture(), MainWindow);
    POINT outside = {-5000, -5000};  // the mouse is captured: the click still comes here
    ScreenToClient(MainWindow, &outside);
    SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(outside.x, outside.y));
    EXPECT_EQ(ContextHelpMode, 0);
    EXPECT_NE(GetCapture(), MainWindow);
    EXPECT_NE(HelpViewerText().find("code page"), std::string::npos);
    StopTarvo();  // closes the viewer it opened
    for (int tries = 0; tries < 100 && FindWindowA("MS_WINHELP", nullptr); ++tries)
        PumpMessages(20);
    EXPECT_FALSE(FindWindowA("MS_WINHELP", nullptr));

    ASSERT_TRUE(StartTarvo());
    SendMessageA(MainWindow, WM_KEYDOWN, VK_F1, 0);
    EXPECT_NE(HelpViewerText().find("code page"), std::string::npos);
    CloseHelpViewer();
}

TEST_F(HelpTest, TheWindowsEndInContextHelpModeLeavesNoCaptureBehind)
{
    Command(IDM_CONTEXT_HELP);
    StopTarvo();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(ContextHelpMode, 0);
    ASSERT_TRUE(StartTarvo());
}

} // namespace

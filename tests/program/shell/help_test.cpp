// What a context-help click asks help for.
#include "shell_test_support.h"

#include "commands.h"
#include "help.h"
#include "resource_ids.h"

#include <htmlhelp.h>

#include <string>
#include <vector>

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

// A file beside this program, as the help files lie beside tarvo.exe.
std::string Beside(const char* name)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

// tarvo.chm beside this program while a test runs. The rig's Wine says it is
// Windows 7, which has no WinHelp, so the help turns to it; without it, as in
// the tests above, the help stays with WinHelp.
class HtmlHelpTest : public HelpTest {
protected:
    void SetUp() override
    {
        HelpTest::SetUp();
        ASSERT_GE(LOBYTE(LOWORD(GetVersion())), 6) << "the rig's Wine should say Windows Vista or later";
        std::string built = "Z:" TARVO_CHM_FILE;
        for (char& c : built)
            if (c == '/')
                c = '\\';
        ASSERT_TRUE(CopyFileA(built.c_str(), Beside("tarvo.chm").c_str(), FALSE)) << built;
    }
    void TearDown() override
    {
        HelpTest::TearDown();
        DeleteFileA(Beside("tarvo.chm").c_str());
    }
};

struct HtmlHelpCall {
    UINT command;
    std::string file;
    UINT popup;
    POINT at;
};
std::vector<HtmlHelpCall> Calls;

HWND WINAPI RecordHtmlHelp(HWND, const wchar_t* file, UINT command, DWORD_PTR data)
{
    HtmlHelpCall call = {command, "", 0, {}};
    for (; file && *file; ++file)
        call.file += static_cast<char>(*file);
    if (command == HH_DISPLAY_TEXT_POPUP) {
        call.popup = reinterpret_cast<const HH_POPUP*>(data)->idString;
        call.at = reinterpret_cast<const HH_POPUP*>(data)->pt;
    }
    Calls.push_back(call);
    return nullptr;
}

// Wine's viewer shows no text popups, so a recorder stands in for it here;
// the end-to-end tests open the real one.
struct RecordingHtmlHelp {
    HtmlHelpFunction saved = HtmlHelpViewer;
    RecordingHtmlHelp() { HtmlHelpViewer = RecordHtmlHelp; Calls.clear(); }
    ~RecordingHtmlHelp() { HtmlHelpViewer = saved; }
};

TEST_F(HtmlHelpTest, ContextHelpPopsUpTheTextOfWhatWasClickedAndTheEndClosesAll)
{
    RecordingHtmlHelp recording;
    const std::string chm = Beside("tarvo.chm");
    struct Click {
        HWND toolbar;  // null: outside every button
        int position;
        UINT command;
        std::string file;
        UINT popup;
    };
    const Click clicks[] = {
        {CommandBar, 0, HH_DISPLAY_TEXT_POPUP, chm + "::/cshelp.txt", IDM_CONVERT_FILES},
        {CodePageBar, 4, HH_DISPLAY_TEXT_POPUP, chm + "::/cshelp.txt", IDM_DESTINATION_CODEPAGE},
        {CommandBar, 7, HH_DISPLAY_TOC, chm, 0},  // Context Help itself
        {nullptr, 0, HH_DISPLAY_TOC, chm, 0},
    };
    for (const Click& click : clicks) {
        SCOPED_TRACE(click.popup);
        const POINT at = click.toolbar ? CentreOf(click.toolbar, click.position) : POINT{-5000, -5000};
        POINT client = at;
        ScreenToClient(MainWindow, &client);
        Command(IDM_CONTEXT_HELP);
        SendMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        ASSERT_EQ(Calls.size(), 1u);
        EXPECT_EQ(Calls[0].command, click.command);
        EXPECT_EQ(Calls[0].file, click.file);
        EXPECT_EQ(Calls[0].popup, click.popup);
        if (click.popup) {
            EXPECT_EQ(Calls[0].at.x, at.x);
            EXPECT_EQ(Calls[0].at.y, at.y);
        }
        Calls.clear();
    }
    StopTarvo();
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].command, static_cast<UINT>(HH_CLOSE_ALL));
    ASSERT_TRUE(StartTarvo());
}

} // namespace

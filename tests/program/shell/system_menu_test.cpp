// The program's items in the window's system menu, and the About box.
#include "shell_test_support.h"

#include "resource_ids.h"
#include "settings.h"

namespace {

using SystemMenuTest = TarvoWindowTest;

void SysCommand(UINT id) { SendMessageA(MainWindow, WM_SYSCOMMAND, id, 0); }

HMENU SystemMenu() { return GetSystemMenu(MainWindow, FALSE); }

TEST_F(SystemMenuTest, TenItemsTheLanguagesAndASeparatorOnTopInTheirOrder)
{
    const struct {
        UINT id;
        const char* text;
    } expected[] = {
        {IDM_ALWAYS_ON_TOP, "&Always on the Top"}, {IDM_PREVIEW, "&Preview"},
        {IDM_PREVIEW_CP1251, "&Preview in cp-1251"}, {IDM_PREVIEW_FONT, "Preview &font"},
        {IDM_SAVE_PATHS, "Save paths on &exit"}, {IDM_SAME_PATHS, "&In/Out paths are same"},
        {IDM_HOTKEYS, "&Hot Keys"}, {IDM_ABOUT, "About"}, {IDM_DETECT_SOURCE, "&Detect source code page"},
        {IDM_REPAIR_TEXT, "&Repair garbled text"},
    };
    HMENU menu = SystemMenu();
    for (int position = 0; position < 10; ++position) {
        char text[64] = "";
        GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(menu, position), expected[position].id) << position;
        EXPECT_STREQ(text, expected[position].text) << position;
    }
    char text[64] = "";
    GetMenuStringA(menu, 10, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Language");
    HMENU languages = GetSubMenu(menu, 10);
    EXPECT_EQ(GetMenuItemCount(languages), 3);
    EXPECT_EQ(GetMenuItemID(languages, 0), static_cast<UINT>(IDM_LANGUAGE_ENGLISH));
    EXPECT_TRUE(Checked(languages, IDM_LANGUAGE_ENGLISH)) << "the language of this run";
    EXPECT_TRUE(GetMenuState(menu, 11, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_GT(GetMenuItemCount(menu), 12) << "the standard commands follow";
    // The defaults: paths saved at exit, nothing else checked.
    EXPECT_TRUE(Checked(menu, IDM_SAVE_PATHS));
    for (UINT id : {IDM_ALWAYS_ON_TOP, IDM_PREVIEW, IDM_PREVIEW_CP1251, IDM_SAME_PATHS, IDM_DETECT_SOURCE, IDM_REPAIR_TEXT})
        EXPECT_FALSE(Checked(menu, id)) << id;
}

TEST_F(SystemMenuTest, CheckItemsToggleTheirBits)
{
    const struct {
        UINT id;
        DWORD bit;
    } items[] = {{IDM_ALWAYS_ON_TOP, ParamAlwaysOnTop},
                 {IDM_SAVE_PATHS, ParamSavePaths},
                 {IDM_SAME_PATHS, ParamSamePaths},
                 {IDM_DETECT_SOURCE, ParamDetectSource},
                 {IDM_REPAIR_TEXT, ParamRepairText}};
    for (const auto& item : items) {
        const bool was = (Settings.Parameters & item.bit) != 0;
        SysCommand(item.id | 0x3);  // the low four bits are the system's
        EXPECT_EQ((Settings.Parameters & item.bit) != 0, !was) << item.id;
        EXPECT_EQ(Checked(SystemMenu(), item.id), !was) << item.id;
        SysCommand(item.id);
        EXPECT_EQ((Settings.Parameters & item.bit) != 0, was) << item.id;
    }
}

TEST_F(SystemMenuTest, AlwaysOnTopMakesTheWindowTopmostAndIsSavedFromTheCheckMark)
{
    SysCommand(IDM_ALWAYS_ON_TOP);
    EXPECT_TRUE(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SysCommand(IDM_ALWAYS_ON_TOP);
    EXPECT_FALSE(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The check mark decides at exit, not the bit held during the run.
    CheckMenuItem(SystemMenu(), 0, MF_BYPOSITION | MF_CHECKED);
    StopTarvo();
    EXPECT_TRUE(Settings.Parameters & ParamAlwaysOnTop);
    ASSERT_TRUE(StartTarvo());
    EXPECT_TRUE(Checked(SystemMenu(), IDM_ALWAYS_ON_TOP));
    EXPECT_TRUE(GetWindowLongA(MainWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(SystemMenuTest, AboutNamesTheProgramItsVersionAndHowToGetHelp)
{
    BoxText about;
    DialogAnswerer answerer([&](HWND box) {
        about = ReadBox(box);
        PressButton(box, IDOK);
        return false;
    });
    SysCommand(IDM_ABOUT);
    EXPECT_EQ(answerer.Answered(), 1);
    EXPECT_EQ(about.title, "About tarvo");
    EXPECT_NE(about.text.find("32-bit"), std::string::npos);
    EXPECT_NE(about.text.find("\nVersion 1.3\n\n"), std::string::npos) << about.text;
    const std::string last = "Press Ok, then F1 to get Help";
    ASSERT_GE(about.text.size(), last.size());
    EXPECT_EQ(about.text.substr(about.text.size() - last.size()), last);
}

} // namespace

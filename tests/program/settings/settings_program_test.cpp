// The settings as the running program meets them: loaded before its window
// exists and saved after its loop has ended.
#include "code_page_tables.h"
#include "main_window.h"
#include "program_test_support.h"
#include "resource_ids.h"
#include "settings_test_registry.h"
#include "toolbars.h"

namespace {

using SettingsInTheProgram = SettingsStoreTest;

TEST_F(SettingsInTheProgram, FirstStartShowsTheDefaultCodePagesWithDetectionAndSavesAtExit)
{
    ClearClipboard();
    ASSERT_NE(nullptr, StartTarvo());
    EXPECT_EQ(CodePageKoi8r, GetSourceIndex());
    EXPECT_EQ(CodePageCp1251, GetDestinationIndex());
    EXPECT_TRUE(GetMenuState(GetSystemMenu(MainWindow, FALSE), IDM_DETECT_SOURCE, MF_BYCOMMAND) & MF_CHECKED);
    StopTarvo();

    EXPECT_FALSE(ReadStoredValue("PreviewFont").exists);
    const SettingsRecord saved = LoadFresh();
    EXPECT_EQ(DefaultParameters & 0xFF, saved.Parameters & 0xFF);
    EXPECT_TRUE(saved.Parameters & ParamSavePaths);
    EXPECT_TRUE(saved.Parameters & ParamAutoConvert);
    EXPECT_TRUE(saved.Parameters & ParamDetectSource);
}

TEST_F(SettingsInTheProgram, StoredCodePagesOutOfRangeNeverReachTheToolbar)
{
    StoreDword("Parameters", 0x004401DB);
    ASSERT_NE(nullptr, StartTarvo());
    EXPECT_EQ(CodePageKoi8r, GetSourceIndex());
    EXPECT_EQ(CodePageCp1251, GetDestinationIndex());
    StopTarvo();
}

} // namespace

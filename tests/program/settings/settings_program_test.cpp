// The settings as the running program meets them: loaded before its window
// exists and saved after its loop has ended.
#include "code_page_tables.h"
#include "program_test_support.h"
#include "settings_test_registry.h"
#include "toolbars.h"

namespace {

using SettingsInTheProgram = SettingsStoreTest;

TEST_F(SettingsInTheProgram, FirstStartShowsTheDefaultCodePagesAndSavesAtExit)
{
    ASSERT_NE(nullptr, StartTarvo());
    EXPECT_EQ(CodePageKoi8r, GetSourceIndex());
    EXPECT_EQ(CodePageCp1251, GetDestinationIndex());
    StopTarvo();

    EXPECT_FALSE(ReadStoredValue("PreviewFont").exists);
    const SettingsRecord saved = LoadFresh();
    EXPECT_EQ(DefaultParameters & 0xFF, saved.Parameters & 0xFF);
    EXPECT_TRUE(saved.Parameters & ParamSavePaths);
    EXPECT_TRUE(saved.Parameters & ParamAutoConvert);
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

// The preview font: picked in the font dialog, kept while the preview is
// hidden, handed to both panes, and left alone when the dialog is cancelled.
#include "preview.h"
#include "preview_test_support.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

HFONT PaneFont(HWND pane) { return reinterpret_cast<HFONT>(SendMessageA(pane, WM_GETFONT, 0, 0)); }

using PreviewFontTest = PreviewTest;

TEST_F(PreviewFontTest, FontChosenWhileHiddenIsTheOneTheNextShowingUses)
{
    ASSERT_FALSE(PreviewFont) << "the defaults have none";
    const LOGFONTA iconTitle = IconTitleFont();
    const FontDialogVisit visit = ChooseFontThroughTheMenu(true, iconTitle.lfFaceName);
    ASSERT_FALSE(visit.chosenFace.empty());
    ASSERT_FALSE(visit.sizes.empty());
    for (int size : visit.sizes) {
        EXPECT_GE(size, 4);
        EXPECT_LE(size, 20);
    }
    ASSERT_TRUE(PreviewFont);
    const HFONT chosen = PreviewFont;
    EXPECT_STREQ(PreviewFontDescription.lfFaceName, visit.chosenFace.c_str());
    EXPECT_FALSE(GetDlgItem(MainWindow, IDC_SOURCE_PANE)) << "choosing a font does not show the preview";

    SystemCommand(IDM_PREVIEW);
    EXPECT_EQ(PreviewFont, chosen);
    EXPECT_EQ(PaneFont(SourcePane), chosen);
    EXPECT_EQ(PaneFont(ResultPane), chosen);
    EXPECT_STREQ(PreviewFontDescription.lfFaceName, visit.chosenFace.c_str()) << "not the icon title font";
}

TEST_F(PreviewFontTest, FontChosenWhileShownReplacesTheOldOneInBothPanesAndIsSaved)
{
    SystemCommand(IDM_PREVIEW);
    const HFONT iconTitle = PreviewFont;
    const FontDialogVisit visit = ChooseFontThroughTheMenu(true, PreviewFontDescription.lfFaceName);
    ASSERT_FALSE(visit.chosenFace.empty());
    ASSERT_NE(PreviewFont, iconTitle);
    EXPECT_EQ(PaneFont(SourcePane), PreviewFont);
    EXPECT_EQ(PaneFont(ResultPane), PreviewFont);
    EXPECT_EQ(GetObjectType(iconTitle), 0u) << "the replaced font is deleted";

    LOGFONTA inUse = {};
    GetObjectA(PreviewFont, sizeof inUse, &inUse);
    EXPECT_STREQ(inUse.lfFaceName, visit.chosenFace.c_str());
    EXPECT_TRUE(SameFont(inUse, PreviewFontDescription));
    const LOGFONTA chosen = PreviewFontDescription;
    StopTarvo();
    LOGFONTA saved = {};
    DWORD size = sizeof saved;
    RegGetValueA(HKEY_CURRENT_USER, SettingsKey, "PreviewFont", RRF_RT_REG_BINARY, nullptr, &saved, &size);
    EXPECT_TRUE(SameFont(saved, chosen));
}

TEST_F(PreviewFontTest, DialogStartsAtTheCurrentFontAndCancelKeepsItOrItsAbsence)
{
    const LOGFONTA before = PreviewFontDescription;
    EXPECT_FALSE(ChooseFontThroughTheMenu(false).faces.empty()) << "the dialog came up";
    EXPECT_FALSE(PreviewFont);
    EXPECT_TRUE(SameFont(PreviewFontDescription, before));

    SystemCommand(IDM_PREVIEW);
    const std::string face = ChooseFontThroughTheMenu(true).chosenFace;
    ASSERT_FALSE(face.empty());
    const HFONT current = PreviewFont;
    const LOGFONTA description = PreviewFontDescription;
    EXPECT_EQ(ChooseFontThroughTheMenu(false).initialFace, face);
    EXPECT_EQ(PreviewFont, current);
    EXPECT_NE(GetObjectType(current), 0u);
    EXPECT_TRUE(SameFont(PreviewFontDescription, description));
    EXPECT_EQ(PaneFont(SourcePane), current);
    EXPECT_EQ(PaneFont(ResultPane), current);
}

} // namespace

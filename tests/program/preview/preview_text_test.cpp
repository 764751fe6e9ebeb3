// The preview's text: the clipboard's in the source pane, and in the result
// pane its conversion as the toolbars and options stand, once or twice.
#include <cstring>

#include "preview.h"
#include "preview_test_support.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

const int Cp866 = 0, Cp1251 = 1, Koi8r = 2, Mac = 3, Iso = 4;

// Cyrillic letters and symbols in KOI8-R, with both kinds of line end.
const std::string Koi8Text = "\xF4\xC1\xD2\xD7\xCF \xE1\xC1\xC0\r\n\xBF\x9C\x9A\n\x9E line";

// The same prose in cp1251 and KOI8-R, long enough for the detector.
const std::string Cp1251Prose = "\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 "
                                "\xEC\xFF\xE3\xEA\xE8\xF5 \xF4\xF0\xE0\xED\xF6\xF3\xE7\xF1\xEA\xE8\xF5 "
                                "\xE1\xF3\xEB\xEE\xEA, \xE4\xE0 \xE2\xFB\xEF\xE5\xE9 \xF7\xE0\xFE.";
const std::string Koi8Prose = "\xF3\xDF\xC5\xDB\xD8 \xD6\xC5 \xC5\xDD\xA3 \xDC\xD4\xC9\xC8 "
                              "\xCD\xD1\xC7\xCB\xC9\xC8 \xC6\xD2\xC1\xCE\xC3\xD5\xDA\xD3\xCB\xC9\xC8 "
                              "\xC2\xD5\xCC\xCF\xCB, \xC4\xC1 \xD7\xD9\xD0\xC5\xCA \xDE\xC1\xC0.";

bool NewlinesOn() { return (Settings.Parameters & ParamConvertNewlines) != 0; }
bool Cp1251On() { return (Settings.Parameters & ParamPreviewCp1251) != 0; }

class PreviewTextTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        PutClipboardText(Koi8Text);
        SystemCommand(IDM_PREVIEW);
        ASSERT_TRUE(SourcePane && ResultPane);
    }
    void Choose(int source, int destination)
    {
        Command(IDM_SOURCE_FIRST + source);
        Command(IDM_DESTINATION_FIRST + destination);
    }
};

TEST_F(PreviewTextTest, ShowsTheClipboardConvertedAndAtMost2046CharactersOfIt)
{
    EXPECT_EQ(PaneText(SourcePane), Shown(Koi8Text, Koi8r));
    EXPECT_EQ(PaneText(ResultPane), Shown(Converted(Koi8Text, Koi8r, Cp1251, false), Cp1251));
    EXPECT_TRUE(PaneText(ResultPane).substr(6, 3) == L"Ааю") << "KOI8-R E1 C1 C0";

    std::string long_;
    while (long_.size() < 3000)
        long_ += "\xC1\xC2\xD7\xC7 \xE4\xC5";
    long_.resize(3000);
    PutClipboardText(long_);
    RefreshPreview(MainWindow, 1);  // as a change of the clipboard does
    EXPECT_EQ(PaneText(SourcePane), Shown(long_.substr(0, 2046), Koi8r));
    EXPECT_EQ(PaneText(ResultPane), Shown(Converted(long_.substr(0, 2046), Koi8r, Cp1251, false), Cp1251));
}

TEST_F(PreviewTextTest, ResultFollowsEveryCodePageAndOptionChange)
{
    // Each change comes with new source text, as a file's first bytes would:
    // a result of that text shows that the change refreshed the preview.
    // The source pane reads the bytes in the source page, the result pane
    // in the destination page.
    int source = Koi8r, destination = Cp1251, step = 0;
    auto change = [&](int command) {
        const std::string text = Koi8Text + " " + std::to_string(++step);
        ShowFileText(text);
        Command(command);
        EXPECT_EQ(PaneText(SourcePane), Shown(text, source)) << "command " << command << " from " << source;
        EXPECT_EQ(PaneText(ResultPane), Shown(Converted(text, source, destination, NewlinesOn()), destination))
            << "command " << command << " from " << source << " to " << destination;
    };
    for (int page : {Cp866, Cp1251, Koi8r, Mac, Iso}) {
        source = page;
        change(IDM_SOURCE_FIRST + page);
        for (int other : {Iso, Mac, Koi8r, Cp1251, Cp866}) {
            destination = other;
            change(IDM_DESTINATION_FIRST + other);
        }
    }
    source = Cp866;
    change(IDM_SOURCE_CODEPAGE);
    destination = Cp1251;
    change(IDM_DESTINATION_CODEPAGE);
    std::swap(source, destination);
    change(IDM_EXCHANGE);
    change(IDM_CONVERT_NEWLINES);
    ASSERT_TRUE(NewlinesOn());
    source = Koi8r;
    change(IDM_SOURCE_FIRST + Koi8r);
    change(IDM_AUTO_CONVERT);
    change(IDM_AUTO_CONVERT);

    // "Overwrite input file" leaves the preview alone.
    const std::wstring before = PaneText(ResultPane);
    ShowFileText("other text");
    Command(IDM_OVERWRITE_INPUT);
    EXPECT_EQ(PaneText(ResultPane), before);
}

TEST_F(PreviewTextTest, PreviewInCp1251ReloadsTheClipboardAndConvertsOnceMore)
{
    Choose(Koi8r, Cp866);
    ShowFileText("a file's first bytes");
    SystemCommand(IDM_PREVIEW_CP1251);
    EXPECT_TRUE(SystemMenuChecked(IDM_PREVIEW_CP1251));
    EXPECT_TRUE(Cp1251On());
    EXPECT_EQ(PaneText(SourcePane), Shown(Koi8Text, Koi8r)) << "the clipboard's text comes back";
    EXPECT_EQ(PaneText(ResultPane), Shown(Converted(Koi8Text, Koi8r, Cp866, false, true), Cp1251));

    // The second pass shows what cp1251 makes of what it has no place for:
    // a cp866 frame is not shown as one.
    const std::string frame = "\xDA\xC4\xBF";  // "┌─┐"
    ShowFileText(frame);
    Choose(Cp866, Cp866);
    EXPECT_EQ(PaneText(ResultPane), Shown(Converted(frame, Cp866, Cp866, false, true), Cp1251));
    EXPECT_NE(PaneText(ResultPane), Shown(frame, Cp866));

    // From cp1251 to cp1251 the quotes and dashes stay themselves, and so
    // they do in the second pass, cp1251 to cp1251 again.
    const std::string quotes = "\x93\x96\x82\x84\xAB\x97 \xC0\xFF";
    ShowFileText(quotes);
    Choose(Cp1251, Cp1251);
    EXPECT_EQ(PaneText(ResultPane), Shown(Converted(quotes, Cp1251, Cp1251, false, true), Cp1251));
    EXPECT_EQ(PaneText(ResultPane), Shown(quotes, Cp1251));

    // Without text on the clipboard the shown text stays.
    EmptyTheClipboard();
    SystemCommand(IDM_PREVIEW_CP1251);
    EXPECT_FALSE(SystemMenuChecked(IDM_PREVIEW_CP1251));
    EXPECT_FALSE(Cp1251On());
    EXPECT_EQ(PaneText(SourcePane), Shown(quotes, Cp1251));
    EXPECT_EQ(PaneText(ResultPane), Shown(Converted(quotes, Cp1251, Cp1251, false), Cp1251));

    // A DOS frame and a numero sign from cp866: the frame in its stand-ins,
    // the sign cp1251's own.
    ShowFileText("\xC9\xCD\xBB \xFC");
    Choose(Cp866, Cp1251);
    EXPECT_EQ(PaneText(ResultPane), Shown("+=+ \xB9", Cp1251));
}

TEST_F(PreviewTextTest, ResultsGrownByCarriageReturnsAreShownWhole)
{
    // 2046 characters, half of them LF: 3069 bytes once each LF has its CR.
    std::string lines;
    for (int n = 0; n < 1023; ++n)
        lines += "\xC1\n";
    PutClipboardText(lines);
    RefreshPreview(MainWindow, 1);
    Command(IDM_CONVERT_NEWLINES);
    Choose(Koi8r, Cp1251);
    const std::string once = Converted(lines, Koi8r, Cp1251, true);
    ASSERT_EQ(once.size(), 3069u);
    EXPECT_EQ(PaneText(ResultPane), Shown(once, Cp1251));

    // KOI8-R to KOI8-R gains the CRs in the first pass, and the second pass
    // into cp1251 converts all of that result.
    SystemCommand(IDM_PREVIEW_CP1251);
    Choose(Koi8r, Koi8r);
    EXPECT_EQ(PaneText(ResultPane), Shown(Converted(lines, Koi8r, Koi8r, true, true), Cp1251));
    EXPECT_EQ(PaneText(ResultPane), Shown(once, Cp1251));

    // From cp1251 into KOI8-R the CRs go, and the second pass, from KOI8-R,
    // puts them back.
    const std::string crlf = "\xE0\xE1\r\n\xFF\r\n";
    ShowFileText(crlf);
    Choose(Cp1251, Koi8r);
    EXPECT_EQ(PaneText(ResultPane), Shown(Converted(crlf, Cp1251, Koi8r, true, true), Cp1251));
    EXPECT_EQ(PaneText(ResultPane), Shown(crlf, Cp1251));
    SystemCommand(IDM_PREVIEW_CP1251);
    ShowFileText(crlf);
    Choose(Cp1251, Koi8r);
    EXPECT_EQ(PaneText(ResultPane), Shown("\xC1\xC2\n\xD1\n", Koi8r));
}

TEST_F(PreviewTextTest, WithDetectionTheResultIsWhatTheAutomaticConversionLeaves)
{
    SystemCommand(IDM_DETECT_SOURCE);
    Command(IDM_AUTO_CONVERT);
    Choose(Cp866, Cp1251);
    const struct {
        const char* what;
        std::string text, result;
    } cases[] = {
        {"in the destination page already", Cp1251Prose, Cp1251Prose},
        {"too short to tell", "\xC4\xE0", "\xC4\xE0"},
        {"in another page: from that one", Koi8Prose, Cp1251Prose},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PutClipboardText(c.text);
        RefreshPreview(MainWindow, 1);
        EXPECT_EQ(PaneText(ResultPane), Shown(c.result, Cp1251));
    }
}

// As a Unicode program copies: CF_UNICODETEXT alone.
void PutUnicodeText(const std::wstring& text)
{
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
    DestroyWindow(owner);
}

TEST_F(PreviewTextTest, WithRepairTheResultIsTheRepairedText)
{
    SystemCommand(IDM_REPAIR_TEXT);
    Choose(Koi8r, Cp1251);
    PutUnicodeText(L"Р”РѕР±СЂС‹Р№ РґРµРЅСЊ");
    RefreshPreview(MainWindow, 1);
    EXPECT_TRUE(PaneText(SourcePane) == L"Р”РѕР±СЂС‹Р№ РґРµРЅСЊ") << "as it was placed";
    EXPECT_TRUE(PaneText(ResultPane) == L"Добрый день");
    Choose(Cp866, Cp1251);  // a refresh from the panes keeps it
    EXPECT_TRUE(PaneText(ResultPane) == L"Добрый день");
}

// On a system whose ANSI code page has no Cyrillic letters the panes show
// them all the same, read in the code page of each pane.
TEST_F(PreviewTextTest, ThePanesShowCyrillicOnAWesternSystem)
{
    const std::wstring greeting = L"Привет, мир";
    BOOL lost = FALSE;
    char ansi[32];
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, greeting.c_str(), -1, ansi, sizeof ansi, nullptr, &lost);
    ASSERT_TRUE(lost) << "runs on a Western system";
    for (int page : {Cp866, Cp1251, Koi8r, Mac, Iso}) {
        SCOPED_TRACE(page);
        Choose(page, Cp1251);
        ShowFileText(InPage(greeting, page));
        RefreshPreview(MainWindow, 0);
        EXPECT_TRUE(PaneText(SourcePane) == greeting);
        EXPECT_TRUE(PaneText(ResultPane) == greeting);
    }
    SystemCommand(IDM_PREVIEW_CP1251);
    Choose(Cp866, Koi8r);
    ShowFileText(InPage(greeting, Cp866));
    RefreshPreview(MainWindow, 0);
    EXPECT_TRUE(PaneText(ResultPane) == greeting) << "through the second pass";

    // Unicode text that no conversion touches is shown as it was placed.
    PutUnicodeText(L"Привет 日本");
    RefreshPreview(MainWindow, 1);
    EXPECT_TRUE(PaneText(SourcePane) == L"Привет 日本");
    EXPECT_TRUE(PaneText(ResultPane) == L"Привет 日本");
}

} // namespace

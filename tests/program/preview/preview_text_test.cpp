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
    EXPECT_EQ(WindowText(SourcePane), Koi8Text);
    EXPECT_EQ(WindowText(ResultPane), Converted(Koi8Text, Koi8r, Cp1251, false));
    EXPECT_EQ(WindowText(ResultPane).substr(6, 3), "\xC0\xE0\xFE") << "KOI8-R E1 C1 C0 in cp1251";

    std::string long_;
    while (long_.size() < 3000)
        long_ += "\xC1\xC2\xD7\xC7 \xE4\xC5";
    long_.resize(3000);
    PutClipboardText(long_);
    RefreshPreview(MainWindow, 1);  // as a change of the clipboard does
    EXPECT_EQ(WindowText(SourcePane), long_.substr(0, 2046));
    EXPECT_EQ(WindowText(ResultPane), Converted(long_.substr(0, 2046), Koi8r, Cp1251, false));
}

TEST_F(PreviewTextTest, ResultFollowsEveryCodePageAndOptionChange)
{
    // Each change comes with new source text, as a file's first bytes would:
    // a result of that text shows that the change refreshed the preview.
    int source = Koi8r, destination = Cp1251, step = 0;
    auto change = [&](int command) {
        const std::string text = Koi8Text + " " + std::to_string(++step);
        SetPaneText(SourcePane, text);
        Command(command);
        EXPECT_EQ(WindowText(ResultPane), Converted(text, source, destination, NewlinesOn()))
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
    const std::string before = WindowText(ResultPane);
    SetPaneText(SourcePane, "other text");
    Command(IDM_OVERWRITE_INPUT);
    EXPECT_EQ(WindowText(ResultPane), before);
}

TEST_F(PreviewTextTest, PreviewInCp1251ReloadsTheClipboardAndConvertsOnceMore)
{
    Choose(Koi8r, Cp866);
    SetPaneText(SourcePane, "a file's first bytes");
    SystemCommand(IDM_PREVIEW_CP1251);
    EXPECT_TRUE(SystemMenuChecked(IDM_PREVIEW_CP1251));
    EXPECT_TRUE(Cp1251On());
    EXPECT_EQ(WindowText(SourcePane), Koi8Text) << "the clipboard's text comes back";
    EXPECT_EQ(WindowText(ResultPane), Converted(Koi8Text, Koi8r, Cp866, false, true));
    EXPECT_NE(WindowText(ResultPane), Converted(Koi8Text, Koi8r, Cp866, false)) << "cp866 letters are not cp1251";

    // From cp1251 to cp1251 the quotes and dashes stay themselves, and so
    // they do in the second pass, cp1251 to cp1251 again.
    const std::string quotes = "\x93\x96\x82\x84\xAB\x97 \xC0\xFF";
    SetPaneText(SourcePane, quotes);
    Choose(Cp1251, Cp1251);
    EXPECT_EQ(WindowText(ResultPane), Converted(quotes, Cp1251, Cp1251, false, true));
    EXPECT_EQ(WindowText(ResultPane), quotes);
    // Without text on the clipboard the shown text stays.
    EmptyTheClipboard();
    SystemCommand(IDM_PREVIEW_CP1251);
    EXPECT_FALSE(SystemMenuChecked(IDM_PREVIEW_CP1251));
    EXPECT_FALSE(Cp1251On());
    EXPECT_EQ(WindowText(SourcePane), quotes);
    EXPECT_EQ(WindowText(ResultPane), Converted(quotes, Cp1251, Cp1251, false));

    // A DOS frame and a numero sign from cp866: the frame in its stand-ins,
    // the sign cp1251's own.
    SetPaneText(SourcePane, "\xC9\xCD\xBB \xFC");
    Choose(Cp866, Cp1251);
    EXPECT_EQ(WindowText(ResultPane), "+=+ \xB9");
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
    EXPECT_EQ(WindowText(ResultPane), once);

    // KOI8-R to KOI8-R gains the CRs in the first pass, and the second pass
    // into cp1251 converts all of that result.
    SystemCommand(IDM_PREVIEW_CP1251);
    Choose(Koi8r, Koi8r);
    EXPECT_EQ(WindowText(ResultPane), Converted(lines, Koi8r, Koi8r, true, true));
    EXPECT_EQ(WindowText(ResultPane), once);

    // From cp1251 into KOI8-R the CRs go, and the second pass, from KOI8-R,
    // puts them back.
    const std::string crlf = "\xE0\xE1\r\n\xFF\r\n";
    SetPaneText(SourcePane, crlf);
    Choose(Cp1251, Koi8r);
    EXPECT_EQ(WindowText(ResultPane), Converted(crlf, Cp1251, Koi8r, true, true));
    EXPECT_EQ(WindowText(ResultPane), crlf);
    SystemCommand(IDM_PREVIEW_CP1251);
    SetPaneText(SourcePane, crlf);
    Choose(Cp1251, Koi8r);
    EXPECT_EQ(WindowText(ResultPane), "\xC1\xC2\n\xD1\n");
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
        SetPaneText(SourcePane, c.text);
        RefreshPreview(MainWindow, 0);
        EXPECT_EQ(WindowText(ResultPane), c.result);
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
    EXPECT_EQ(WindowText(ResultPane), "\xC4\xEE\xE1\xF0\xFB\xE9 \xE4\xE5\xED\xFC") << "\"Добрый день\" in cp1251";
    Choose(Cp866, Cp1251);  // a refresh from the panes keeps it
    EXPECT_EQ(WindowText(ResultPane), "\xC4\xEE\xE1\xF0\xFB\xE9 \xE4\xE5\xED\xFC");
}

} // namespace

// What Tarvo does not change stays on the clipboard as the program put it:
// text that the conversion gives back byte for byte keeps every format
// beside it (the formatting of a browser or a word processor) and its
// owner, and a program's Unicode text is read whatever order it placed its
// formats in, so that none of its characters turns into '?'.
#include <memory>
#include <ostream>
#include <utility>

#include "clipboard_test_support.h"
#include "code_page_tables.h"
#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"
#include "shell/shell_test_support.h"
#include "window_requests.h"

namespace {

const std::string Nul(1, '\0');

// Automatic conversion on, detection off: the code pages on the buttons
// are the conversion. clipboard_peer.exe after the main window in the
// viewer chain tells when a change has gone by.
class ClipboardKeptTest : public ClipboardTest {
protected:
    void SetUp() override
    {
        ClipboardTest::SetUp();
        peer_.reset(new Peer);
        ASSERT_TRUE(peer_->Running());
        ASSERT_TRUE(StartTarvo());
        ASSERT_TRUE(ButtonChecked(IDM_AUTO_CONVERT));
        if (AskParameters(MainWindow) & ParamDetectSource)
            SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_DETECT_SOURCE, 0);
        heard_ = peer_->Record().drawCount;
    }
    void Choose(int source, int destination)
    {
        Command(IDM_SOURCE_FIRST + source);
        Command(IDM_DESTINATION_FIRST + destination);
    }
    void CopyAndWait(const std::vector<ClipboardBlock>& blocks)
    {
        copier_.CopyBlocks(blocks);
        EXPECT_TRUE(WaitUntil([&] { return peer_->Record().drawCount > heard_; }));
        heard_ = peer_->Record().drawCount;
    }
    std::unique_ptr<Peer> peer_;
    LONG heard_ = 0;
    CopierWindow copier_;
};

// The program's own 8-bit form of its text comes first, with a '?' for
// each character its code page lacks; its Unicode text is the whole text.
TEST_F(ClipboardKeptTest, UnicodeTextPlacedAfterTheBytesIsTheTextRead)
{
    const struct {
        const char* what;
        int destination;
        std::string bytes;
        std::wstring unicode, unicodeAfter;
        std::string bytesAfter;  // CF_TEXT afterwards
    } cases[] = {
        {"Greek beside Cyrillic: left as it was", CodePageCp1251, "\xCF\xF0\xE8\xE2\xE5\xF2 ????????" + Nul,
         L"Привет Καλημέρα", L"Привет Καλημέρα", ""},
        {"Cyrillic from a Western program: converted", CodePageKoi8r, "?????? 2024" + Nul, L"Привет 2024",
         L"Привет 2024", "\xF0\xD2\xC9\xD7\xC5\xD4 2024"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Choose(CodePageCp1251, c.destination);
        CopyAndWait({{CF_TEXT, c.bytes}, {CF_UNICODETEXT, UnicodeBytes(c.unicode)}});
        EXPECT_TRUE(UnicodeTextNow() == c.unicodeAfter);
        if (c.bytesAfter.empty()) {
            EXPECT_EQ(GetClipboardOwner(), copier_.Handle());
        } else {
            EXPECT_EQ(GetClipboardOwner(), MainWindow);
            EXPECT_EQ(TextOf(ReadNow()), c.bytesAfter);
        }
    }
}

} // namespace

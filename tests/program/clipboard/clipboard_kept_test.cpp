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

// Every block on the clipboard, placed or made by the system, in the order
// listed, and the owner.
struct Snapshot {
    HWND owner;
    std::vector<std::pair<UINT, std::string>> blocks;
    bool operator==(const Snapshot& other) const { return owner == other.owner && blocks == other.blocks; }
};

void PrintTo(const Snapshot& snapshot, std::ostream* stream)
{
    *stream << "owner " << HandleNumber(snapshot.owner) << ", formats";
    for (const auto& block : snapshot.blocks)
        *stream << ' ' << block.first << " (" << block.second.size() << " bytes)";
}

Snapshot SnapshotNow()
{
    Snapshot snapshot = {GetClipboardOwner(), {}};
    EXPECT_TRUE(OpenClipboard(nullptr));
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
        HANDLE block = GetClipboardData(format);
        const SIZE_T size = block ? GlobalSize(block) : 0;
        const char* data = size ? static_cast<const char*>(GlobalLock(block)) : nullptr;
        snapshot.blocks.emplace_back(format, data ? std::string(data, size) : std::string());
        if (data)
            GlobalUnlock(block);
    }
    CloseClipboard();
    return snapshot;
}

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

TEST_F(ClipboardKeptTest, TextTheConversionLeavesAsItIsKeepsEveryFormatAndItsOwner)
{
    const UINT html = RegisterClipboardFormatA("HTML Format");
    const UINT rtf = RegisterClipboardFormatA("Rich Text Format");
    const std::string page = "Version:0.9\r\n<html><body><b>Hello</b>, world 2024</body></html>" + Nul;
    const std::string rich = "{\\rtf1\\ansi {\\b Hello}, world 2024}" + Nul;
    // Each text differs from the one before: text that Tarvo put on the
    // clipboard itself is never converted again, whatever the rest.
    const struct {
        const char* what;
        int source, destination;
        std::vector<ClipboardBlock> blocks;
    } cases[] = {
        {"English from a browser", CodePageKoi8r, CodePageCp1251,
         {{CF_UNICODETEXT, UnicodeBytes(L"Hello, world 2024")}, {html, page}, {rtf, rich}}},
        {"English from an old program", CodePageKoi8r, CodePageCp1251,
         {{CF_TEXT, "Total: 15 items" + Nul}, {rtf, rich}, {html, page}}},
        {"Unicode text already in the destination page", CodePageCp1251, CodePageCp1251,
         {{CF_UNICODETEXT, UnicodeBytes(UnicodeGreeting)}, {html, page}, {rtf, rich}}},
        {"bytes already in the destination page, read so", CodePageCp1251, CodePageCp1251,
         {{CF_TEXT, "\xC4\xEE\xE1\xF0\xFB\xE9 \xE4\xE5\xED\xFC" + Nul}, {CF_LOCALE, std::string("\x19\x04\0\0", 4)},
          {rtf, rich}}},
        {"Unicode text, KOI8-R to itself", CodePageKoi8r, CodePageKoi8r,
         {{CF_UNICODETEXT, UnicodeBytes(L"Съешь же")}, {html, page}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Choose(c.source, c.destination);
        // The same copy with automatic conversion off shows the clipboard
        // as the program left it, with the formats the system adds.
        Command(IDM_AUTO_CONVERT);
        CopyAndWait(c.blocks);
        const Snapshot left = SnapshotNow();
        Command(IDM_AUTO_CONVERT);
        CopyAndWait(c.blocks);
        EXPECT_EQ(SnapshotNow(), left);
    }
}

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

// cp1251 bytes of an 8-bit program without a locale: a Western system
// reads them as Latin letters, so even unchanged they go back with the
// locale and the Unicode text that show them as Cyrillic.
TEST_F(ClipboardKeptTest, BytesTheSystemReadsInAnotherPageGainTheirReading)
{
    Choose(CodePageCp1251, CodePageCp1251);
    CopyAndWait({{CF_TEXT, "\xCF\xF0\xE8\xE2\xE5\xF2" + Nul}});
    EXPECT_TRUE(UnicodeTextNow() == L"Привет");
    EXPECT_EQ(GetClipboardOwner(), GetACP() == 1251 ? copier_.Handle() : MainWindow);
}

} // namespace

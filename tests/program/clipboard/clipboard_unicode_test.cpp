// Text copied by Unicode programs, and the Unicode text that goes back: on
// any system code page (this test also runs with the ANSI page 1251) no
// character the user copied turns into '?', and a Unicode program pastes
// the letters the destination code page shows.
#include <memory>

#include "child_process.h"
#include "clipboard_test_support.h"
#include "main_window.h"
#include "resource_ids.h"
#include "shell/shell_test_support.h"

namespace {

const std::string Nul(1, '\0');

// Automatic conversion on, as in the defaults; clipboard_peer.exe after
// the main window in the viewer chain tells when a change has gone by.
class ClipboardUnicodeTest : public ClipboardTest {
protected:
    void SetUp() override
    {
        ClipboardTest::SetUp();
        peer_.reset(new Peer);
        ASSERT_TRUE(peer_->Running());
        ASSERT_TRUE(StartTarvo());
        heard_ = peer_->Record().drawCount;
    }
    void Choose(int source, int destination)
    {
        Command(IDM_SOURCE_FIRST + source);
        Command(IDM_DESTINATION_FIRST + destination);
    }
    // Whether the main window took the clipboard over, once the last change
    // has reached the window after it.
    bool Converted()
    {
        EXPECT_TRUE(WaitUntil([&] { return peer_->Record().drawCount > heard_; }));
        heard_ = peer_->Record().drawCount;
        return GetClipboardOwner() == MainWindow;
    }
    std::unique_ptr<Peer> peer_;
    LONG heard_ = 0;
    CopierWindow copier_;
};

TEST_F(ClipboardUnicodeTest, UnicodeTextIsConvertedAsCp1251AndComesBackAsUnicode)
{
    const int Cp1251 = 1, Koi8r = 2;
    const struct {
        const char* what;
        int source, destination;
        std::wstring copied, unicode;  // what a Unicode program copies, and then pastes
        std::string bytes;             // CF_TEXT afterwards
    } cases[] = {
        {"KOI8-R to cp1251", Koi8r, Cp1251, L"Привет, мир", L"оПХБЕР, ЛХП",
         "\xEE\xCF\xD5\xC1\xC5\xD0, \xCB\xD5\xCF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Choose(c.source, c.destination);
        copier_.CopyUnicode(c.copied);
        ASSERT_TRUE(Converted());
        EXPECT_TRUE(UnicodeTextNow() == c.unicode);
        EXPECT_EQ(TextOf(ReadNow()), c.bytes);
    }
}

TEST_F(ClipboardUnicodeTest, BytesFromAnOldProgramComeBackAsTheLettersOfTheDestination)
{
    Choose(1, 2);  // cp1251 to KOI8-R: the locale alone would make the KOI8-R bytes cp1251 letters
    copier_.Copy("\xCF\xF0\xE8\xE2\xE5\xF2" + Nul);
    ASSERT_TRUE(Converted());
    EXPECT_EQ(TextOf(ReadNow()), "\xF0\xD2\xC9\xD7\xC5\xD4");
    EXPECT_TRUE(UnicodeTextNow() == L"Привет");
}

TEST_F(ClipboardUnicodeTest, TextThatCp1251CannotHoldIsLeftAsItWas)
{
    for (const std::wstring text : {L"Привет 日本", L"café", L"\xFEFFПривет"}) {
        copier_.CopyUnicode(text);
        EXPECT_FALSE(Converted());
        EXPECT_EQ(GetClipboardOwner(), copier_.Handle());
        EXPECT_TRUE(UnicodeTextNow() == text);
    }
}

TEST_F(ClipboardUnicodeTest, WithRepairOnGarbledTextComesBackRepairedAndCleanTextGoesTheUsualWay)
{
    SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_REPAIR_TEXT, 0);
    const struct {
        const char* what;
        std::wstring copied, unicode;
        std::string bytes;  // CF_TEXT afterwards, in the destination page (cp1251)
    } cases[] = {
        {"UTF-8 read as cp1251", L"Р”РѕР±СЂС‹Р№ РґРµРЅСЊ", L"Добрый день",
         "\xC4\xEE\xE1\xF0\xFB\xE9 \xE4\xE5\xED\xFC"},
        {"UTF-8 read as cp1252", L"Ð”Ð¾Ð±Ñ€Ñ‹Ð¹ Ð´ÐµÐ½ÑŒ", L"Добрый день",
         "\xC4\xEE\xE1\xF0\xFB\xE9 \xE4\xE5\xED\xFC"},
        {"clean: converted from KOI8-R as ever", L"Съешь же", L"яЗЕЬЭ ФЕ", "\xFF\xC7\xC5\xDC\xDD \xD4\xC5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        copier_.CopyUnicode(c.copied);
        ASSERT_TRUE(Converted());
        EXPECT_TRUE(UnicodeTextNow() == c.unicode);
        EXPECT_EQ(TextOf(ReadNow()), c.bytes);
    }
}

// The pasting program as users have it: Wine's notepad.
TEST_F(ClipboardUnicodeTest, NotepadPastesTheResult)
{
    Choose(1, 2);
    copier_.CopyUnicode(L"Привет, мир");
    ASSERT_TRUE(Converted());
    ChildProcess notepad;
    ASSERT_TRUE(notepad.Start("notepad.exe"));
    HWND edit = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<HWND> windows = VisibleWindows(notepad.id, "Notepad");
        edit = windows.empty() ? nullptr : FindWindowExW(windows[0], nullptr, L"Edit", nullptr);
        return edit != nullptr;
    }));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(edit, WM_PASTE, 0, 0, SMTO_NORMAL, WaitBudgetMs, &ignored);
    wchar_t pasted[64] = L"";
    SendMessageTimeoutW(edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(pasted), SMTO_NORMAL, WaitBudgetMs, &ignored);
    EXPECT_TRUE(std::wstring(pasted) == L"Привет, мир") << "cp1251 to KOI8-R shows the same letters";
}

} // namespace

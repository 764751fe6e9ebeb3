// "Convert Clipboard" (command 102) on text that a window of the test put
// on the clipboard, with automatic conversion off.
#include "clipboard_conversion.h"
#include "clipboard_test_support.h"
#include "code_page_tables.h"
#include "hot_keys.h"
#include "resource_ids.h"
#include "shell/shell_test_support.h"

namespace {

const std::string Nul(1, '\0');

class ConvertClipboardCommandTest : public ClipboardTest {
protected:
    void SetUp() override
    {
        ClipboardTest::SetUp();
        ASSERT_TRUE(StartTarvo());
        Command(IDM_AUTO_CONVERT);
        ASSERT_FALSE(ButtonChecked(IDM_AUTO_CONVERT));
    }
    CopierWindow copier_;
};

TEST_F(ConvertClipboardCommandTest, Koi8rTextBecomesRussianCp1251AndNothingElseIsLeft)
{
    copier_.Copy(Koi8rGreeting + Nul);
    ASSERT_EQ(TextOf(ReadNow()), Koi8rGreeting) << "not converted before the command";

    Command(IDM_CONVERT_CLIPBOARD);
    const ClipboardView view = ReadNow();
    EXPECT_EQ(OwnerOf(view), MainWindow);
    EXPECT_EQ(TextOf(view), Cp1251Greeting);
    EXPECT_TRUE(view.terminated);
    EXPECT_EQ(view.locale, 1049u);
    EXPECT_FALSE(HasFormat(view, MarkFormat()));
    for (DWORD n = 0; n < view.formatCount; ++n) {
        const DWORD format = view.formats[n];
        EXPECT_TRUE(format == CF_TEXT || format == CF_LOCALE || format == CF_OEMTEXT || format == CF_UNICODETEXT)
            << "left over: format " << format;
    }
    // The locale is what makes other programs read the bytes as Cyrillic.
    EXPECT_TRUE(UnicodeTextNow() == UnicodeGreeting);
}

TEST_F(ConvertClipboardCommandTest, ConvertNewLinesChangesLineEndsBothWays)
{
    const std::string koi8r = "\xF3\xD4\xD2\xCF\xCB\xC1\n\xD7\xD4\xCF\xD2\xC1\xD1\n";
    const std::string cp1251 = "\xD1\xF2\xF0\xEE\xEA\xE0\r\n\xE2\xF2\xEE\xF0\xE0\xFF\r\n";
    Command(IDM_CONVERT_NEWLINES);
    copier_.Copy(koi8r + Nul);
    Command(IDM_CONVERT_CLIPBOARD);
    EXPECT_EQ(TextOf(ReadNow()), cp1251);

    // And back, from the main window's own text: the command does not care
    // who put the text there.
    Command(IDM_SOURCE_FIRST + 1);
    Command(IDM_DESTINATION_FIRST + 2);
    Command(IDM_CONVERT_CLIPBOARD);
    EXPECT_EQ(TextOf(ReadNow()), koi8r);

    // And forth again: its own text's bytes are what the window converts,
    // not the letters they show, which it put beside them for Unicode
    // programs.
    Command(IDM_SOURCE_FIRST + 2);
    Command(IDM_DESTINATION_FIRST + 1);
    Command(IDM_CONVERT_CLIPBOARD);
    EXPECT_EQ(TextOf(ReadNow()), cp1251);
}

TEST_F(ConvertClipboardCommandTest, OnlyTheTextUpToItsNulIsConverted)
{
    std::string block = Koi8rGreeting + Nul + "\xF0\xD2\xC9 after the end\n";
    block.resize(64, '\xD7');
    copier_.Copy(block);
    Command(IDM_CONVERT_CLIPBOARD);
    const ClipboardView view = ReadNow();
    EXPECT_EQ(TextOf(view), Cp1251Greeting);
    EXPECT_TRUE(view.terminated);
    EXPECT_EQ(view.blockSize, 65u) << "sized for the whole block and a NUL";
}

TEST_F(ConvertClipboardCommandTest, ABlockWithoutNulIsConvertedWithinItAndGetsOne)
{
    copier_.Copy(Koi8rGreeting);
    ASSERT_FALSE(ReadNow().terminated);
    Command(IDM_CONVERT_CLIPBOARD);
    ClipboardView view = ReadNow();
    EXPECT_EQ(TextOf(view), Cp1251Greeting);
    EXPECT_TRUE(view.terminated);

    // With line ends converted the new block has room to spare, so a byte
    // read past the old block's end (the copier leaves 'X' there) would
    // show. A CR at the very end, which the converter holds back until it
    // sees the next byte, must still be written.
    Command(IDM_CONVERT_NEWLINES);
    Command(IDM_SOURCE_FIRST + 1);
    Command(IDM_DESTINATION_FIRST + 2);
    copier_.Copy(Cp1251Greeting + "\r\n" + Cp1251Greeting + "\r");
    ASSERT_FALSE(ReadNow().terminated);
    Command(IDM_CONVERT_CLIPBOARD);
    view = ReadNow();
    EXPECT_EQ(TextOf(view), Koi8rGreeting + "\n" + Koi8rGreeting + "\r");
    EXPECT_TRUE(view.terminated);
}

TEST_F(ConvertClipboardCommandTest, WithoutMemoryForTheResultTheClipboardStaysAsItWas)
{
    const SIZE_T oneMegabyte = 1 << 20;
    std::string large(oneMegabyte + oneMegabyte / 2, '\xC1');
    large.replace(0, Koi8rGreeting.size(), Koi8rGreeting);
    copier_.Copy(large + Nul);
    {
        AddressSpaceFiller filler(oneMegabyte);
        Command(IDM_CONVERT_CLIPBOARD);
    }
    ClipboardView view = ReadNow();
    EXPECT_EQ(OwnerOf(view), copier_.Handle());
    EXPECT_EQ(view.textLength, large.size());
    EXPECT_EQ(TextOf(view).substr(0, Koi8rGreeting.size()), Koi8rGreeting);
    EXPECT_TRUE(HasFormat(view, MarkFormat()));

    // With memory back, the same text converts.
    Command(IDM_CONVERT_CLIPBOARD);
    view = ReadNow();
    EXPECT_EQ(OwnerOf(view), MainWindow);
    EXPECT_EQ(TextOf(view).substr(0, Cp1251Greeting.size()), Cp1251Greeting);
}

TEST_F(ConvertClipboardCommandTest, WithDetectionTheTextsOwnPageIsTheSourceAndTheDestinationsIsLeftAlone)
{
    SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_DETECT_SOURCE, 0);
    Command(IDM_SOURCE_FIRST + CodePageCp866);  // the user's guess
    copier_.Copy(Koi8rGreeting + Nul);
    Command(IDM_CONVERT_CLIPBOARD);
    EXPECT_EQ(TextOf(ReadNow()), Cp1251Greeting);
    EXPECT_EQ(GetSourceIndex(), CodePageKoi8r) << "the toolbar shows what was detected";

    copier_.Copy(Cp1251Greeting + Nul);
    Command(IDM_CONVERT_CLIPBOARD);
    const ClipboardView view = ReadNow();
    EXPECT_EQ(OwnerOf(view), copier_.Handle()) << "already in the destination: left alone";
    EXPECT_EQ(TextOf(view), Cp1251Greeting);

    // Off again: the user's choice stands.
    SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_DETECT_SOURCE, 0);
    Command(IDM_SOURCE_FIRST + CodePageCp866);
    copier_.Copy(Koi8rGreeting + Nul);
    Command(IDM_CONVERT_CLIPBOARD);
    EXPECT_NE(TextOf(ReadNow()), Cp1251Greeting);
    EXPECT_EQ(GetSourceIndex(), CodePageCp866);
}

HANDLE WINAPI RefuseBlock(UINT, HANDLE) { return nullptr; }

TEST_F(ConvertClipboardCommandTest, TextTheClipboardRefusesAfterEmptyingGivesWayToTheOriginal)
{
    copier_.Copy(Koi8rGreeting + Nul);
    PutClipboardData = RefuseBlock;
    Command(IDM_CONVERT_CLIPBOARD);
    PutClipboardData = SetClipboardData;
    EXPECT_EQ(TextOf(ReadNow()), Koi8rGreeting);
}

TEST_F(ConvertClipboardCommandTest, TheSecondHotKeyConvertsAlsoWhileTheWindowIsInTheTray)
{
    copier_.Copy(Koi8rGreeting + Nul);
    SendMessageA(MainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_FALSE(IsWindowVisible(MainWindow));
    SendMessageA(MainWindow, WM_HOTKEY, ConvertClipboardHotKey, 0);
    EXPECT_EQ(TextOf(ReadNow()), Cp1251Greeting);
    EXPECT_FALSE(IsWindowVisible(MainWindow)) << "it stays in the tray";
}

} // namespace

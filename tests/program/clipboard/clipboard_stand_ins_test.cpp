// The clipboard's text converted into a code page without a place for some
// of its characters: they become stand-ins, and the title says how many.
#include "clipboard_test_support.h"
#include "code_page_tables.h"
#include "resource_ids.h"
#include "settings.h"
#include "shell/shell_test_support.h"

namespace {

std::string Title()
{
    char title[128] = "";
    GetWindowTextA(MainWindow, title, sizeof title);
    return title;
}

TEST_F(ClipboardTest, StandInsWrittenAreCountedInTheTitleUntilTheNextConversion)
{
    ASSERT_TRUE(StartTarvo());
    if (ButtonChecked(IDM_AUTO_CONVERT))
        Command(IDM_AUTO_CONVERT);
    if (SendMessageA(MainWindow, WM_GETPARAMETERS, 0, 0) & ParamDetectSource)
        SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_DETECT_SOURCE, 0);
    Command(IDM_SOURCE_FIRST + CodePageCp866);
    Command(IDM_DESTINATION_FIRST + CodePageCp1251);
    CopierWindow copier;

    copier.Copy(std::string("\xC9\xCD\xBB \xFC 1") + '\0');  // ╔═╗ № 1
    Command(IDM_CONVERT_CLIPBOARD);
    EXPECT_EQ(TextOf(ReadNow()), "+=+ \xB9 1");
    EXPECT_TRUE(UnicodeTextNow() == L"+=+ \x2116 1") << "the same for Unicode programs";
    EXPECT_EQ(Title(), "3 characters have no place in cp1251 and were written as stand-ins - Tarvo");

    copier.Copy(std::string("\xF4\xA6\xA0\xAA") + '\0');  // Їжак
    Command(IDM_CONVERT_CLIPBOARD);
    EXPECT_EQ(TextOf(ReadNow()), "\xAF\xE6\xE0\xEA");
    EXPECT_EQ(Title(), "Tarvo");
}

} // namespace

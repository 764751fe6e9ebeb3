// A file job cannot ask about a character the destination code page has no
// place for: it writes the stand-in and the title says afterwards how many.
#include "file_test_support.h"

#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

std::string Title()
{
    char title[128] = "";
    GetWindowTextA(MainWindow, title, sizeof title);
    return title;
}

TEST_F(FileConversionTest, StandInsWrittenAreCountedInTheTitleUntilTheNextJob)
{
    SetOverwrite(true);
    Command(IDM_SOURCE_FIRST + 0);  // from cp866 to cp1251, as set here
    if (SendMessageA(MainWindow, WM_GETPARAMETERS, 0, 0) & ParamDetectSource)
        SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_DETECT_SOURCE, 0);
    const std::string screen = folder.File("screen.txt"), letters = folder.File("letters.txt");
    // A frame has no place in cp1251; Ukrainian letters and № have.
    WriteBytes(screen, "\xC9\xCD\xBB \xF4\xA6\xA0\xAA \xFC 1\r\n\xBA\xB0");  // ╔═╗ Їжак № 1, ║░
    WriteBytes(letters, "\xF4\xF5\xF2\xF3\xF6\xF7 \xFC \xF8");                 // ЇїЄєЎў № °
    const std::string letters1251 = "\xAF\xBF\xAA\xBA\xA1\xA2 \xB9 \xB0";

    EXPECT_EQ(Convert(screen), 1);
    EXPECT_EQ(ReadBytes(screen), "+=+ \xAF\xE6\xE0\xEA \xB9 1\r\n|#");
    EXPECT_EQ(Title(), "5 characters have no place in cp1251 and were written as stand-ins - Tarvo");

    // A job without any takes the notice away.
    EXPECT_EQ(Convert(letters), 1);
    EXPECT_EQ(ReadBytes(letters), letters1251);
    EXPECT_EQ(Title(), "Tarvo");

    // Every file of a run counts, and one alone is said as one.
    WriteBytes(screen, "\xC4");  // ─
    WriteBytes(letters, "\xF4\xF5\xFC");
    DropFiles({screen, letters});
    EXPECT_EQ(ReadBytes(screen), "-");
    EXPECT_EQ(Title(), "1 character has no place in cp1251 and was written as a stand-in - Tarvo");
}

} // namespace

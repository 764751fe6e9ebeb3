// Long jobs: the window's messages are handled between blocks, where Esc
// and closing cancel the job and nothing starts a second one. Messages
// posted before a job on LongJobSize bytes are handled mid-job.
#include "file_test_support.h"

#include "file_conversion.h"
#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { PostMessageA(MainWindow, message, wParam, lParam); }
void PostEsc() { Post(WM_KEYDOWN, VK_ESCAPE); }

std::string ClipboardText(HWND owner)
{
    std::string text;
    if (!OpenClipboard(owner))
        return text;
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

std::string Title()
{
    char title[64] = "";
    GetWindowTextA(MainWindow, title, sizeof title);
    return title;
}

TEST_F(FileConversionTest, EscCancelsAnInPlaceJobLeavingTheInputAndNoTemporaryFile)
{
    SetOverwrite(true);
    const std::string input = folder.File("big.txt");
    WriteLargeFile(input, LongJobSize, Koi8Line, Koi8Line);
    PostEsc();
    EXPECT_EQ(Convert(input), 0) << "and no box";
    EXPECT_EQ(Title(), "Cancelled - Tarvo");
    EXPECT_TRUE(IsLargeFile(input, LongJobSize, Koi8Line, Koi8Line));
    EXPECT_EQ(folder.Names(), Names{"big.txt"});
}

TEST_F(FileConversionTest, EscCancelsAJobToANewFileAndLeavesTheOldFileAsItWas)
{
    const std::string input = folder.File("big.txt"), output = outputs.File("out.txt");
    WriteLargeFile(input, LongJobSize, Koi8Line, Koi8Line);
    WriteBytes(output, "old");
    // Once the job writes (beside the old file): the dialogs' own loops
    // would take Esc first.
    const Answer replaceThenEsc = [&](HWND prompt) {
        PressButton(prompt, IDYES);
        for (int waited = 0; outputs.Names().size() < 2 && waited < static_cast<int>(WaitBudgetMs); waited += 5)
            Sleep(5);
        PostEsc();
    };
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert(input, {EnterFileName(output), replaceThenEsc}, &shown), 0);
    EXPECT_EQ(shown.size(), 2u) << "the save dialog and its question only";
    EXPECT_EQ(outputs.Names(), Names{"out.txt"});
    EXPECT_EQ(ReadBytes(output), "old");
    EXPECT_TRUE(IsLargeFile(input, LongJobSize, Koi8Line, Koi8Line));
}

TEST_F(FileConversionTest, EscStopsTheRestOfARun)
{
    SetOverwrite(true);
    WriteLargeFile(folder.File("a.txt"), LongJobSize, Koi8Line, Koi8Line);
    for (const char* name : {"b.txt", "c.txt"})
        WriteBytes(folder.File(name), Koi8Line);
    PostEsc();
    const std::vector<BoxText> shown =
        AnswerDialogs({}, [&] { DropFiles({folder.File("a.txt"), folder.File("b.txt"), folder.File("c.txt")}); });
    EXPECT_EQ(shown.size(), 0u);
    EXPECT_TRUE(IsLargeFile(folder.File("a.txt"), LongJobSize, Koi8Line, Koi8Line));
    EXPECT_EQ(ReadBytes(folder.File("b.txt")), Koi8Line);
    EXPECT_EQ(ReadBytes(folder.File("c.txt")), Koi8Line);
    EXPECT_EQ(folder.Names(), (Names{"a.txt", "b.txt", "c.txt"}));
}

// With the preview shown, a change of code page or option refreshes it,
// which would select another conversion under the job's feet; so would a
// clipboard conversion.
TEST_F(FileConversionTest, DuringAJobNoSecondJobStartsAndChangedSettingsWaitForTheNext)
{
    SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_PREVIEW, 0);
    ASSERT_TRUE(Settings.Parameters & ParamPreview);
    AskConfirmation = 0;
    SetOverwrite(true);
    Command(IDM_AUTO_CONVERT);  // off: the clipboard keeps its text unless told
    const std::string input = folder.File("big.txt"), other = folder.File("other.txt");
    WriteLargeFile(input, LongJobSize, Koi8Line, Koi8Line);
    WriteBytes(other, Koi8Line);
    HWND copier = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenClipboard(copier));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, Koi8Line.size() + 1);
    lstrcpyA(static_cast<char*>(GlobalLock(block)), Koi8Line.c_str());
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
    PumpMessages(50);

    Post(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({other})));
    Post(WM_COMMAND, IDM_CONVERT_FILES);
    Post(WM_COMMAND, IDM_CONVERT_CLIPBOARD);
    Post(WM_COMMAND, IDM_DESTINATION_FIRST + 0);
    Post(WM_COMMAND, IDM_CONVERT_NEWLINES);
    EXPECT_EQ(Convert(input), 1) << "and no open dialog";
    EXPECT_EQ(Title(), "Tarvo");
    EXPECT_TRUE(IsLargeFile(input, LongJobSize, Cp1251Line, Cp1251Line)) << "as set when the job began";
    EXPECT_EQ(ReadBytes(other), Koi8Line);
    EXPECT_EQ(ClipboardText(copier), Koi8Line);
    DestroyWindow(copier);
    EXPECT_EQ(GetDestinationIndex(), 0) << "the change itself was made";
}

TEST_F(FileConversionTest, ClosingDuringAJobCancelsItThenClosesAndSavesTheSettings)
{
    SetOverwrite(true);
    const std::string input = folder.File("big.txt");
    WriteLargeFile(input, LongJobSize, Koi8Line, Koi8Line);
    Post(WM_COMMAND, IDM_CONVERT_NEWLINES);
    Post(WM_CLOSE);
    HWND window = MainWindow;
    EXPECT_EQ(Convert(input), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsLargeFile(input, LongJobSize, Koi8Line, Koi8Line));
    EXPECT_EQ(folder.Names(), Names{"big.txt"});
    StopTarvo();  // the loop to its WM_QUIT, and the saving that follows it in WinMain
    DWORD stored = 0, size = sizeof stored;
    RegGetValueA(HKEY_CURRENT_USER, SettingsKey, "Parameters", RRF_RT_REG_DWORD, nullptr, &stored, &size);
    EXPECT_TRUE(stored & ParamConvertNewlines);
}

} // namespace

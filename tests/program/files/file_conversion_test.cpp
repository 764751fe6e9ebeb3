// Files converted through the real window: in place, to a name chosen in
// the save dialog, chosen in the open dialog, and dropped.
#include "file_test_support.h"

#include "file_conversion.h"
#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"
#include "toolbars.h"

namespace {

const char Question[] = "Is conversion parameters correct?\n(Cancel =Yes+<dont ask for next file(s)>)";
const int FilterBox = 1136;  // the file dialogs' filter combo box

void SetFolder(wchar_t* settingsPath, const std::string& folder)
{
    lstrcpynW(settingsPath, Wide(folder).c_str(), SettingsPathSize);
}

int FilterIndex() { return (Settings.Parameters & ParamFilterIndexMask) >> ParamFilterIndexShift; }

// Picks a filter (0 "Text files", 1 "All files") and enters name; the
// filter the dialog started with goes to startFilter.
Answer ChooseFilterAndName(int filter, const std::string& name, LRESULT* startFilter)
{
    return [=](HWND dialog) {
        HWND box = GetDlgItem(dialog, FilterBox);
        *startFilter = SendMessageA(box, CB_GETCURSEL, 0, 0);
        SendMessageA(box, CB_SETCURSEL, filter, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(FilterBox, CBN_SELENDOK), reinterpret_cast<LPARAM>(box));
        EnterFileName(name)(dialog);
    };
}

TEST_F(FileConversionTest, InPlaceConvertsEveryBlockWhateverTheSize)
{
    SetOverwrite(true);
    const std::string path = folder.File("in.txt");
    for (size_t size : {0, 1, 511, 512, 513, 1023, 1024, 1025, 5000}) {
        SCOPED_TRACE(size);
        WriteBytes(path, Repeat(Koi8Line, size));
        EXPECT_EQ(Convert(path), 1);
        EXPECT_EQ(ReadBytes(path), Repeat(Cp1251Line, size));
        EXPECT_EQ(folder.Names(), Names{"in.txt"});
    }
}

TEST_F(FileConversionTest, NulBytesStayAndALineEndSplitBetweenBlocksStaysOne)
{
    SetOverwrite(true);
    Command(IDM_CONVERT_NEWLINES);
    const std::string crLfLine = Cp1251Line.substr(0, Cp1251Line.size() - 1) + "\r\n";
    const std::string head = std::string(100, 'a') + '\0' + Koi8Line;
    const std::string filler(511 - head.size(), 'b');  // puts the CR at 511, its LF at 512
    const std::string input = head + filler + "\r\n" + Koi8Line + "z";
    const std::string path = folder.File("in.txt");
    WriteBytes(path, input);
    EXPECT_EQ(Convert(path), 1);
    const std::string converted = std::string(100, 'a') + '\0' + crLfLine + filler + "\r\n" + crLfLine + "z";
    EXPECT_EQ(ReadBytes(path), converted);

    // Back from cp1251 to KOI8-R, set through the code page commands: every
    // CR LF becomes LF, the one across the blocks too.
    Command(IDM_SOURCE_FIRST + 1);
    Command(IDM_DESTINATION_FIRST + 2);
    EXPECT_EQ(Convert(path), 1);
    EXPECT_EQ(ReadBytes(path), head + filler + "\n" + Koi8Line + "z");
}

TEST_F(FileConversionTest, WithDetectionAFileIsConvertedFromThePageItIsIn)
{
    SetOverwrite(true);
    SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_DETECT_SOURCE, 0);
    Command(IDM_SOURCE_FIRST + 0);  // the user's guess: cp866
    const std::string path = folder.File("in.txt");
    WriteBytes(path, Repeat(Koi8Line, 1000));
    EXPECT_EQ(Convert(path), 1);
    EXPECT_EQ(ReadBytes(path), Repeat(Cp1251Line, 1000));
    EXPECT_EQ(GetSourceIndex(), 2) << "KOI8-R, as the toolbar now shows";
}

TEST_F(FileConversionTest, ACrThatEndsTheFileSurvivesStrippingCrs)
{
    SetOverwrite(true);
    Command(IDM_CONVERT_NEWLINES);
    Command(IDM_SOURCE_FIRST + 1);  // cp1251 to KOI8-R: CR LF becomes LF
    Command(IDM_DESTINATION_FIRST + 2);
    const std::string path = folder.File("in.txt");
    const struct {
        std::string input, expected;
    } cases[] = {
        {"a\r", "a\r"},  // an old Macintosh line end
        {"a\r\n\r", "a\n\r"},  // a CR LF cut short
        {"\r\r\r", "\r"},
        {std::string(511, 'x') + "\r", std::string(511, 'x') + "\r"},
        {std::string(512, 'x') + "\r", std::string(512, 'x') + "\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.size());
        WriteBytes(path, c.input);
        EXPECT_EQ(Convert(path), 1);
        EXPECT_EQ(ReadBytes(path), c.expected);
    }
}

// A pipe's writer that sends its text in pieces shorter than a block, with
// pauses, so that every read comes back short.
DWORD WINAPI WriteInPieces(void* parameter)
{
    HANDLE pipe = parameter;
    ConnectNamedPipe(pipe, nullptr);
    for (int piece = 0; piece < 8; ++piece) {
        DWORD written;
        WriteFile(pipe, Koi8Line.data(), static_cast<DWORD>(Koi8Line.size()), &written, nullptr);
        Sleep(20);
    }
    // Closed, not disconnected: the reader gets what is left, then the end.
    FlushFileBuffers(pipe);
    CloseHandle(pipe);
    return 0;
}

TEST_F(FileConversionTest, ShortReadsFromAPipeAreNotTheEnd)
{
    const char name[] = "\\\\.\\pipe\\tarvo-short-reads";
    HANDLE pipe = CreateNamedPipeA(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    HANDLE writer = CreateThread(nullptr, 0, WriteInPieces, pipe, 0, nullptr);
    const std::string output = folder.File("out.txt");
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert(name, {EnterFileName(output), Press(IDOK)}, &shown), 1);
    EXPECT_EQ(shown.size(), 1u) << "the save dialog, and no error";
    WaitForSingleObject(writer, WaitBudgetMs);
    CloseHandle(writer);
    EXPECT_EQ(ReadBytes(output), Repeat(Cp1251Line, 8 * Cp1251Line.size()));
}

TEST_F(FileConversionTest, SaveDialogWritesANewFileInTheFolderItStartsIn)
{
    const std::string input = folder.File("in.txt");
    WriteBytes(input, Koi8Line);

    // A bare name lands in the folder the dialog starts in: DstPath...
    SetFolder(Settings.DstPath, outputs.Path());
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert(input, {EnterFileName("out.txt")}, &shown), 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Save \"in.txt\" as...");
    EXPECT_EQ(ReadBytes(outputs.File("out.txt")), Cp1251Line);
    EXPECT_EQ(ReadBytes(input), Koi8Line);

    // ...or SrcPath with "In/Out paths are same"; DstPath follows the choice.
    Settings.Parameters |= ParamSamePaths;
    SetFolder(Settings.SrcPath, folder.Path());
    EXPECT_EQ(Convert(input, {EnterFileName("out2.txt")}, &shown), 1);
    EXPECT_EQ(ReadBytes(folder.File("out2.txt")), Cp1251Line);
    EXPECT_EQ(Settings.DstPath, Wide(folder.Path()));

    // Cancelled: nothing written, DstPath kept.
    SetFolder(Settings.DstPath, outputs.Path());
    EXPECT_EQ(Convert(input, {Press(IDCANCEL)}, &shown), 0);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(Settings.DstPath, Wide(outputs.Path()));
    EXPECT_EQ(folder.Names(), (Names{"in.txt", "out2.txt"}));
}

TEST_F(FileConversionTest, SaveDialogGivenTheInputsOwnNameConvertsInPlace)
{
    const std::string input = folder.File("in.txt");
    WriteBytes(input, Koi8Line);
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert(input, {EnterFileName(folder.File("IN.TXT")), Press(IDYES)}, &shown), 1);
    EXPECT_EQ(shown.size(), 2u) << "the dialog's own overwrite prompt";
    EXPECT_EQ(ReadBytes(input), Cp1251Line);
    EXPECT_EQ(folder.Names(), Names{"in.txt"});
    EXPECT_EQ(Settings.DstPath, Wide(folder.Path()));
}

TEST_F(FileConversionTest, OpenDialogConvertsOneFileAndKeepsItsFolderAndFilter)
{
    SetOverwrite(true);
    AskConfirmation = 0;
    WriteBytes(folder.File("a.txt"), Koi8Line);
    SetFolder(Settings.SrcPath, folder.Path());
    LRESULT startFilter = -1;
    const std::vector<BoxText> shown =
        AnswerDialogs({ChooseFilterAndName(1, "a.txt", &startFilter)}, [] { OpenAndConvertFiles(MainWindow); });
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(startFilter, 0);
    EXPECT_EQ(ReadBytes(folder.File("a.txt")), Cp1251Line);
    EXPECT_EQ(Settings.SrcPath, Wide(folder.Path()));
    EXPECT_EQ(AskConfirmation, 1);
    EXPECT_EQ(FilterIndex(), 2);

    // The save dialog starts with that filter; its own choice is forgotten.
    SetOverwrite(false);
    std::vector<BoxText> saveShown;
    const Answer chooseTextFiles = ChooseFilterAndName(0, folder.File("b.txt"), &startFilter);
    EXPECT_EQ(Convert(folder.File("a.txt"), {chooseTextFiles}, &saveShown), 1);
    EXPECT_EQ(startFilter, 1);
    EXPECT_EQ(FilterIndex(), 2);
}

TEST_F(FileConversionTest, OpenDialogRunOverSeveralFilesStopsAtTheFirstThatFails)
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        WriteBytes(folder.File(name), Koi8Line);
    SetFolder(Settings.SrcPath, folder.Path());
    const std::vector<BoxText> shown = AnswerDialogs(
        {EnterFileName("\"a.txt\" \"b.txt\" \"c.txt\""), EnterFileName(outputs.File("a.txt")), Press(IDCANCEL)},
        [] { OpenAndConvertFiles(MainWindow); });
    ASSERT_EQ(shown.size(), 3u) << "no save dialog for c.txt";
    EXPECT_EQ(shown[1].title, "Save \"a.txt\" as...");
    EXPECT_EQ(shown[2].title, "Save \"b.txt\" as...");
    EXPECT_EQ(ReadBytes(outputs.File("a.txt")), Cp1251Line);
    EXPECT_EQ(outputs.Names(), Names{"a.txt"});
    EXPECT_EQ(ReadBytes(folder.File("b.txt")), Koi8Line);
    EXPECT_EQ(ReadBytes(folder.File("c.txt")), Koi8Line);
    EXPECT_EQ(Settings.SrcPath, Wide(folder.Path()));
}

TEST_F(FileConversionTest, WithThePreviewShownAnInPlaceConversionIsAskedFirst)
{
    ShowSourcePane();
    SetOverwrite(true);
    const std::string input = folder.File("in.txt");
    std::wstring paneText;
    const Answer readPaneThenYes = [&](HWND box) {
        wchar_t text[1024] = L"";
        GetWindowTextW(pane, text, sizeof text / sizeof *text);
        paneText = text;
        PressButton(box, IDYES);
    };

    // The pane shows at most 510 characters of the file, read in the
    // source code page (KOI8-R)...
    const std::string longText = Repeat(Koi8Line, 600);
    WriteBytes(input, longText);
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert(input, {readPaneThenYes}, &shown), 1);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, input);
    EXPECT_EQ(shown[0].text, Question);
    std::wstring expected(510, L'\0');
    expected.resize(MultiByteToWideChar(20866, 0, longText.data(), 510, &expected[0], 510));
    EXPECT_TRUE(paneText == expected);
    EXPECT_EQ(ReadBytes(input), Repeat(Cp1251Line, 600));

    // ...nothing of the longer file before, and nothing from a NUL on.
    WriteBytes(input, "abc");
    EXPECT_EQ(Convert(input, {readPaneThenYes}, &shown), 1);
    EXPECT_TRUE(paneText == L"abc");
    WriteBytes(input, std::string("ab\0cd", 5));
    EXPECT_EQ(Convert(input, {readPaneThenYes}, &shown), 1);
    EXPECT_TRUE(paneText == L"ab");

    // No: the input stays, and so does no temporary file.
    WriteBytes(input, Koi8Line);
    EXPECT_EQ(Convert(input, {Press(IDNO)}, &shown), 0);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(ReadBytes(input), Koi8Line);
    EXPECT_EQ(folder.Names(), Names{"in.txt"});
}

TEST_F(FileConversionTest, CancelToTheQuestionStopsAskingForTheRunAndLaterDrops)
{
    ShowSourcePane();
    SetOverwrite(true);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        WriteBytes(folder.File(name), Koi8Line);
    std::vector<BoxText> shown = AnswerDialogs({Press(IDC_YES_ASK_NO_MORE)},
                                               [&] { DropFiles({folder.File("a.txt"), folder.File("b.txt")}); });
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(AskConfirmation, 0);
    shown = AnswerDialogs({}, [&] { DropFiles({folder.File("c.txt")}); });
    EXPECT_EQ(shown.size(), 0u);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        EXPECT_EQ(ReadBytes(folder.File(name)), Cp1251Line) << name;
    EXPECT_EQ(folder.Names(), (Names{"a.txt", "b.txt", "c.txt"}));
}

// Put away with Esc or its close box, the question is answered No: the
// file stays, and the next one is asked about again.
TEST_F(FileConversionTest, EscOrTheCloseBoxToTheQuestionConvertNothingAndItIsAskedAgain)
{
    ShowSourcePane();
    SetOverwrite(true);
    const struct {
        const char* what;
        Answer answer;
    } cases[] = {
        // To the button that has the focus, which the dialog's loop hands
        // on to the dialog.
        {"Esc", [](HWND box) { PostMessageA(GetDlgItem(box, IDYES), WM_KEYDOWN, VK_ESCAPE, 0); }},
        {"close box", [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"No", Press(IDNO)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"a.txt", "b.txt"})
            WriteBytes(folder.File(name), Koi8Line);
        std::vector<BoxText> shown =
            AnswerDialogs({c.answer}, [&] { DropFiles({folder.File("a.txt"), folder.File("b.txt")}); });
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, Question);
        EXPECT_EQ(ReadBytes(folder.File("a.txt")), Koi8Line);
        EXPECT_EQ(ReadBytes(folder.File("b.txt")), Koi8Line) << "the run ends there";
        EXPECT_EQ(AskConfirmation, 1);
        shown = AnswerDialogs({Press(IDYES)}, [&] { DropFiles({folder.File("b.txt")}); });
        EXPECT_EQ(shown.size(), 1u) << "asked again";
        EXPECT_EQ(ReadBytes(folder.File("b.txt")), Cp1251Line);
        EXPECT_EQ(folder.Names(), (Names{"a.txt", "b.txt"}));
    }
}

TEST_F(FileConversionTest, DropConvertsEachFileUntilOneCannotBeRead)
{
    SetOverwrite(true);
    for (const char* name : {"a.txt", "c.txt"})
        WriteBytes(folder.File(name), Koi8Line);
    const std::string subfolder = folder.File("sub");
    CreateDirectoryA(subfolder.c_str(), nullptr);
    std::vector<BoxText> shown = AnswerDialogs(
        {Press(IDOK)}, [&] { DropFiles({folder.File("a.txt"), subfolder, folder.File("c.txt")}); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Can't open for read");
    EXPECT_EQ(shown[0].text, subfolder);
    EXPECT_EQ(ReadBytes(folder.File("a.txt")), Cp1251Line);
    EXPECT_EQ(ReadBytes(folder.File("c.txt")), Koi8Line);
    EXPECT_STREQ(Settings.SrcPath, L"") << "drops leave SrcPath alone";

    // A path longer than the buffers is named whole, not cut.
    const std::string longPath = folder.File(std::string(600, 'x'));
    shown = AnswerDialogs({Press(IDOK)}, [&] { DropFiles({longPath, folder.File("c.txt")}); });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Can't open for read");
    EXPECT_EQ(shown[0].text, longPath);
    EXPECT_EQ(ReadBytes(folder.File("c.txt")), Koi8Line);
    RemoveDirectoryA(subfolder.c_str());
}

TEST_F(FileConversionTest, WhileAnUnownedSaveDialogIsOpenCommandsRunButNoSecondJob)
{
    Settings.Parameters |= ParamPreview;  // the save dialog then has no owner
    const std::string input = folder.File("in.txt"), other = folder.File("other.txt");
    WriteBytes(input, Koi8Line);
    WriteBytes(other, Koi8Line);
    HWND owner = MainWindow;
    const Answer meanwhile = [&](HWND dialog) {
        owner = GetWindow(dialog, GW_OWNER);
        const auto send = [](UINT message, WPARAM wParam) {
            DWORD_PTR result = 0;
            SendMessageTimeoutA(MainWindow, message, wParam, 0, SMTO_NORMAL, 3000, &result);
        };
        // In place a second job would need no dialog and convert at once.
        send(WM_COMMAND, IDM_OVERWRITE_INPUT);
        send(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({other})));
        send(WM_COMMAND, IDM_OVERWRITE_INPUT);
        send(WM_COMMAND, IDM_DESTINATION_FIRST + 0);  // cp866, after the job began
        EnterFileName(folder.File("out.txt"))(dialog);
    };
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert(input, {meanwhile}, &shown), 1);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(ReadBytes(folder.File("out.txt")), Cp866Line);
    EXPECT_EQ(ReadBytes(other), Koi8Line);
}

} // namespace

// Jobs that cannot finish: each tells the user, returns 0, and leaves the
// input as it was with no temporary file beside it.
#include "file_test_support.h"

#include "settings.h"

namespace {

// Opens path as another program would, for reading with the given sharing.
HANDLE Hold(const std::string& path, DWORD share)
{
    return CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Another program's look at a file: over after 300 ms.
DWORD WINAPI CloseSoon(LPVOID file)
{
    Sleep(300);
    CloseHandle(static_cast<HANDLE>(file));
    return 0;
}

void ExpectOneBox(const std::vector<BoxText>& shown, const std::string& title, const std::string& text)
{
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, title);
    EXPECT_EQ(shown[0].text, text);
}

TEST_F(FileConversionTest, InPlaceTheInputIsKeptWhenItCannotBeReadOrReplaced)
{
    SetOverwrite(true);
    const std::string input = folder.File("in.txt");
    struct Case {
        const char* what;
        DWORD heldShare;  // how the test holds the input open; ~0 = not at all
        bool readOnly;
        const char* title;
    };
    const Case cases[] = {
        {"read-only", ~0u, true, "Can't replace"},
        {"in use", FILE_SHARE_READ, false, "Can't replace"},
        {"in use, deletable", FILE_SHARE_READ | FILE_SHARE_DELETE, false, "Can't replace"},
        {"locked", 0, false, "Can't open for read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(input, Koi8Line);
        SetFileAttributesA(input.c_str(), c.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        HANDLE held = c.heldShare == ~0u ? INVALID_HANDLE_VALUE : Hold(input, c.heldShare);
        std::vector<BoxText> shown;
        EXPECT_EQ(Convert(input, {Press(IDOK)}, &shown), 0);
        ExpectOneBox(shown, c.title, input);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        SetFileAttributesA(input.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadBytes(input), Koi8Line);
        EXPECT_EQ(folder.Names(), Names{"in.txt"});
    }
}

// A virus scanner or an indexer that looks into the file for a moment as
// the job ends is waited out; the file is replaced all the same.
TEST_F(FileConversionTest, InPlaceAFileOpenForAMomentIsReplacedWhenItIsFree)
{
    SetOverwrite(true);
    const std::string input = folder.File("in.txt");
    WriteBytes(input, Koi8Line);
    HANDLE held = Hold(input, FILE_SHARE_READ | FILE_SHARE_DELETE);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    // The look ends 300 ms from now: long after a job of a few bytes has
    // come to replacing the file.
    HANDLE letGo = CreateThread(nullptr, 0, CloseSoon, held, 0, nullptr);
    ASSERT_TRUE(letGo);
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert(input, {}, &shown), 1);
    for (const BoxText& box : shown)
        ADD_FAILURE() << box.title << ": " << box.text;
    WaitForSingleObject(letGo, INFINITE);
    CloseHandle(letGo);
    EXPECT_NE(ReadBytes(input), Koi8Line);
    EXPECT_EQ(folder.Names(), Names{"in.txt"});
}

TEST_F(FileConversionTest, InPlaceAReadOnlyInputIsRefusedBeforeTheQuestion)
{
    ShowSourcePane();
    SetOverwrite(true);
    const std::string input = folder.File("in.txt");
    WriteBytes(input, Koi8Line);
    SetFileAttributesA(input.c_str(), FILE_ATTRIBUTE_READONLY);
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert(input, {Press(IDOK), Press(IDYES)}, &shown), 0);
    SetFileAttributesA(input.c_str(), FILE_ATTRIBUTE_NORMAL);
    ExpectOneBox(shown, "Can't replace", input);
    EXPECT_EQ(ReadBytes(input), Koi8Line);
    EXPECT_EQ(folder.Names(), Names{"in.txt"});
}

TEST_F(FileConversionTest, InPlaceATemporaryFileThatCannotBeWrittenIsRemoved)
{
    ShowSourcePane();  // for the question, during which the test takes the file
    SetOverwrite(true);
    const std::string input = folder.File("in.txt");
    WriteBytes(input, Koi8Line);
    std::string temporary;
    HANDLE held = INVALID_HANDLE_VALUE;
    const Answer holdTemporaryThenYes = [&](HWND question) {
        for (const std::string& name : folder.Names())
            if (name != "in.txt")
                temporary = folder.File(name);
        held = Hold(temporary, FILE_SHARE_DELETE);
        PressButton(question, IDYES);
    };
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert(input, {holdTemporaryThenYes, Press(IDOK)}, &shown), 0);
    CloseHandle(held);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].title, "Can't open for write");
    EXPECT_EQ(shown[1].text, temporary);
    EXPECT_EQ(lstrcmpiA(temporary.substr(folder.Path().size() + 1, 3).c_str(), "trv"), 0) << temporary;
    EXPECT_EQ(ReadBytes(input), Koi8Line);
    EXPECT_EQ(folder.Names(), Names{"in.txt"});
}

TEST_F(FileConversionTest, InPlaceNothingIsConvertedWhereNoTemporaryFileCanBeMade)
{
    // Not even root may create files in /proc; the file itself is writable.
    SetOverwrite(true);
    std::vector<BoxText> shown;
    EXPECT_EQ(Convert("Z:\\proc\\sys\\kernel\\hostname", {Press(IDOK)}, &shown), 0);
    ExpectOneBox(shown, "Can't create temporary file", "Z:\\proc\\sys\\kernel");
}

TEST_F(FileConversionTest, ToANewFileFailuresAreReportedAndTheInputKept)
{
    const std::string input = folder.File("in.txt"), output = folder.File("out.txt");
    WriteBytes(input, Koi8Line);
    std::vector<BoxText> shown;

    // An output someone holds open.
    WriteBytes(output, "");
    HANDLE held = Hold(output, 0);
    EXPECT_EQ(Convert(input, {EnterFileName(output), Press(IDYES), Press(IDOK)}, &shown), 0);
    CloseHandle(held);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].title, "Can't open for write");
    EXPECT_EQ(shown[2].text, output);
    EXPECT_EQ(ReadBytes(input), Koi8Line);

    // An input that opens but cannot be read.
    const std::string unreadable = "Z:\\proc\\self\\mem";
    EXPECT_EQ(Convert(unreadable, {EnterFileName(output), Press(IDYES), Press(IDOK)}, &shown), 0);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].title, "Can't read");
    EXPECT_EQ(shown[2].text, unreadable);
}

} // namespace

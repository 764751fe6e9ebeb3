// The fault matrix, files: a job meets a fault of the disk, of the file or
// of its path. Whatever happens, the input is there as it was (or correctly
// converted), nothing is left beside it, and the program goes on.
#include "fault_matrix.h"
#include "file_test_support.h"


#include "file_conversion.h"
#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

class FileFaults;

struct FileFault {
    const char* fault;
    const char* userSees;  // the box's title or text at the end; "" for none
    bool needsSmallDisk;
    // Arranges the fault, runs the job and checks what is left; returns
    // what the job showed.
    std::vector<BoxText> (FileFaults::*run)();
};

void PrintTo(const FileFault& row, std::ostream* stream) { *stream << row.fault; }

HANDLE Hold(const std::string& path, DWORD share)
{
    return CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Paths longer than the ANSI calls take, made and read through the wide
// calls' long form.
std::wstring LongForm(const std::string& path) { return L"\\\\?\\" + std::wstring(path.begin(), path.end()); }

void WriteLong(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The files and folders in a folder of any length.
int EntriesIn(const std::string& directory)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((LongForm(directory) + L"\\*").c_str(), &found);
    int count = 0;
    if (search == INVALID_HANDLE_VALUE)
        return count;
    do
        count += lstrcmpW(found.cFileName, L".") != 0 && lstrcmpW(found.cFileName, L"..") != 0;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

// count bytes from offset; fewer where the file ends.
std::string ReadLong(const std::string& path, unsigned long long offset = 0, DWORD count = 1 << 20)
{
    HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    std::string bytes(count, '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], count, &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

const unsigned long long FourGiB = 1ull << 32;

bool SetCreationTime(const std::string& path, const FILETIME& time)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool set = SetFileTime(file, &time, nullptr, nullptr) != 0;
    CloseHandle(file);
    return set;
}

bool CreatedAt(const std::string& path, const FILETIME& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return CompareFileTime(&data.ftCreationTime, &time) == 0;
}

// cp1251 prose with the typography that another code page's reading of it
// would change: quotes, a dash, a CR LF.
const std::string Cp1251Typography =
    "\xAB\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 "
    "\xF4\xF0\xE0\xED\xF6\xF3\xE7\xF1\xEA\xE8\xF5 \xE1\xF3\xEB\xEE\xEA\xBB \x97 \xF1\xEA\xE0\xE7\xE0\xEB "
    "\xEE\xED, \x84\xE4\xE0 \xE2\xFB\xEF\xE5\xE9 \xF7\xE0\xFE\x93.\r\n";
// The same prose in KOI8-R, with LF line ends.
const std::string Koi8Prose =
    "\xF3\xDF\xC5\xDB\xD8 \xD6\xC5 \xC5\xDD\xA3 \xDC\xD4\xC9\xC8 \xCD\xD1\xC7\xCB\xC9\xC8 "
    "\xC6\xD2\xC1\xCE\xC3\xD5\xDA\xD3\xCB\xC9\xC8 \xC2\xD5\xCC\xCF\xCB, \xC4\xC1 \xD7\xD9\xD0\xC5\xCA "
    "\xDE\xC1\xC0.\n";

FILETIME LastWritten(const std::string& path)
{
    FILETIME written = {};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    return written;
}

// A sparse file of size bytes whose every 256 KiB block ends in a CR: a
// job that strips CRs holds one back whenever it stops between blocks.
void WriteCrAtEveryBlockEnd(const std::string& path, ULONGLONG size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    for (ULONGLONG end = 256 * 1024; end <= size; end += 256 * 1024) {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(end - 1);
        SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
        DWORD written = 0;
        WriteFile(file, "\r", 1, &written, nullptr);
    }
    CloseHandle(file);
}

class FileFaults : public FileConversionTest, public testing::WithParamInterface<FileFault> {
public:
    // A row that this system cannot show: it says why and is not counted.
    std::vector<BoxText> Skip(const char* why)
    {
        skipped = why;
        return {};
    }
    std::string skipped;

    // Runs the job and checks its result; the dialogs it shows are
    // answered in turn.
    std::vector<BoxText> Job(const std::string& path, const std::vector<Answer>& answers, int expected)
    {
        std::vector<BoxText> shown;
        EXPECT_EQ(Convert(path, answers, &shown), expected);
        return shown;
    }

    std::vector<BoxText> DiskFullNewFile()
    {
        const std::string input = folder.File("in.txt"), output = SmallDisk() + "\\out.txt";
        const std::string text = Repeat(Koi8Line, 1 << 20);
        WriteBytes(input, text);
        const std::vector<BoxText> shown = Job(input, {EnterFileName(output), Press(IDOK)}, 0);
        ExpectKept("input", text, ReadBytes(input));
        DeleteFileA(output.c_str());
        return shown;
    }

    std::vector<BoxText> DiskFullInPlace()
    {
        SetOverwrite(true);
        const std::string disk = SmallDisk(), input = disk + "\\in.txt", filler = disk + "\\fill";
        const std::string text = Repeat(Koi8Line, 128 * 1024);
        WriteBytes(input, text);
        ULARGE_INTEGER free = {};
        GetDiskFreeSpaceExA((disk + "\\").c_str(), &free, nullptr, nullptr);
        WriteBytes(filler, std::string(static_cast<size_t>(free.QuadPart) - 64 * 1024, 'f'));
        const std::vector<BoxText> shown = Job(input, {Press(IDOK)}, 0);
        ExpectKept("input", text, ReadBytes(input));
        EXPECT_EQ(NamesIn(disk), (Names{"fill", "in.txt"}));
        DeleteFileA(input.c_str());
        DeleteFileA(filler.c_str());
        return shown;
    }

    std::vector<BoxText> ReadOnlyInput()
    {
        SetOverwrite(true);
        const std::string input = folder.File("in.txt");
        WriteBytes(input, Koi8Line);
        SetFileAttributesA(input.c_str(), FILE_ATTRIBUTE_READONLY);
        const std::vector<BoxText> shown = Job(input, {Press(IDOK)}, 0);
        ExpectKept("input", Koi8Line, ReadBytes(input));
        EXPECT_EQ(folder.Names(), Names{"in.txt"});
        return shown;
    }

    std::vector<BoxText> ReadOnlyOutput()
    {
        const std::string input = folder.File("in.txt"), output = folder.File("out.txt");
        WriteBytes(input, Koi8Line);
        WriteBytes(output, "kept");
        SetFileAttributesA(output.c_str(), FILE_ATTRIBUTE_READONLY);
        const std::vector<BoxText> shown = Job(input, {EnterFileName(output), Press(IDYES), Press(IDOK)}, 0);
        ExpectKept("input", Koi8Line, ReadBytes(input));
        ExpectKept("the read-only output", "kept", ReadBytes(output));
        EXPECT_EQ(folder.Names(), (Names{"in.txt", "out.txt"}));
        return shown;
    }

    std::vector<BoxText> LockedInput()
    {
        SetOverwrite(true);
        const std::string input = folder.File("in.txt");
        WriteBytes(input, Koi8Line);
        HANDLE held = Hold(input, 0);
        const std::vector<BoxText> shown = Job(input, {Press(IDOK)}, 0);
        CloseHandle(held);
        ExpectKept("input", Koi8Line, ReadBytes(input));
        EXPECT_EQ(folder.Names(), Names{"in.txt"});
        return shown;
    }

    // Two files chosen at once; the second goes while the first one's save
    // dialog is open.
    std::vector<BoxText> InputDeletedAfterTheDialog()
    {
        lstrcpynW(Settings.SrcPath, Wide(folder.Path()).c_str(), SettingsPathSize);
        WriteBytes(folder.File("a.txt"), Koi8Line);
        WriteBytes(folder.File("b.txt"), Koi8Line);
        const Answer deleteThenSave = [&](HWND save) {
            DeleteFileA(folder.File("b.txt").c_str());
            EnterFileName(outputs.File("a.txt"))(save);
        };
        const std::vector<BoxText> shown = AnswerDialogs(
            {EnterFileName("\"a.txt\" \"b.txt\""), deleteThenSave, Press(IDOK)}, [&] { Command(IDM_CONVERT_FILES); });
        ExpectKept("the first file, converted", Cp1251Line, ReadBytes(outputs.File("a.txt")));
        EXPECT_EQ(folder.Names(), Names{"a.txt"});
        return shown;
    }

    std::vector<BoxText> FolderDropped()
    {
        SetOverwrite(true);
        const std::string subfolder = folder.File("sub"), after = folder.File("after.txt");
        CreateDirectoryA(subfolder.c_str(), nullptr);
        WriteBytes(after, Koi8Line);
        const std::vector<BoxText> shown = AnswerDialogs({Press(IDOK)}, [&] { DropFiles({subfolder, after}); });
        RemoveDirectoryA(subfolder.c_str());
        ExpectKept("the file after the folder, not reached", Koi8Line, ReadBytes(after));
        return shown;
    }

    // A dropped file whose full path is length characters long, in folders
    // of 200 characters where it is longer than a name may be.
    std::vector<BoxText> PathOfLength(size_t length, int expected)
    {
        SetOverwrite(true);
        std::string directory = folder.Path();
        std::vector<std::string> made;
        while (length - directory.size() > 240) {
            directory += "\\" + std::string(200, 'd');
            CreateDirectoryW(LongForm(directory).c_str(), nullptr);
            made.push_back(directory);
        }
        const std::string path = directory + "\\" + std::string(length - directory.size() - 5, 'n') + ".txt";
        WriteLong(path, Koi8Line);
        std::vector<BoxText> shown =
            AnswerDialogs({Press(IDOK)}, [&] { EXPECT_EQ(ConvertFile(MainWindow, Wide(path)), expected); });
        ExpectKept("the file", expected ? Cp1251Line : Koi8Line, ReadLong(path));
        EXPECT_EQ(EntriesIn(directory), 1) << "no temporary file";
        DeleteFileW(LongForm(path).c_str());
        for (auto made_ = made.rbegin(); made_ != made.rend(); ++made_)
            RemoveDirectoryW(LongForm(*made_).c_str());
        return shown;
    }
    // Around MAX_PATH, where the long form of a path takes over, and far
    // beyond it.
    std::vector<BoxText> PathOf259() { return PathOfLength(259, 1); }
    std::vector<BoxText> PathOf260() { return PathOfLength(260, 1); }
    std::vector<BoxText> PathOf261() { return PathOfLength(261, 1); }
    std::vector<BoxText> PathOf1000() { return PathOfLength(1000, 1); }

    std::vector<BoxText> EmptyFile()
    {
        SetOverwrite(true);
        const std::string input = folder.File("in.txt");
        WriteBytes(input, "");
        const std::vector<BoxText> shown = Job(input, {}, 1);
        EXPECT_TRUE(FileExists(input));
        EXPECT_EQ(ReadBytes(input), "");
        EXPECT_EQ(folder.Names(), Names{"in.txt"});
        return shown;
    }

    // Stripping CRs, a run of CRs with nothing after it becomes one CR.
    std::vector<BoxText> OnlyCrs()
    {
        SetOverwrite(true);
        Command(IDM_CONVERT_NEWLINES);
        Command(IDM_SOURCE_FIRST + 1);
        Command(IDM_DESTINATION_FIRST + 2);
        const std::string input = folder.File("in.txt");
        WriteBytes(input, std::string(100000, '\r'));
        const std::vector<BoxText> shown = Job(input, {}, 1);
        ExpectKept("the one CR", "\r", ReadBytes(input));
        return shown;
    }

    std::vector<BoxText> NulsAtBlockEdges()
    {
        SetOverwrite(true);
        const std::string input = folder.File("in.txt");
        std::string text = Repeat(Koi8Line, 70000), converted = Repeat(Cp1251Line, 70000);
        for (size_t at : {0, 511, 512, 4095, 4096, 65535, 65536, 65537, 69999})
            text[at] = converted[at] = '\0';
        WriteBytes(input, text);
        const std::vector<BoxText> shown = Job(input, {}, 1);
        ExpectKept("the file, converted", converted, ReadBytes(input));
        return shown;
    }

    // With detection on, a file in the destination's code page already is
    // left as it is, not read as another page and "converted" into itself.
    std::vector<BoxText> AlreadyInDestinationInPlace()
    {
        SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_DETECT_SOURCE, 0);
        SetOverwrite(true);
        const std::string input = folder.File("in.txt"), text = Repeat(Cp1251Typography, 4096);
        WriteBytes(input, text);
        const FILETIME before = LastWritten(input);
        const std::vector<BoxText> shown = Job(input, {}, 1);
        ExpectKept("the file, byte for byte", text, ReadBytes(input));
        const FILETIME after = LastWritten(input);
        EXPECT_EQ(CompareFileTime(&before, &after), 0) << "not even rewritten";
        EXPECT_EQ(folder.Names(), Names{"in.txt"});
        return shown;
    }

    // KOI8-R with "Convert NewLines" would gain a CR on every line.
    std::vector<BoxText> AlreadyInDestinationToANewFile()
    {
        SendMessageA(MainWindow, WM_SYSCOMMAND, IDM_DETECT_SOURCE, 0);
        Command(IDM_CONVERT_NEWLINES);
        Command(IDM_DESTINATION_FIRST + 2);
        const std::string input = folder.File("in.txt"), output = outputs.File("out.txt");
        const std::string text = Repeat(Koi8Prose, 4096);
        WriteBytes(input, text);
        const std::vector<BoxText> shown = Job(input, {EnterFileName(output)}, 1);
        ExpectKept("the input", text, ReadBytes(input));
        ExpectKept("the copy, byte for byte", text, ReadBytes(output));
        EXPECT_EQ(outputs.Names(), Names{"out.txt"});
        return {shown.begin() + 1, shown.end()};  // the save dialog, then nothing
    }

    // A job that stripped CRs is cancelled holding one back; the empty
    // file converted next stays empty.
    std::vector<BoxText> EmptyFileAfterACancelledJob()
    {
        SetOverwrite(true);
        Command(IDM_CONVERT_NEWLINES);
        Command(IDM_SOURCE_FIRST + 1);
        Command(IDM_DESTINATION_FIRST + 2);
        const std::string crs = folder.File("crs.txt"), empty = folder.File("empty.txt");
        WriteCrAtEveryBlockEnd(crs, LongJobSize);
        WriteBytes(empty, "");
        PostMessageA(MainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        Job(crs, {}, 0);
        const std::vector<BoxText> shown = Job(empty, {}, 1);
        ExpectKept("the empty file", "", ReadBytes(empty));
        EXPECT_EQ(folder.Names(), (Names{"crs.txt", "empty.txt"}));
        DeleteFileA(crs.c_str());
        return shown;
    }

    // The session ends while a file converts in place: the job is
    // cancelled first, then the settings are saved.
    std::vector<BoxText> SessionEndsDuringAJob()
    {
        SetOverwrite(true);
        Command(IDM_CONVERT_NEWLINES);
        const std::string input = folder.File("big.txt");
        WriteLargeFile(input, LongJobSize, Koi8Line, Koi8Line);
        PostMessageA(MainWindow, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        PostMessageA(MainWindow, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        const std::vector<BoxText> shown = Job(input, {}, 0);
        PumpMessages(100);
        EXPECT_TRUE(IsLargeFile(input, LongJobSize, Koi8Line, Koi8Line)) << "the input as it was";
        EXPECT_EQ(folder.Names(), Names{"big.txt"});
        DWORD stored = 0, size = sizeof stored;
        RegGetValueA(HKEY_CURRENT_USER, SettingsKey, "Parameters", RRF_RT_REG_DWORD, nullptr, &stored, &size);
        EXPECT_TRUE(stored & ParamConvertNewlines) << "the session's settings saved";
        return shown;
    }

    // Writing over an existing file, the job fails halfway: the old file
    // stays as it was, and nothing else is left.
    std::vector<BoxText> NewFileOverAnOldOneFails()
    {
        const std::string input = "Z:\\proc\\self\\mem", output = outputs.File("out.txt");
        WriteBytes(output, "old");
        const std::vector<BoxText> shown = Job(input, {EnterFileName(output), Press(IDYES), Press(IDOK)}, 0);
        ExpectKept("the old file", "old", ReadBytes(output));
        EXPECT_EQ(outputs.Names(), Names{"out.txt"});
        return shown;
    }

    // In place, the file keeps what Windows users expect a file to keep.
    std::vector<BoxText> HiddenSystemArchive()
    {
        SetOverwrite(true);
        const std::string input = folder.File("in.txt");
        WriteBytes(input, Koi8Line);
        const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
        SetFileAttributesA(input.c_str(), marks);
        const std::vector<BoxText> shown = Job(input, {}, 1);
        ExpectKept("the file, converted", Cp1251Line, ReadBytes(input));
        EXPECT_EQ(GetFileAttributesA(input.c_str()) & marks, marks);
        EXPECT_EQ(folder.Names(), Names{"in.txt"});
        SetFileAttributesA(input.c_str(), FILE_ATTRIBUTE_NORMAL);
        return shown;
    }

    std::vector<BoxText> CreationTime()
    {
        SetOverwrite(true);
        const std::string input = folder.File("in.txt");
        WriteBytes(input, Koi8Line);
        const FILETIME made = {0x12345678, 0x01D00000};  // in 2014
        if (!SetCreationTime(input, made) || !CreatedAt(input, made))
            return Skip("this file system keeps no creation time that a program may set");
        const std::vector<BoxText> shown = Job(input, {}, 1);
        ExpectKept("the file, converted", Cp1251Line, ReadBytes(input));
        EXPECT_TRUE(CreatedAt(input, made));
        return shown;
    }

    std::vector<BoxText> AlternateDataStream()
    {
        SetOverwrite(true);
        const std::string input = folder.File("in.txt");
        WriteBytes(input, Koi8Line);
        WriteBytes(input + ":note", "kept");
        // Where names with a colon are plain files, there are no streams.
        if (folder.Names() != Names{"in.txt"})
            return Skip("this file system has no alternate data streams");
        const std::vector<BoxText> shown = Job(input, {}, 1);
        ExpectKept("the file, converted", Cp1251Line, ReadBytes(input));
        ExpectKept("its stream", "kept", ReadBytes(input + ":note"));
        return shown;
    }

    // Only the last 100 bytes hold data; what lies before is a hole of
    // zeros that costs no disk.
    std::vector<BoxText> PastFourGiB()
    {
        SetOverwrite(true);
        const std::string input = folder.File("big.txt");
        const std::string tail = Repeat(Koi8Line, 100);
        HANDLE file = CreateFileA(input.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        LARGE_INTEGER at;
        at.QuadPart = FourGiB;
        SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
        DWORD written = 0;
        WriteFile(file, tail.data(), 100, &written, nullptr);
        CloseHandle(file);
        const std::vector<BoxText> shown = Job(input, {}, 1);
        ExpectKept("the bytes past 4 GiB, converted", Repeat(Cp1251Line, 100), ReadLong(input, FourGiB, 200));
        EXPECT_EQ(ReadLong(input, FourGiB - 4, 4), std::string(4, '\0'));
        EXPECT_EQ(folder.Names(), Names{"big.txt"});
        DeleteFileA(input.c_str());
        return shown;
    }
};

const FileFault Faults[] = {
    {"disk full, new file", "Write failed, may be disk full", true, &FileFaults::DiskFullNewFile},
    {"disk full, in place", "Write failed, may be disk full", true, &FileFaults::DiskFullInPlace},
    {"input read-only, in place", "Can't replace", false, &FileFaults::ReadOnlyInput},
    {"output read-only", "Can't open for write", false, &FileFaults::ReadOnlyOutput},
    {"input locked by another process", "Can't open for read", false, &FileFaults::LockedInput},
    {"input deleted between the dialog and the job", "Can't open for read", false,
     &FileFaults::InputDeletedAfterTheDialog},
    {"folder dropped", "Can't open for read", false, &FileFaults::FolderDropped},
    {"path of 259 characters", "", false, &FileFaults::PathOf259},
    {"path of 260 characters", "", false, &FileFaults::PathOf260},
    {"path of 261 characters", "", false, &FileFaults::PathOf261},
    {"path of 1000 characters", "", false, &FileFaults::PathOf1000},
    {"empty file", "", false, &FileFaults::EmptyFile},
    {"a file of only CRs", "", false, &FileFaults::OnlyCrs},
    {"NULs at block edges", "", false, &FileFaults::NulsAtBlockEdges},
    {"4 GiB + 100 bytes sparse file", "", false, &FileFaults::PastFourGiB},
    {"detected in the destination page already, in place", "", false, &FileFaults::AlreadyInDestinationInPlace},
    {"detected in the destination page already, to a new file", "", false,
     &FileFaults::AlreadyInDestinationToANewFile},
    {"an empty file after a job cancelled holding a CR back", "", false, &FileFaults::EmptyFileAfterACancelledJob},
    {"the session ends during a job", "", false, &FileFaults::SessionEndsDuringAJob},
    {"a new file over an old one, and the input cannot be read", "Can't read", false,
     &FileFaults::NewFileOverAnOldOneFails},
    {"hidden, system and archive file in place", "", false, &FileFaults::HiddenSystemArchive},
    {"creation time, in place", "", false, &FileFaults::CreationTime},
    {"an alternate data stream, in place", "", false, &FileFaults::AlternateDataStream},
};

TEST_P(FileFaults, LeavesNothingLostOrStranded)
{
    const FileFault& row = GetParam();
    if (row.needsSmallDisk && SmallDisk().empty())
        GTEST_SKIP() << row.fault << ": no small disk (T:), mounting a tmpfs is not allowed here";
    const std::vector<BoxText> shown = (this->*row.run)();
    if (!skipped.empty())
        GTEST_SKIP() << row.fault << ": " << skipped;
    const std::string last = shown.empty() ? "" : shown.back().title + " / " + shown.back().text;
    if (*row.userSees)
        EXPECT_NE(last.find(row.userSees), std::string::npos) << "the user saw: " << last;
    else
        EXPECT_TRUE(shown.empty()) << "the user saw: " << last;
    CountRow();
}


INSTANTIATE_TEST_SUITE_P(Files, FileFaults, testing::ValuesIn(Faults), RowNameOf<FileFault>);

} // namespace

// tarvoconv on Windows: file names outside the ANSI code page, and the
// wildcards that a Windows program expands itself.
#include <windows.h>

#include <vector>

#include "tarvoconv_test_support.h"

namespace {

using tarvoconv_windows = TarvoconvTest;

const std::string Koi8 = "\xE1\xD1\n", Windows = "\xC0\xFF\n";  // "Ая"

TEST_F(tarvoconv_windows, NamesOutsideTheAnsiCodePageWorkEverywhere)
{
    // Greek, CJK and Cyrillic: no ANSI code page holds all three.
    const std::string input = Work("") + u8"Ελλάδα-日本-привет.txt";
    const std::string output = Work("") + u8"выход-σ.txt";
    WriteFile(fs::u8path(input), Koi8);
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string out;
        std::string outputFile;  // what output holds afterwards
    } runs[] = {
        {{"-f", "koi8-r", "-t", "cp1251", "-o", output, input}, 0, "", Windows},
        {{"-f", "cp1251", "-t", "koi8-r", "--in-place", output, output}, 0, "", Koi8},
        {{"--detect", output}, 0, output + ": koi8-r (85%)\n", Koi8},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.arguments[0] + " " + run.arguments.back());
        const ToolRun result = Run(run.arguments);
        EXPECT_EQ(result.exitCode, run.exitCode) << result.err;
        EXPECT_EQ(result.out, run.out);
        EXPECT_EQ(ReadFile(fs::u8path(output)), run.outputFile);
    }
    EXPECT_EQ(WorkListing(), (std::set<std::string>{u8"Ελλάδα-日本-привет.txt", u8"выход-σ.txt"}));
}

TEST_F(tarvoconv_windows, WildcardsBecomeTheFilesInListingOrder)
{
    // Each file holds its name without the extension, so the output shows
    // which files were read, and in what order.
    for (const char* name : {"b", "A", "ab", "c", u8"σ", "d", "hidden"})
        WriteFile(fs::u8path(Work("") + name + (name[0] == 'c' ? ".TXT" : name[0] == 'd' ? ".log" : ".txt")), name);
    SetFileAttributesW(fs::path(Work("hidden.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN);
    fs::create_directory(Work("folder.txt"));
    const struct {
        std::vector<std::string> inputs;
        std::string out;
        std::string failed;  // the name in the message, when the run fails
    } runs[] = {
        {{Work("*.txt")}, u8"Aabbcσ", ""},
        {{Work("?.txt")}, u8"Abcσ", ""},
        {{Work("*.log"), "-", Work("b.txt"), Work("*.log")}, "dibd", ""},
        {{Work("*.none")}, "", Work("*.none")},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(::testing::PrintToString(run.inputs));
        std::vector<std::string> arguments = {"-f", "utf-8", "-t", "utf-8"};
        arguments.insert(arguments.end(), run.inputs.begin(), run.inputs.end());
        const ToolRun result = Run(arguments, "i");
        if (!run.failed.empty()) {
            ExpectFileFailure(result, run.failed);
            EXPECT_NE(result.err.find("No such file"), std::string::npos) << result.err;
            continue;
        }
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, run.out);
    }
    // A match keeps the folder as the pattern spelled it.
    const std::string slashed = root.string() + "/work/";
    EXPECT_EQ(Run({"--detect", slashed + "*.lo?"}).out, slashed + "d.log: ascii\n");
}

// What a user marked a file as stays when tarvoconv writes it anew.
TEST_F(tarvoconv_windows, HiddenAndSystemFilesStaySo)
{
    const DWORD marks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const std::wstring file = fs::path(Work("marked.txt")).wstring();
    for (const auto& arguments : {std::vector<std::string>{"--in-place", Work("marked.txt")},
                                  {"-o", Work("marked.txt"), Work("in.txt")}}) {
        SCOPED_TRACE(arguments[0]);
        WriteFile(Work("in.txt"), Koi8);
        WriteFile(Work("marked.txt"), Koi8);
        ASSERT_TRUE(SetFileAttributesW(file.c_str(), marks));
        std::vector<std::string> all = {"-f", "koi8-r", "-t", "cp1251"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        const ToolRun run = Run(all);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(ReadFile(Work("marked.txt")), Windows);
        EXPECT_EQ(GetFileAttributesW(file.c_str()) & marks, marks);
        EXPECT_EQ(WorkListing(), (std::set<std::string>{"in.txt", "marked.txt"}));
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Folders deeper than MAX_PATH characters, which only the \\?\ form of a
// path reaches: converted as any other, and nothing is left beside.
// Folders made in the \\?\ form, removed deepest first on every way out
// (the test's own clean-up may not reach them).
struct LongFolders {
    ~LongFolders()
    {
        for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
            RemoveDirectoryW(folder->c_str());
    }
    std::vector<std::wstring> made;
};

TEST_F(tarvoconv_windows, PathsLongerThanMaxPathWork)
{
    LongFolders folders;
    std::string folder = Work("");
    for (int depth = 0; folder.size() < 1000; ++depth) {
        folder += std::string(100, 'd') + std::to_string(depth) + "\\";
        folders.made.push_back(L"\\\\?\\" + fs::u8path(folder).wstring());
        ASSERT_TRUE(CreateDirectoryW(folders.made.back().c_str(), nullptr));
        if (folder.size() < 250)
            continue;
        SCOPED_TRACE(folder.size());
        const std::string in = folder + "in.txt", out = folder + "out.txt";
        const std::wstring prefixed = L"\\\\?\\" + fs::u8path(folder).wstring();
        const HANDLE file = CreateFileW((prefixed + L"in.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                        nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, Koi8.data(), static_cast<DWORD>(Koi8.size()), &written, nullptr);
        CloseHandle(file);
        const ToolRun converted = Run({"-f", "koi8-r", "-t", "cp1251", "-o", out, in});
        EXPECT_EQ(converted.exitCode, 0) << converted.err;
        const ToolRun inPlace = Run({"-f", "koi8-r", "-t", "cp1251", "--in-place", in});
        EXPECT_EQ(inPlace.exitCode, 0) << inPlace.err;
        const ToolRun back = Run({"-f", "cp1251", "-t", "koi8-r", in, out});
        EXPECT_EQ(back.out, Koi8 + Koi8);
        std::set<std::wstring> names;
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((prefixed + L"*").c_str(), &found);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        do {
            names.insert(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        EXPECT_EQ(names, (std::set<std::wstring>{L".", L"..", L"in.txt", L"out.txt"}));
        DeleteFileW((prefixed + L"in.txt").c_str());
        DeleteFileW((prefixed + L"out.txt").c_str());
    }
}

} // namespace

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

} // namespace

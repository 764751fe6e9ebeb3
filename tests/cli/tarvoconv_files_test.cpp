#include <vector>

#include "stream_converter.h"
#include "tarvoconv_test_support.h"

namespace {

using tarvoconv_files = TarvoconvTest;

// All 66 letters of KOI8-R: 0xC0..0xFF, with ё and Ё apart.
std::string Koi8rLetters()
{
    std::string letters = Bytes({0xA3, 0xB3});
    for (int byte = 0xC0; byte <= 0xFF; ++byte)
        letters.push_back(static_cast<char>(byte));
    return letters;
}

// What the engine makes of the whole text in one call, with no block
// boundaries for a carried CR to get lost at, and the stream finished.
std::string ConvertedInOneCall(const std::string& text, int source, int destination, bool newlines)
{
    PageConverter converter = PageConverter::ForOption(source, destination, newlines);
    std::vector<unsigned char> output(2 * text.size() + 1);
    int length = converter.Convert(output.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                   static_cast<unsigned>(text.size()));
    length += converter.Finish(output.data() + length);
    return std::string(output.begin(), output.begin() + length);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST_F(tarvoconv_files, RoundTripThroughEachCodePageKeepsEveryLetter)
{
    const std::string text = "Text: " + Koi8rLetters() + "\n";
    WriteFile(Work("koi8.txt"), text);
    for (const char* page : {"0", "1", "3", "4"}) {
        SCOPED_TRACE(page);
        ASSERT_EQ(Run({"-f", "koi8-r", "-t", page, Work("koi8.txt"), "-o", Work("there.txt")}).exitCode, 0);
        EXPECT_NE(ReadFile(Work("there.txt")), text);
        ASSERT_EQ(Run({"-f", page, "-t", "koi8-r", Work("there.txt"), "-o", Work("back.txt")}).exitCode, 0);
        EXPECT_EQ(ReadFile(Work("back.txt")), text);
    }
    EXPECT_EQ(WorkListing(), (std::set<std::string>{"koi8.txt", "there.txt", "back.txt"}));
}

TEST_F(tarvoconv_files, CrLfAcrossBlockBoundariesStaysOneLineEnd)
{
    // One byte, then 512-byte lines: every CR ends a 512-byte block and its
    // LF starts the next, whatever power of two the blocks are.
    std::string windows = "y";
    while (windows.size() < 300000)
        windows += std::string(510, 'x') + "\r\n";
    const std::string unix = Replaced(windows, "\r\n", "\n");
    WriteFile(Work("windows.txt"), windows);

    ASSERT_EQ(Run({"-n", "-f", "cp1251", "-t", "koi8-r", Work("windows.txt"), "-o", Work("unix.txt")}).exitCode, 0);
    EXPECT_TRUE(ReadFile(Work("unix.txt")) == unix);
    ASSERT_EQ(Run({"-n", "-f", "koi8-r", "-t", "cp1251", Work("unix.txt"), "-o", Work("again.txt")}).exitCode, 0);
    EXPECT_TRUE(ReadFile(Work("again.txt")) == windows);
    ASSERT_EQ(Run({"-n", "-f", "koi8-r", "-t", "cp1251", Work("windows.txt"), "-o", Work("same.txt")}).exitCode, 0);
    EXPECT_TRUE(ReadFile(Work("same.txt")) == windows) << "an existing CR LF gained a CR";
}

TEST_F(tarvoconv_files, ACrThatEndsTheInputIsKeptWhenCrsAreStripped)
{
    // An old Macintosh line end, and a CR LF cut short; also when the CR
    // ends a read block rather than the file.
    for (const std::string& text : {std::string("a\r"), std::string("a\r\r"), std::string(65535, 'x') + "\r"}) {
        SCOPED_TRACE(text.size());
        const std::string expected = text.substr(0, text.find('\r') + 1);
        EXPECT_TRUE(Run({"-n", "-f", "cp866", "-t", "koi8-r"}, text).out == expected);
        WriteFile(Work("mac.txt"), text);
        ASSERT_EQ(Run({"-n", "-f", "cp866", "-t", "koi8-r", "--in-place", Work("mac.txt")}).exitCode, 0);
        EXPECT_TRUE(ReadFile(Work("mac.txt")) == expected);
    }
}

TEST_F(tarvoconv_files, LongBinaryStreamMatchesOneCallConversion)
{
    std::string text;
    unsigned state = 12345;
    while (text.size() < 400000) {
        state = state * 1103515245 + 12345;
        text.push_back(static_cast<char>(state >> 16));
    }
    text += "\r";  // a CR with nothing after it
    WriteFile(Work("in.bin"), text);
    const struct { int source, destination; bool newlines; } jobs[] = {
        {2, 1, false}, {2, 1, true}, {1, 2, true}, {0, 4, true}, {3, 2, true}};
    for (const auto& job : jobs) {
        SCOPED_TRACE(std::to_string(job.source) + " to " + std::to_string(job.destination));
        // -c: random bytes hold characters that the destination lacks.
        std::vector<std::string> arguments = {"-c", "-f", std::to_string(job.source), "-t",
                                              std::to_string(job.destination), Work("in.bin")};
        if (job.newlines)
            arguments.insert(arguments.begin(), "-n");
        const ToolRun run = Run(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.out == ConvertedInOneCall(text, job.source, job.destination, job.newlines));
    }
}

TEST_F(tarvoconv_files, NulBytesAndEmptyInputsPassThrough)
{
    const std::string koi8 = Bytes({0xE1, 0, 0xD1, 0, 0, 'x', 0});
    const std::string windows = Bytes({0xC0, 0, 0xFF, 0, 0, 'x', 0});
    EXPECT_EQ(Run({"-f", "koi8-r", "-t", "cp1251"}, koi8).out, windows);
    WriteFile(Work("zeros.txt"), koi8);
    // Into itself, but not --in-place, which leaves data this full of NULs alone.
    const ToolRun inPlace = Run({"-f", "koi8-r", "-t", "cp1251", Work("zeros.txt"), "-o", Work("zeros.txt")});
    EXPECT_EQ(inPlace.exitCode, 0) << inPlace.err;
    EXPECT_EQ(ReadFile(Work("zeros.txt")), windows);

    WriteFile(Work("empty.txt"), "");
    const ToolRun run = Run({"-n", "-f", "koi8-r", "-t", "cp1251", Work("empty.txt"), "-o", Work("out.txt")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::exists(Work("out.txt")));
    EXPECT_EQ(ReadFile(Work("out.txt")), "");
    const ToolRun piped = Run({"-n", "-f", "koi8-r", "-t", "cp1251"}, "");
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.out, "");
}

TEST_F(tarvoconv_files, InputsOneAfterAnotherIntoStandardOutputOrDashO)
{
    const std::string koi8 = Bytes({0xE1, 0xD1}), windows = Bytes({0xC0, 0xFF});
    WriteFile(Work("in.txt"), koi8);
    const struct {
        std::vector<std::string> files;
        std::string out, outFile;  // standard output, and out.txt ("-": none)
    } cases[] = {
        {{}, windows, "-"},
        {{"-"}, windows, "-"},
        {{Work("in.txt")}, windows, "-"},
        {{Work("in.txt"), "-", Work("in.txt")}, windows + windows + windows, "-"},
        {{"-o", "-", Work("in.txt")}, windows, "-"},
        {{"-o", Work("out.txt"), "-", Work("in.txt")}, "", windows + windows},
        {{Work("in.txt"), "--output=" + Work("out.txt")}, "", windows},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.files));
        std::vector<std::string> arguments = {"-f", "2", "-t", "1"};
        arguments.insert(arguments.end(), c.files.begin(), c.files.end());
        const ToolRun run = Run(arguments, koi8);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(fs::exists(Work("out.txt")) ? ReadFile(Work("out.txt")) : "-", c.outFile);
        EXPECT_EQ(ReadFile(Work("in.txt")), koi8);
        fs::remove(Work("out.txt"));
    }
}

#ifdef _WIN32
TEST_F(tarvoconv_files, DeviceNamedAsOutputIsWrittenToNotReplaced)
{
    WriteFile(Work("in.txt"), "text");
    const fs::path previous = fs::current_path();
    fs::current_path(work);
    const ToolRun run = Run({"-f", "2", "-t", "1", "-o", "NUL", "in.txt"});
    fs::current_path(previous);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"});
}
#endif

TEST_F(tarvoconv_files, InPlaceAndExistingOutputsAreReplacedWhole)
{
    WriteFile(Work("text.txt"), Koi8rLetters());
    const std::string windows = ConvertedInOneCall(Koi8rLetters(), 2, 1, false);
    ASSERT_EQ(Run({"-f", "koi8-r", "-t", "cp1251", Work("text.txt"), "-o", Work("text.txt")}).exitCode, 0);
    EXPECT_EQ(ReadFile(Work("text.txt")), windows);
    EXPECT_EQ(WorkListing(), std::set<std::string>{"text.txt"});

    WriteFile(Work("old.txt"), std::string(1000, 'o'));
    ASSERT_EQ(Run({"-f", "cp1251", "-t", "koi8-r", Work("text.txt"), "-o", Work("old.txt")}).exitCode, 0);
    EXPECT_EQ(ReadFile(Work("old.txt")), Koi8rLetters());
    EXPECT_EQ(WorkListing(), (std::set<std::string>{"text.txt", "old.txt"}));
}

} // namespace

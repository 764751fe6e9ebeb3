// tarvoconv -f auto and --detect: the encoding taken from the input itself.
#include "tarvoconv_test_support.h"

namespace {

using tarvoconv_detect = TarvoconvTest;

// "Съешь же ещё этих мягких французских булок, да выпей чаю." and a line end.
const std::string Koi8 = "\xF3\xDF\xC5\xDB\xD8 \xD6\xC5 \xC5\xDD\xA3 \xDC\xD4\xC9\xC8 \xCD\xD1\xC7\xCB\xC9\xC8 "
                         "\xC6\xD2\xC1\xCE\xC3\xD5\xDA\xD3\xCB\xC9\xC8 \xC2\xD5\xCC\xCF\xCB, \xC4\xC1 "
                         "\xD7\xD9\xD0\xC5\xCA \xDE\xC1\xC0.\n";
const std::string Cp1251 = "\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 \xEC\xFF\xE3\xEA\xE8\xF5 "
                           "\xF4\xF0\xE0\xED\xF6\xF3\xE7\xF1\xEA\xE8\xF5 \xE1\xF3\xEB\xEE\xEA, \xE4\xE0 "
                           "\xE2\xFB\xEF\xE5\xE9 \xF7\xE0\xFE.\n";
const std::string Utf8 = "\xD0\xA1\xD1\x8A\xD0\xB5\xD1\x88\xD1\x8C \xD0\xB6\xD0\xB5\n";  // "Съешь же"

// UTF-16 big-endian without a byte order mark, from tarvoconv's own
// little-endian UTF-16 with its mark (checked against iconv elsewhere).
std::string BigEndianWithoutMark(const std::string& utf16)
{
    std::string units = utf16.substr(2);
    for (size_t at = 0; at + 1 < units.size(); at += 2)
        std::swap(units[at], units[at + 1]);
    return units;
}

// ASCII to the last byte of the 1 MiB looked at, where "ёж" in UTF-8 begins.
std::string CyrillicCutByTheLastByteLookedAt()
{
    return std::string((1 << 20) - 1, 'x') + "\xD1\x91\xD0\xB6\n";
}

std::string Binary()
{
    std::string bytes;
    for (int n = 0; n < 3000; ++n)
        bytes.push_back(static_cast<char>((n * 7919) >> 3));
    return bytes;
}

TEST_F(tarvoconv_detect, DetectNamesEachInputsEncodingOrSaysItCannotTell)
{
    const struct {
        const char* name;
        std::string bytes;
        const char* line;
    } inputs[] = {
        {"koi8.txt", Koi8, "koi8-r (99%)"},
        {"windows.txt", Cp1251, "cp1251 (99%)"},
        {"utf8.txt", Utf8, "utf-8 (99%)"},
        {"be.txt", BigEndianWithoutMark(Run({"-f", "cp1251", "-t", "utf-16"}, Cp1251).out), "utf-16be (100%)"},
        {"ascii.txt", "plain ASCII\n", "ascii"},
        {"empty.txt", "", "ascii"},
        {"late.txt", CyrillicCutByTheLastByteLookedAt(), "ascii"},
        {"binary.bin", Binary(), "unknown"},
    };
    std::vector<std::string> arguments = {"--detect"};
    std::string expected;
    for (const auto& input : inputs) {
        WriteFile(Work(input.name), input.bytes);
        arguments.push_back(Work(input.name));
        expected += Work(input.name) + ": " + input.line + "\n";
    }
    const ToolRun run = Run(arguments);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.exitCode, 1) << "not every input got a decision";

    const ToolRun decided = Run({"--detect"}, Koi8);
    EXPECT_EQ(decided.out, "(standard input): koi8-r (99%)\n");
    EXPECT_EQ(decided.exitCode, 0);
}

TEST_F(tarvoconv_detect, AutoConvertsFromTheDetectedPageOrWritesNothing)
{
    // More than the 64 KiB looked at, through a pipe: the head is kept.
    std::string koi8, cp1251;
    while (koi8.size() < 200000) {
        koi8 += Koi8;
        cp1251 += Cp1251;
    }
    EXPECT_TRUE(Run({"-f", "auto", "-t", "cp1251"}, koi8).out == cp1251);
    WriteFile(Work("in.txt"), koi8);
    EXPECT_EQ(Run({"--from=AUTO", "-t", "utf-8", "--in-place", Work("in.txt")}).exitCode, 0);
    EXPECT_EQ(Run({"-f", "auto", "-t", "koi8-r"}, ReadFile(Work("in.txt"))).out, koi8) << "from UTF-8 back";

    const std::string bigEndian = BigEndianWithoutMark(Run({"-f", "cp1251", "-t", "utf-16"}, Cp1251).out);
    EXPECT_EQ(Run({"-f", "auto", "-t", "cp1251"}, bigEndian).out, Cp1251);
    const ToolRun late = Run({"-f", "auto", "-t", "cp1251"}, CyrillicCutByTheLastByteLookedAt());
    EXPECT_EQ(late.exitCode, 0) << late.err;
    EXPECT_TRUE(late.out == std::string((1 << 20) - 1, 'x') + "\xB8\xE6\n");

    // Already in the destination: copied as it is, typography and all.
    const std::string typography = "\x84" + Cp1251 + "\x93\x96\r\n";
    EXPECT_EQ(Run({"-n", "-f", "auto", "-t", "cp1251"}, typography).out, typography);
    const ToolRun ignoring = Run({"-f", "auto", "-t", "cp1251//IGNORE"}, typography);
    EXPECT_EQ(ignoring.exitCode, 0) << ignoring.err;
    EXPECT_EQ(ignoring.out, typography);

    WriteFile(Work("odd.bin"), Binary());
    ExpectFileFailure(Run({"-f", "auto", "-t", "cp1251", Work("odd.bin"), "-o", Work("out.txt")}), Work("odd.bin"));
    EXPECT_EQ(WorkListing(), (std::set<std::string>{"in.txt", "odd.bin"})) << "nothing written";
}

} // namespace

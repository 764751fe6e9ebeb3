// tarvoconv between the code pages and UTF-8 or UTF-16.
#include <vector>

#include "encoding_names.h"
#include "tarvoconv_test_support.h"
#include "unicode_conversion.h"

namespace {

using namespace std::string_literals;
using tarvoconv_unicode = TarvoconvTest;

std::string Utf16(const std::u16string& text)
{
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

const std::string Utf16Mark = Bytes({0xFF, 0xFE});

// UTF-16 in the other byte order.
std::string Swapped(std::string units)
{
    for (size_t at = 0; at + 1 < units.size(); at += 2)
        std::swap(units[at], units[at + 1]);
    return units;
}

// input in one encoding, and what it becomes in another.
struct TextCase {
    const char* from;
    std::string input;
    const char* to;
    std::string output;
};

TEST_F(tarvoconv_unicode, ByteOrderMarksAreReadAndOnlyUtf16IsWrittenWithOne)
{
    const std::string ya = Bytes({0xD1, 0x8F});  // 'я' in UTF-8
    const TextCase cases[] = {
        {"utf-8", "\xEF\xBB\xBF" + ya, "utf-8", "\xEF\xBB\xBF" + ya},  // copied as it is
        {"utf-8", ya + "\xEF\xBB\xBF", "utf-8", ya + "\xEF\xBB\xBF"},  // later, a character of its own
        {"utf-16", Utf16Mark + Utf16(u"я"), "cp1251", "\xFF"},
        {"utf-16", Bytes({0xFE, 0xFF, 0x04, 0x4F, 0xD8, 0x3D, 0xDE, 0x00}), "utf-8", ya + "\xF0\x9F\x98\x80"},
        {"utf-16", Utf16(u"я"), "utf-8", ya},
        {"utf-8", "", "utf-16", ""},
        {"cp1251", "\xFF", "utf-16le", Utf16(u"я")},
        {"utf-16be", Bytes({0xFE, 0xFF, 0x04, 0x4F}), "utf-16le", Utf16(u"\uFEFFя")},
        {"unicode", Utf16Mark + Utf16(u"a\U0001F600"), "utf-16", Utf16Mark + Utf16(u"a\U0001F600")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " to " + c.to + ": " + c.input);
        const ToolRun run = Run({"-f", c.from, "-t", c.to}, c.input);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.out == c.output);
    }
    // One mark for the whole output, however many inputs go into it.
    WriteFile(Work("ya.txt"), "\xFF");
    const ToolRun two = Run({"-f", "cp1251", "-t", "utf-16", Work("ya.txt"), "-"}, "\xFF");
    EXPECT_TRUE(two.out == Utf16Mark + Utf16(u"яя")) << two.err;
    EXPECT_TRUE(Run({"-f", "cp1251", "-t", "utf-16le", Work("ya.txt"), "-"}, "\xFF").out == Utf16(u"яя"));
}

TEST_F(tarvoconv_unicode, NewlinesAreLfInUtf8AndCrLfInUtf16)
{
    const TextCase cases[] = {
        {"utf-8", "a\nb\r\n", "cp1251", "a\r\nb\r\n"},
        {"cp866", "a\r\nb\rc\r\r\n\r", "utf-8", "a\nb\rc\r\n\r"},  // only the CR of a CR LF goes
        {"utf-8", "a\n", "utf-16", Utf16Mark + Utf16(u"a\r\n")},
        {"utf-16", Utf16Mark + Utf16(u"a\r\n\r"), "koi8-r", "a\n\r"},
        {"utf-16", Utf16Mark + Utf16(u"a\r\n"), "cp1251", "a\r\n"},
        {"koi8-r", "a\n", "utf-8", "a\n"},
        {"utf-8", "a\r\n", "koi8-r", "a\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " to " + c.to);
        const ToolRun converted = Run({"-n", "-f", c.from, "-t", c.to}, c.input);
        EXPECT_EQ(converted.exitCode, 0) << converted.err;
        EXPECT_TRUE(converted.out == c.output);
    }
    EXPECT_EQ(Run({"-f", "utf-8", "-t", "cp1251"}, "a\nb").out, "a\nb") << "CR added without -n";
}

TEST_F(tarvoconv_unicode, CharactersTheDestinationLacksFailOrBecomeStandInsWithC)
{
    // A plain '"' stands in for a typographic quote, as between code pages.
    const struct {
        const char* to;
        std::string text;  // after a first line of 7 bytes
        int offset;
        const char* character;
        std::string substituted;
    } cases[] = {
        {"cp866", "\u20AC \u201C\u0401\u0436\u201D \u00B0", 7, "U+20AC",
         Bytes({'?', ' ', '"', 0xF0, 0xA6, '"', ' ', 0xF8})},
        {"koi8-r", "\u0401\u0436 \u00B0 \u201Cx\u201D", 15, "U+201C",
         Bytes({0xB3, 0xD6, ' ', 0x9C, ' ', '"', 'x', '"'})},
        {"iso-8859-5", "\u0401\u0436 \u2116\u00B0 \u20AC", 15, "U+00B0",
         Bytes({0xA1, 0xD6, ' ', 0xF0, '?', ' ', '?'})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        WriteFile(Work("in.txt"), "line 1\n" + c.text);
        const ToolRun failed = Run({"-f", "utf-8", "-t", c.to, Work("in.txt"), "-o", Work("out.txt")});
        ExpectFileFailure(failed, Work("in.txt"));
        const std::string where = "line 2, byte offset " + std::to_string(c.offset) + ": " + c.character;
        EXPECT_NE(failed.err.find(where), std::string::npos) << failed.err;
        EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"});

        const ToolRun substituted = Run({"-c", "-f", "utf-8", "-t", c.to, Work("in.txt")});
        EXPECT_EQ(substituted.exitCode, 0) << substituted.err;
        EXPECT_TRUE(substituted.out == "line 1\n" + c.substituted);
    }
}

TEST_F(tarvoconv_unicode, TranslitWritesStandInsAndIgnoreLeavesOutIntoEveryOutput)
{
    const std::string text = "\u20AC \u201C\u0401\u201D\n", standIns = Bytes({'?', ' ', '"', 0xF0, '"', '\n'});
    const std::string leftOut = Bytes({' ', 0xF0, '\n'});
    const std::string left = "tarvoconv: " + Work("in.txt") + ": 3 characters left out (//IGNORE), the first on line 1";
    const std::string euro = ": U+20AC cannot be written in cp866\n";
    WriteFile(Work("in.txt"), text);
    const struct {
        std::vector<std::string> arguments;
        const char* written;  // the file that holds the output; "" for standard output
        std::string text, err;
    } runs[] = {
        {{"-t", "cp866//TRANSLIT"}, "", standIns, ""},
        {{"-t", "CP866//translit,Ignore"}, "", standIns, ""},
        {{"-c", "-t", "cp866//"}, "", standIns, ""},
        {{"-t", "cp866//IGNORE"}, "", leftOut, left + ", byte offset 0" + euro},
        {{"-t", "cp866//IGNORE", "-o", Work("out.txt")}, "out.txt", leftOut, left + ", byte offset 0" + euro},
        {{"--repair", "-t", "cp866//IGNORE", "-o", Work("out.txt")}, "out.txt", leftOut, left + euro},
        {{"-t", "cp866//IGNORE", "--in-place"}, "in.txt", leftOut, left + ", byte offset 0" + euro},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(::testing::PrintToString(run.arguments));
        std::vector<std::string> arguments = {"-f", "utf-8"};
        arguments.insert(arguments.end(), run.arguments.begin(), run.arguments.end());
        arguments.push_back(Work("in.txt"));
        const ToolRun result = Run(arguments);
        EXPECT_EQ(result.exitCode, run.err.empty() ? 0 : 1);
        EXPECT_EQ(result.err, run.err);
        EXPECT_TRUE((*run.written ? ReadFile(Work(run.written)) : result.out) == run.text);
    }
}

TEST_F(tarvoconv_unicode, InvalidInputFailsAtItsOffsetEvenWithC)
{
    // The bad bytes follow a first line that fills more than one read block.
    const std::string first(70000, 'x');
    const struct {
        const char* from;
        std::string bad;
        int offset;  // after the first line and "ab"
        const char* says;
    } cases[] = {
        {"utf-8", "\xC0\xAF", 0, "invalid UTF-8"},        // overlong '/'
        {"utf-8", "\xE0\x80\xAF", 0, "invalid UTF-8"},    // overlong in three bytes
        {"utf-8", "\xED\xA0\x80", 0, "invalid UTF-8"},    // a surrogate
        {"utf-8", "\xF4\x90\x80\x80", 0, "invalid UTF-8"},  // past U+10FFFF
        {"utf-8", "\xD0\xB6\x80", 2, "invalid UTF-8"},    // a continuation byte alone
        {"utf-8", "\xF5", 0, "invalid UTF-8"},
        {"utf-8", "\xD0\xB6\xE2\x82", 2, "ends inside a character"},
        {"utf-16", Utf16(u"\xDC00"), 0, "lone UTF-16 surrogate"},
        {"utf-16", Utf16(u"\xD800") + "b\0"s, 0, "lone UTF-16 surrogate"},
        {"utf-16", Utf16(u"\xD800"), 0, "ends inside a character"},
        {"utf-16", "b", 0, "ends inside a character"},
        {"utf-16be", Swapped(Utf16(u"\xDC00")), 0, "lone UTF-16 surrogate"},
        {"cp1251", "\x98", 0, "byte 0x98 is no character in cp1251"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " " + c.says);
        const std::string from = c.from;
        const std::string utf16 = Utf16(std::u16string(first.begin(), first.end()) + u"\nab");
        const std::string start = from == "utf-16" ? utf16 : from == "utf-16be" ? Swapped(utf16) : first + "\nab";
        WriteFile(Work("in.txt"), start + c.bad);
        const ToolRun run = Run({"-c", "-f", c.from, "-t", "utf-8", Work("in.txt"), "-o", Work("out.txt")});
        if (std::string(c.from) == "cp1251") {
            EXPECT_TRUE(run.exitCode == 0 && ReadFile(Work("out.txt")) == first + "\nab?") << "-c writes '?'";
            fs::remove(Work("out.txt"));
            continue;
        }
        ExpectFileFailure(run, Work("in.txt"));
        const std::string where = "line 2, byte offset " + std::to_string(start.size() + c.offset) + ": ";
        EXPECT_NE(run.err.find(where), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"});
    }
}

// What the engine makes of the whole text in one call, with no block
// boundary to cut a character, a surrogate pair or a CR LF.
std::string ConvertedInOneCall(const std::string& text, int source, int destination, bool newlines)
{
    UnicodeConverter converter(source, destination, newlines, true);
    std::vector<unsigned char> output(UnicodeConverter::OutputSize(static_cast<unsigned>(text.size())));
    const UnicodeChunk chunk = converter.Convert(output.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                                 static_cast<unsigned>(text.size()), true);
    EXPECT_EQ(chunk.stop, UnicodeConverted);
    return std::string(output.begin(), output.begin() + chunk.written);
}

TEST_F(tarvoconv_unicode, LongTextMatchesOneCallConversion)
{
    // Characters of one to four bytes in UTF-8, CR LF and lone CRs, at
    // random, so that the 64 KiB read blocks cut all kinds of them.
    const char* const pieces[] = {"a", "\n", "\r\n", "\r", "\u044F", "\u2500", "\u20AC", "\U0001F600"};
    std::string utf8 = "abc";  // then one, two or three bytes less, for other cuts
    unsigned state = 12345;
    while (utf8.size() < 300000) {
        state = state * 1103515245 + 12345;
        utf8 += pieces[(state >> 16) % 8];
    }
    const std::string utf16 = ConvertedInOneCall(utf8, EncodingUtf8, EncodingUtf16, false);
    const std::string cp866 = ConvertedInOneCall(utf8, EncodingUtf8, CodePageCp866, false);
    const struct {
        int source, destination;
        const std::string& text;
    } jobs[] = {
        {EncodingUtf8, EncodingUtf16, utf8}, {EncodingUtf16, EncodingUtf8, utf16},
        {EncodingUtf16, CodePageKoi8r, utf16}, {CodePageCp866, EncodingUtf8, cp866},
        {EncodingUtf8, CodePageCp1251, utf8},
    };
    for (const auto& job : jobs) {
        for (size_t cut = 0; cut < 4; ++cut) {
            const std::string text = job.text.substr(job.source == EncodingUtf16 ? 2 * cut : cut);
            const bool newlines = cut % 2 == 1;
            SCOPED_TRACE(std::string(EncodingNames(job.source)[0]) + " to " + EncodingNames(job.destination)[0] +
                         ", cut " + std::to_string(cut));
            WriteFile(Work("in.txt"), text);
            std::vector<std::string> arguments = {"-c", "-f", EncodingNames(job.source)[0], "-t",
                                                  EncodingNames(job.destination)[0], Work("in.txt")};
            if (newlines)
                arguments.insert(arguments.begin(), "-n");
            const ToolRun run = Run(arguments);
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_TRUE(run.out == ConvertedInOneCall(text, job.source, job.destination, newlines));
        }
    }
}

TEST_F(tarvoconv_unicode, InPlaceConvertsEveryFileItCanAndNamesTheRest)
{
    const std::string windows = Bytes({0xC0, 0xFF, '\n'}), utf8 = "\xD0\x90\xD1\x8F\n";
    for (const char* name : {"a.txt", "b.txt", "locked.txt"})
        WriteFile(Work(name), windows);
    WriteFile(Work("bad.txt"), windows + "\x98");
    fs::permissions(Work("locked.txt"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const ToolRun run = Run({"-f", "cp1251", "-t", "utf-8", "--in-place", Work("a.txt"), Work("missing.txt"),
                             Work("locked.txt"), Work("bad.txt"), Work("b.txt"), Work("a.txt")});
    fs::permissions(Work("locked.txt"), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    for (const char* failed : {"missing.txt", "locked.txt", "bad.txt"})
        EXPECT_NE(run.err.find("tarvoconv: " + Work(failed) + ": "), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(Work("a.txt")), utf8) << "converted twice";
    EXPECT_EQ(ReadFile(Work("b.txt")), utf8);
    EXPECT_EQ(ReadFile(Work("locked.txt")), windows);
    EXPECT_EQ(ReadFile(Work("bad.txt")), windows + "\x98");
    EXPECT_EQ(WorkListing(), (std::set<std::string>{"a.txt", "b.txt", "bad.txt", "locked.txt"}));
}

} // namespace

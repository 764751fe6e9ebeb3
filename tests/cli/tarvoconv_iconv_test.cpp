// tarvoconv's Unicode conversions against an oracle it did not write: the C
// library's iconv.
#include <iconv.h>

#include "stream_converter.h"
#include "tarvoconv_test_support.h"

namespace {

using tarvoconv_iconv = TarvoconvTest;

const char* const PageNames[CodePageCount] = {"cp866", "cp1251", "koi8-r", "mac", "iso-8859-5"};
const char* const IconvNames[CodePageCount] = {"CP866", "CP1251", "KOI8-R", "MACCYRILLIC", "ISO-8859-5"};

// False when iconv cannot convert all of input.
bool Iconv(const char* from, const char* to, const std::string& input, std::string& output)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in = input;
    std::string out(4 * input.size() + 8, '\0');
    char* inPointer = &in[0];
    char* outPointer = &out[0];
    size_t inLeft = in.size(), outLeft = out.size();
    const size_t result = iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(cd);
    output = out.substr(0, out.size() - outLeft);
    return result != static_cast<size_t>(-1);
}

// The character of one byte of a page in the Unicode form to, as iconv
// has it, but Macintosh 0xFF the euro sign, as Python's mac_cyrillic (and
// Apple's table since Mac OS 9) has it. False where the byte has none.
bool OracleCharacter(int page, unsigned char byte, const char* to, std::string& character)
{
    if (page == CodePageMac && byte == 0xFF)
        return Iconv("UTF-8", to, "\u20AC", character);
    return Iconv(IconvNames[page], to, std::string(1, static_cast<char>(byte)), character);
}

// A character in UTF-8 written in a page, by the same reading; false where
// the page has no byte for it.
bool OracleByte(int page, const std::string& character, std::string& byte)
{
    if (page == CodePageMac && (character == "\u20AC" || character == "\u00A4")) {
        byte = "\xFF";
        return character == "\u20AC";
    }
    return Iconv("UTF-8", IconvNames[page], character, byte);
}

TEST_F(tarvoconv_iconv, EveryByteOfEveryPageIsTheCharacterIconvGivesIt)
{
    for (int page = 0; page < CodePageCount; ++page) {
        SCOPED_TRACE(PageNames[page]);
        std::string bytes, utf8, utf16;
        for (int byte = 0; byte < 256; ++byte) {
            std::string character8, character16;
            if (!OracleCharacter(page, static_cast<unsigned char>(byte), "UTF-8", character8)) {
                EXPECT_EQ(Run({"-f", PageNames[page], "-t", "utf-8"}, std::string(1, static_cast<char>(byte))).exitCode, 1);
                continue;
            }
            ASSERT_TRUE(OracleCharacter(page, static_cast<unsigned char>(byte), "UTF-16LE", character16));
            bytes.push_back(static_cast<char>(byte));
            utf8 += character8;
            utf16 += character16;
        }
        EXPECT_EQ(bytes.size(), page == CodePageCp1251 ? 255u : 256u);

        EXPECT_TRUE(Run({"-f", PageNames[page], "-t", "utf-8"}, bytes).out == utf8);
        EXPECT_TRUE(Run({"-f", PageNames[page], "-t", "utf-16"}, bytes).out == "\xFF\xFE" + utf16);
        EXPECT_TRUE(Run({"-f", "utf-8", "-t", PageNames[page]}, utf8).out == bytes);
        EXPECT_TRUE(Run({"-f", "utf-16", "-t", PageNames[page]}, utf16).out == bytes);
    }
}

TEST_F(tarvoconv_iconv, Utf16InEachByteOrderIsReadAndWrittenAsIconvDoes)
{
    // Read with a U+FEFF first: a byte order mark to plain UTF-16, a
    // character to the forms with their order in the name. (From UTF-8 a
    // first U+FEFF is a mark, which tarvoconv leaves out and iconv not.)
    const std::string text = "\u0401\u0436 \u20AC\U0001F600\n\uFEFF";
    for (const char* name : {"utf-16", "utf-16le", "utf-16be"}) {
        SCOPED_TRACE(name);
        std::string written, marked, read;
        ASSERT_TRUE(Iconv("UTF-8", name, text, written));
        ASSERT_TRUE(Iconv("UTF-8", name, "\uFEFF" + text, marked));
        ASSERT_TRUE(Iconv(name, "UTF-8", marked, read));
        EXPECT_TRUE(Run({"-f", "utf-8", "-t", name}, text).out == written);
        const ToolRun back = Run({"-f", name, "-t", "utf-8"}, marked);
        EXPECT_EQ(back.exitCode, 0) << back.err;
        EXPECT_TRUE(back.out == read);
    }
}

TEST_F(tarvoconv_iconv, IgnoreLeavesOutWhatIconvLeavesOutAndExitsWithOne)
{
    // What DST cannot hold, a byte without a character, input that breaks
    // its encoding's rules; and between two code pages, the pseudo-graphics
    // and the Ukrainian letters of cp866 that cp1251 lacks.
    const struct {
        const char* from;
        const char* to;
        std::string text;
    } cases[] = {
        {"UTF-8", "CP866", "a\u20ACb\u2014c\u00ABe\n\u0401\u0436 \u2713\n"},
        {"UTF-8", "KOI8-R", "\U0001F600 \u0436\u20AC"},
        {"UTF-8", "CP1251", "a\xE2\x82" "d\xFF\xC0\xAF\n"},
        {"CP1251", "UTF-8", "\xC0\x98\xFF"},
        {"UTF-16LE", "UTF-8", Bytes({'a', 0, 0x00, 0xDC, 'b', 0})},
        {"CP866", "CP1251", "\xB0\xB3\xC5 \xF2\xF4 \xA0\xFC\n"},
        {"UTF-8", "UTF-16LE", "\u0436\u20AC\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " to " + c.to);
        const std::string to = std::string(c.to) + "//IGNORE";
        std::string expected;
        const bool whole = Iconv(c.from, to.c_str(), c.text, expected);
        const ToolRun run = Run({"-f", c.from, "-t", to}, c.text);
        EXPECT_TRUE(run.out == expected);
        EXPECT_EQ(run.exitCode, whole ? 0 : 1) << run.err;
        EXPECT_EQ(run.err.rfind("tarvoconv: standard input: ", 0) == 0 &&
                      run.err.find(" left out (//IGNORE), the first on line 1, byte offset ") != std::string::npos,
                  !whole)
            << run.err;
    }
}

// What the engine makes of one byte between two code pages.
std::string PageToPage(int source, int destination, char byte)
{
    PageConverter converter(source, destination, Keep);
    unsigned char output[2];
    const unsigned char input = static_cast<unsigned char>(byte);
    return std::string(1, static_cast<char>(output[converter.Convert(output, &input, 1) - 1]));
}

TEST_F(tarvoconv_iconv, ACharacterTheDestinationLacksBecomesWhatThePageConversionWrites)
{
    // Every character of each page, into each page: where the page has no
    // byte for it, -c writes the stand-in that a conversion between the
    // code pages writes, whichever way the character arrives.
    for (int source = 0; source < CodePageCount; ++source) {
        for (int destination = 0; destination < CodePageCount; ++destination) {
            SCOPED_TRACE(std::string(PageNames[source]) + " to " + PageNames[destination]);
            std::string utf8, expected;
            size_t firstLacking = std::string::npos;
            for (int byte = 0x80; byte < 256; ++byte) {
                std::string character, converted;
                if (!OracleCharacter(source, static_cast<unsigned char>(byte), "UTF-8", character))
                    continue;
                if (!OracleByte(destination, character, converted)) {
                    converted = PageToPage(source, destination, static_cast<char>(byte));
                    firstLacking = std::min(firstLacking, utf8.size());
                }
                utf8 += character;
                expected += converted;
            }
            EXPECT_TRUE(Run({"-c", "-f", "utf-8", "-t", PageNames[destination]}, utf8).out == expected);
            const ToolRun strict = Run({"-f", "utf-8", "-t", PageNames[destination]}, utf8);
            if (firstLacking == std::string::npos) {
                EXPECT_EQ(strict.exitCode, 0);
            } else {
                EXPECT_EQ(strict.exitCode, 1);
                EXPECT_NE(strict.err.find("byte offset " + std::to_string(firstLacking) + ": "), std::string::npos)
                    << strict.err;
            }
        }
    }
}

TEST_F(tarvoconv_iconv, UkrainianPagesReadAndWriteAsIconvHasThem)
{
    // KOI8-U and cp1125 go through Unicode, to and from the other encodings
    // too: every byte as iconv reads it, every character back to its byte,
    // and from the five as iconv writes them, failing where it cannot.
    const char* const names[][2] = {{"koi8-u", "KOI8-U"}, {"cp1125", "CP1125"}};
    for (const auto& name : names) {
        SCOPED_TRACE(name[0]);
        std::string bytes, utf8, ignored;
        for (int byte = 0; byte < 256; ++byte)
            bytes.push_back(static_cast<char>(byte));
        ASSERT_TRUE(Iconv(name[1], "UTF-8", bytes, utf8));
        EXPECT_TRUE(Run({"-f", name[0], "-t", "utf-8"}, bytes).out == utf8);
        EXPECT_TRUE(Run({"-f", "utf-8", "-t", name[0]}, utf8).out == bytes);
        const std::string text = "\xD0\x87\xD0\xB6\xD0\xB0\xD0\xBA \xD1\x96 \xD2\x91\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xBA";  // Їжак і ґанок
        std::string page, cp1251;
        ASSERT_TRUE(Iconv("UTF-8", name[1], text, page));
        ASSERT_TRUE(Iconv("UTF-8", "CP1251", text, cp1251));
        EXPECT_TRUE(Run({"-f", name[0], "-t", "cp1251"}, page).out == cp1251);
        EXPECT_TRUE(Run({"-f", "cp1251", "-t", name[0]}, cp1251).out == page);
        EXPECT_EQ(Run({"-f", name[0], "-t", "koi8-r"}, page).exitCode, 1);  // KOI8-R holds no і
    }
    EXPECT_TRUE(Run({"-n", "-f", "koi8-u", "-t", "cp1125"}, "a\nb\n").out == "a\r\nb\r\n");
}

} // namespace

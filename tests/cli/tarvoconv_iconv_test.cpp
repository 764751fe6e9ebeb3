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

// The bytes of a page that iconv gives a character.
std::string DefinedBytes(int page)
{
    std::string bytes, ignored;
    for (int byte = 0; byte < 256; ++byte)
        if (Iconv(IconvNames[page], "UTF-8", std::string(1, static_cast<char>(byte)), ignored))
            bytes.push_back(static_cast<char>(byte));
    return bytes;
}

TEST_F(tarvoconv_iconv, EveryByteOfEveryPageIsTheCharacterIconvGivesIt)
{
    for (int page = 0; page < CodePageCount; ++page) {
        SCOPED_TRACE(PageNames[page]);
        const std::string bytes = DefinedBytes(page);
        EXPECT_EQ(bytes.size(), page == CodePageCp1251 ? 255u : 256u);
        std::string utf8, utf16;
        ASSERT_TRUE(Iconv(IconvNames[page], "UTF-8", bytes, utf8));
        ASSERT_TRUE(Iconv(IconvNames[page], "UTF-16LE", bytes, utf16));

        EXPECT_TRUE(Run({"-f", PageNames[page], "-t", "utf-8"}, bytes).out == utf8);
        EXPECT_TRUE(Run({"-f", PageNames[page], "-t", "utf-16"}, bytes).out == "\xFF\xFE" + utf16);
        EXPECT_TRUE(Run({"-f", "utf-8", "-t", PageNames[page]}, utf8).out == bytes);
        EXPECT_TRUE(Run({"-f", "utf-16", "-t", PageNames[page]}, utf16).out == bytes);
        for (int byte = 0; byte < 256; ++byte) {
            const std::string undefined(1, static_cast<char>(byte));
            if (bytes.find(undefined) == std::string::npos) {
                EXPECT_EQ(Run({"-f", PageNames[page], "-t", "utf-8"}, undefined).exitCode, 1);
            }
        }
    }
}

// What the engine makes of one byte between two code pages.
std::string PageToPage(int source, int destination, char byte)
{
    BuildByteTables();
    SelectConversionOf(0, source, destination, 0);
    unsigned char output[2];
    const unsigned char input = static_cast<unsigned char>(byte);
    return std::string(1, static_cast<char>(output[ConvertStreamChunk(output, &input, 1, 1) - 1]));
}

TEST_F(tarvoconv_iconv, ACharacterTheDestinationLacksBecomesWhatThePageConversionWrites)
{
    // Every character of the canonical alphabet, from each page, into each
    // page: where iconv finds no byte, -c gives what the engine gives for a
    // symbol, and '?' for the Macintosh symbols that the engine reads as
    // letters.
    for (int source = 0; source < CodePageCount; ++source) {
        for (int destination = 0; destination < CodePageCount; ++destination) {
            SCOPED_TRACE(std::string(PageNames[source]) + " to " + PageNames[destination]);
            std::string utf8, expected;
            size_t firstLacking = std::string::npos;
            for (int byte = 0x80; byte < 256; ++byte) {
                if (IndexTable[source][byte] == 0)
                    continue;
                std::string character, converted;
                ASSERT_TRUE(Iconv(IconvNames[source], "UTF-8", std::string(1, static_cast<char>(byte)), character));
                if (!Iconv("UTF-8", IconvNames[destination], character, converted)) {
                    const bool symbol = IndexTable[source][byte] > 66;
                    converted = symbol ? PageToPage(source, destination, static_cast<char>(byte)) : "?";
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

// The engine against an oracle it did not write: the C library's iconv.
#include <gtest/gtest.h>

#include <iconv.h>

#include "engine_test_support.h"

namespace {

const char* const IconvNames[CodePageCount] = {"CP866", "CP1251", "KOI8-R", "MACCYRILLIC", "ISO-8859-5"};

// The byte iconv gives for one Unicode character in a code page, or -1.
int IconvByte(int page, char32_t character)
{
    iconv_t cd = iconv_open(IconvNames[page], "UTF-32LE");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return -2;
    char in[4] = {static_cast<char>(character & 0xFF), static_cast<char>((character >> 8) & 0xFF),
                  static_cast<char>((character >> 16) & 0xFF), 0};
    char out[8];
    char* inPointer = in;
    char* outPointer = out;
    size_t inLeft = sizeof in, outLeft = sizeof out;
    const size_t result = iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(cd);
    if (result == static_cast<size_t>(-1) || outPointer - out != 1)
        return -1;
    return static_cast<unsigned char>(out[0]);
}

std::vector<char32_t> Letters()
{
    std::vector<char32_t> letters;
    for (char32_t c = 0x410; c <= 0x44F; ++c)
        letters.push_back(c);
    letters.push_back(0x401);  // Ё
    letters.push_back(0x451);  // ё
    return letters;
}

TEST(IconvOracle, EveryLetterConvertsAsIconvSaysBetweenAllPairs)
{
    const std::vector<char32_t> letters = Letters();
    ASSERT_EQ(letters.size(), 66u);
    int checked = 0;
    for (int source = 0; source < CodePageCount; ++source) {
        for (int destination = 0; destination < CodePageCount; ++destination) {
            Select(source, destination);
            for (char32_t letter : letters) {
                const int from = IconvByte(source, letter);
                const int to = IconvByte(destination, letter);
                ASSERT_GE(from, 0x80) << IconvNames[source] << " U+" << std::hex << letter;
                ASSERT_GE(to, 0x80) << IconvNames[destination] << " U+" << std::hex << letter;
                EXPECT_EQ(Chunk(MakeBytes({from})), MakeBytes({to}))
                    << IconvNames[source] << " -> " << IconvNames[destination] << " U+" << std::hex << letter;
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 66 * 25);
}

TEST(IconvOracle, SymbolsWithoutACommonByteBecomeTheDestinationsOwnOrAQuestionMark)
{
    // Degree sign, middle dot, copyright sign and no-break space, from cp1251.
    const char32_t symbols[] = {0xB0, 0xB7, 0xA9, 0xA0};
    for (int destination = 0; destination < CodePageCount; ++destination) {
        Select(CodePageCp1251, destination);
        for (char32_t symbol : symbols) {
            const int own = IconvByte(destination, symbol);
            const int expected = own >= 0 ? own : '?';
            EXPECT_EQ(Chunk(MakeBytes({IconvByte(CodePageCp1251, symbol)})), MakeBytes({expected}))
                << IconvNames[destination] << " U+" << std::hex << symbol;
        }
    }
}

} // namespace

// The engine against an oracle it did not write: the C library's iconv.
#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <iterator>

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
            for (char32_t letter : letters) {
                const int from = IconvByte(source, letter);
                const int to = IconvByte(destination, letter);
                ASSERT_GE(from, 0x80) << IconvNames[source] << " U+" << std::hex << letter;
                ASSERT_GE(to, 0x80) << IconvNames[destination] << " U+" << std::hex << letter;
                EXPECT_EQ(Converted(source, destination, MakeBytes({from})), MakeBytes({to}))
                    << IconvNames[source] << " -> " << IconvNames[destination] << " U+" << std::hex << letter;
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 66 * 25);
}

TEST(IconvOracle, SymbolsWithoutACommonByteBecomeTheDestinationsOwnOrAStandIn)
{
    // Degree sign, middle dot, copyright sign and no-break space, from
    // cp1251, with the stand-in each has where the destination lacks it.
    const struct {
        char32_t symbol;
        int standIn;
    } symbols[] = {{0xB0, '?'}, {0xB7, '*'}, {0xA9, '?'}, {0xA0, ' '}};
    for (int destination = 0; destination < CodePageCount; ++destination) {
        for (const auto& s : symbols) {
            const int own = IconvByte(destination, s.symbol);
            const int expected = own >= 0 ? own : s.standIn;
            EXPECT_EQ(Converted(CodePageCp1251, destination, MakeBytes({IconvByte(CodePageCp1251, s.symbol)})),
                      MakeBytes({expected}))
                << IconvNames[destination] << " U+" << std::hex << s.symbol;
        }
    }
}

// The character of a byte of a page, 0 for none. Macintosh 0xFF is the
// euro sign, as Python's mac_cyrillic (and Apple's table since Mac OS 9)
// has it; glibc keeps the older table's currency sign there.
char32_t OracleCharacter(int page, int byte)
{
    if (page == CodePageMac && byte == 0xFF)
        return 0x20AC;
    iconv_t cd = iconv_open("UTF-32LE", IconvNames[page]);
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[8];
    char* inPointer = in;
    char* outPointer = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t result = iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(cd);
    if (result == static_cast<size_t>(-1) || outLeft != sizeof out - 4)
        return 0;
    return char32_t(out[0]) | char32_t(out[1]) << 8 | char32_t(out[2]) << 16;
}

// The byte of a character in a page, -1 for none, by the same reading.
int OracleByte(int page, char32_t character)
{
    if (page == CodePageMac && (character == 0x20AC || character == 0xA4))
        return character == 0x20AC ? 0xFF : -1;
    return IconvByte(page, character);
}

// The characters the code pages share in their plain forms where a page
// lacks them, the only ones whose stand-ins are not reported.
bool HasPlainForm(char32_t c)
{
    const char32_t plain[] = {0xAB, 0xBB, 0x201E, 0x201C, 0x201D, 0x201A, 0x2019, 0x2018,
                              0xA6, 0xA4, 0x2013, 0x2014, 0xAD, 0xAC, 0x2116, 0x2039, 0x203A};
    return std::find(std::begin(plain), std::end(plain), c) != std::end(plain);
}

TEST(IconvOracle, EveryByteOfEveryPairIsTheSameCharacterOrAnAsciiStandIn)
{
    Bytes all(256);
    for (int byte = 0; byte < 256; ++byte)
        all[byte] = static_cast<unsigned char>(byte);
    for (int source = 0; source < CodePageCount; ++source) {
        for (int destination = 0; destination < CodePageCount; ++destination) {
            SCOPED_TRACE(std::string(IconvNames[source]) + " -> " + IconvNames[destination]);
            PageConverter converter = Converter(source, destination);
            const Bytes converted = StreamChunk(converter, all);
            ASSERT_EQ(converted.size(), 256u);
            if (source == destination) {
                EXPECT_TRUE(converted == all) << "a page into itself is the identity";
                EXPECT_FALSE(converter.HasStandIns());
                continue;
            }
            unsigned reported = 0;
            for (int byte = 0; byte < 256; ++byte) {
                const int out = converted[byte];
                if (byte < 0x80) {
                    EXPECT_EQ(out, byte);
                    continue;
                }
                const char32_t character = OracleCharacter(source, byte);
                const int own = character != 0 ? OracleByte(destination, character) : -1;
                if (own >= 0) {
                    EXPECT_EQ(out, own) << "byte 0x" << std::hex << byte;
                    continue;
                }
                // Lacking: a printable ASCII byte, never the byte itself.
                EXPECT_TRUE(out >= 0x20 && out < 0x7F) << "byte 0x" << std::hex << byte << " -> 0x" << out;
                reported += !HasPlainForm(character);
            }
            EXPECT_EQ(converter.CountStandIns(all.data(), 256), reported);
            EXPECT_EQ(converter.HasStandIns(), reported > 0);
        }
    }
}

// Text in a page, from UTF-8, by iconv.
Bytes Encoded(int page, const std::string& utf8)
{
    iconv_t cd = iconv_open(IconvNames[page], "UTF-8");
    std::string in = utf8;
    Bytes out(in.size());
    char* inPointer = &in[0];
    char* outPointer = reinterpret_cast<char*>(out.data());
    size_t inLeft = in.size(), outLeft = out.size();
    const size_t result = iconv(cd, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(cd);
    EXPECT_NE(result, static_cast<size_t>(-1)) << utf8 << " in " << IconvNames[page];
    out.resize(out.size() - outLeft);
    return out;
}

Bytes Ascii(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

TEST(IconvOracle, TextOfOtherCyrillicLanguagesAndOldScreensKeepsEveryCharacterBothPagesHold)
{
    const int Cp866 = CodePageCp866, Cp1251 = CodePageCp1251, Koi8r = CodePageKoi8r, Mac = CodePageMac,
              Iso = CodePageIso88595;
    const std::string ukrainian = "Їжак Євген, ўсё; Счёт № 15, 20°C";
    const std::string frame = "╔═══╗ ┌─┐\n║ Да║ │░│\n╚═══╝ └─┘ ▒▓█";
    const std::string serbian = "Ђорђе Његош";
    const std::string typography = "«Ёлки» — да";
    const struct {
        int source, destination;
        Bytes input, expected;
        unsigned standIns;
    } cases[] = {
        {Cp866, Cp1251, Encoded(Cp866, ukrainian), Encoded(Cp1251, ukrainian), 0},
        {Cp866, Koi8r, Encoded(Cp866, frame), Encoded(Koi8r, frame), 0},
        {Cp866, Cp1251, Encoded(Cp866, frame),
         Encoded(Cp1251, "+===+ +-+\n| Да| |#|\n+===+ +-+ ###"), 24},
        {Cp1251, Iso, Encoded(Cp1251, serbian), Encoded(Iso, serbian), 0},
        {Cp1251, Mac, Encoded(Cp1251, serbian), Encoded(Mac, serbian), 0},
        {Cp1251, Cp866, Encoded(Cp1251, serbian), Encoded(Cp866, "?ор?е ?егош"), 3},
        {Cp1251, Cp1251, Encoded(Cp1251, typography), Encoded(Cp1251, typography), 0},
        {Cp1251, Koi8r, Encoded(Cp1251, typography), Encoded(Koi8r, "\"Ёлки\" - да"), 0},
        {Mac, Mac, Encoded(Mac, "† ° § • ¶"), Encoded(Mac, "† ° § • ¶"), 0},
        {Mac, Iso, Encoded(Mac, "† ° § • ¶"), Ascii("? ? \xFD * ?"), 4},
        {Cp1251, Cp866, Encoded(Cp1251, "№ 5"), Encoded(Cp866, "№ 5"), 0},
        {Cp1251, Koi8r, Encoded(Cp1251, "он… €5"), Encoded(Koi8r, "он. ?5"), 2},
        {Cp1251, Koi8r, Encoded(Cp1251, "Україна, Іван, Ґанок"), Encoded(Koi8r, "Укра?на, Iван, ?анок"), 3},
    };
    for (const auto& c : cases) {
        PageConverter converter = Converter(c.source, c.destination);
        EXPECT_TRUE(StreamChunk(converter, c.input) == c.expected)
            << IconvNames[c.source] << " -> " << IconvNames[c.destination];
        EXPECT_EQ(converter.CountStandIns(c.input.data(), static_cast<unsigned>(c.input.size())), c.standIns)
            << IconvNames[c.source] << " -> " << IconvNames[c.destination];
    }
}

} // namespace

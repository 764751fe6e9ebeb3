// Between two code pages: a character the destination has no place for
// stops the conversion, as into a code page from Unicode, unless -c asks
// for its stand-in.
#include <vector>

#include "stream_converter.h"
#include "tarvoconv_test_support.h"

namespace {

using tarvoconv_pages = TarvoconvTest;

TEST_F(tarvoconv_pages, ACharacterWithoutAPlaceFailsAtItsLineAndOffsetOrBecomesAStandInWithC)
{
    // More than one read block of lines before, every byte a line end: as
    // many lines to count as there can be.
    const std::string first(300000, '\n');
    const struct {
        const char* from;
        const char* to;
        std::string text;  // after the first line
        int offset;        // of the first character without a place, in text
        const char* says;
        std::string substituted;
    } cases[] = {
        // "он… €5"
        {"cp1251", "koi8-r", Bytes({0xEE, 0xED, 0x85, ' ', 0x88, '5'}), 2, "U+2026 cannot be written in koi8-r",
         Bytes({0xCF, 0xCE, '.', ' ', '?', '5'})},
        // A frame from an old screen, "╔═╗", into Windows.
        {"cp866", "cp1251", Bytes({'a', 0xC9, 0xCD, 0xBB}), 1, "U+2554 cannot be written in cp1251", "a+=+"},
        {"cp1251", "iso-8859-5", Bytes({0xC0, 0x98}), 1, "byte 0x98 is no character in cp1251", Bytes({0xB0, '?'})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " to " + c.to);
        WriteFile(Work("in.txt"), first + "\n" + c.text);
        const ToolRun failed = Run({"-f", c.from, "-t", c.to, Work("in.txt"), "-o", Work("out.txt")});
        ExpectFileFailure(failed, Work("in.txt"));
        const std::string where =
            "line " + std::to_string(first.size() + 2) + ", byte offset " + std::to_string(first.size() + 1 + c.offset) +
            ": " + c.says;
        EXPECT_NE(failed.err.find(where), std::string::npos) << failed.err;
        EXPECT_EQ(WorkListing(), std::set<std::string>{"in.txt"}) << "no output file";

        const ToolRun substituted = Run({"-c", "-f", c.from, "-t", c.to, Work("in.txt")});
        EXPECT_EQ(substituted.exitCode, 0) << substituted.err;
        EXPECT_TRUE(substituted.out == first + "\n" + c.substituted);
    }
}

TEST_F(tarvoconv_pages, EveryByteStopsAConversionWhereTheEngineCountsAStandIn)
{
    // Each byte from 0x80 up with 100 bytes of ASCII before it, far enough
    // into a block to be looked at with others; the byte that stops the
    // conversion is taken out and the rest converted again, until none does.
    const char* const pages[] = {"cp866", "cp1251", "koi8-r", "mac", "iso-8859-5"};
    const std::string ascii(100, 'x');
    for (int source = 0; source < CodePageCount; ++source) {
        for (int destination = 0; destination < CodePageCount; ++destination) {
            SCOPED_TRACE(std::string(pages[source]) + " to " + pages[destination]);
            const PageConverter converter(source, destination, Keep);
            std::vector<unsigned char> bytes;
            for (int byte = 0x80; byte < 256; ++byte)
                bytes.push_back(static_cast<unsigned char>(byte));
            for (;;) {
                std::string text;
                size_t stop = bytes.size();
                for (size_t n = 0; n < bytes.size(); ++n) {
                    text += ascii + static_cast<char>(bytes[n]);
                    if (stop == bytes.size() && converter.CountStandIns(&bytes[n], 1) == 1)
                        stop = n;
                }
                const ToolRun run = Run({"-f", pages[source], "-t", pages[destination]}, text + ascii);
                if (stop == bytes.size()) {
                    EXPECT_EQ(run.exitCode, 0) << run.err;
                    break;
                }
                const std::string where = ", byte offset " + std::to_string((stop + 1) * (ascii.size() + 1) - 1) + ":";
                ASSERT_NE(run.err.find(where), std::string::npos) << "byte " << int(bytes[stop]) << ": " << run.err;
                bytes.erase(bytes.begin() + static_cast<long>(stop));
            }
        }
    }
}

TEST_F(tarvoconv_pages, PlainFormsOfSharedSymbolsAndAPageIntoItselfNeedNoC)
{
    // "«Ёлки» — да": quotes and a dash in their plain forms in KOI8-R.
    const std::string typography = Bytes({0xAB, 0xA8, 0xEB, 0xEA, 0xE8, 0xBB, ' ', 0x97, ' ', 0xE4, 0xE0});
    const ToolRun plain = Run({"-f", "cp1251", "-t", "koi8-r"}, typography);
    EXPECT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_TRUE(plain.out == Bytes({'"', 0xB3, 0xCC, 0xCB, 0xC9, '"', ' ', '-', ' ', 0xC4, 0xC1}));

    // Into itself every byte stays, the one without a character too.
    const ToolRun same = Run({"-f", "cp1251", "-t", "cp1251"}, typography + "\x98");
    EXPECT_EQ(same.exitCode, 0) << same.err;
    EXPECT_TRUE(same.out == typography + "\x98");
}

} // namespace

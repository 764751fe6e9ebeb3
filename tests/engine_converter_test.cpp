#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "unicode_conversion.h"

namespace {

const int Cp866 = CodePageCp866, Cp1251 = CodePageCp1251, Koi8r = CodePageKoi8r,
          Mac = CodePageMac, Iso = CodePageIso88595;

TEST(ConvertText, TranslatesLettersAndSymbolsThroughTheTables)
{
    struct Case {
        int source, destination;
        Bytes input, expected;
    } cases[] = {
        {Cp1251, Cp866, MakeBytes({0xC0}), MakeBytes({0x80})},
        {Koi8r, Cp1251, MakeBytes({0xE1, 0xC1, 0xC0}), MakeBytes({0xC0, 0xE0, 0xFE})},
        {Koi8r, Cp866, MakeBytes({0xC0}), MakeBytes({0xEE})},
        {Cp866, Cp1251, MakeBytes({0xF0}), MakeBytes({0xA8})},
        {Cp866, Koi8r, MakeBytes({0xF0}), MakeBytes({0xB3})},
        {Cp866, Mac, MakeBytes({0xF0}), MakeBytes({0xDD})},
        {Cp866, Iso, MakeBytes({0xF0}), MakeBytes({0xA1})},
        // A symbol the destination holds is its own; the others take the
        // plain forms the shared symbols always had.
        {Cp1251, Cp866, MakeBytes({0xB9, 0xAB, 0x96, 0x41}), MakeBytes({0xFC, 0x22, 0x2D, 0x41})},
        {Cp1251, Koi8r, MakeBytes({0xAB, 0xA6}), MakeBytes({0x22, 0x7C})},
        {Cp1251, Mac, MakeBytes({0x97, 0xA6}), MakeBytes({0xD1, 0x7C})},
        {Koi8r, Cp1251, MakeBytes({0x9C, 0x9A, 0xBF, 0x9E}), MakeBytes({0xB0, 0xA0, 0xA9, 0xB7})},
        // A page into itself keeps every byte, its typography too.
        {Cp1251, Cp1251, MakeBytes({0x93, 0x96, 0x82, 0x84, 0xAB, 0x97, 0x98}),
         MakeBytes({0x93, 0x96, 0x82, 0x84, 0xAB, 0x97, 0x98})},
        {Mac, Mac, MakeBytes({0xA0, 0xAF, 0xFF}), MakeBytes({0xA0, 0xAF, 0xFF})},
        // Macintosh 0xA0 is a dagger, not a letter.
        {Mac, Cp866, MakeBytes({0xA0, 0xE0}), MakeBytes({0x3F, 0xA0})},
        // No byte passes unchanged into another page: each is the same
        // character there or a stand-in. Bytes below 0x80 stay as they are.
        {Iso, Mac, MakeBytes({0xA1, 0xF1, 0xA0, 0xF0}), MakeBytes({0xDD, 0xDE, 0xCA, 0xDC})},
        {Cp866, Cp1251, MakeBytes({0xF8, 0xB0, 0x22, 0x7C, 0x60}), MakeBytes({0xB0, 0x23, 0x22, 0x7C, 0x60})},
        {Mac, Koi8r, MakeBytes({0xFF}), MakeBytes({0x3F})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Converted(c.source, c.destination, c.input), c.expected) << c.source << " -> " << c.destination;
        EXPECT_EQ(StreamConverted(c.source, c.destination, c.input), c.expected)
            << c.source << " -> " << c.destination;
    }
}

TEST(ConvertText, WritesTheDestinationsOwnSymbolOrAStandInInsteadOfANul)
{
    // cp1251 degree sign, middle dot, copyright sign, no-break space.
    const Bytes symbols = MakeBytes({0xB0, 0xB7, 0xA9, 0xA0});
    EXPECT_EQ(Converted(Cp1251, Cp866, symbols), MakeBytes({0xF8, 0xFA, 0x3F, 0xFF}));
    EXPECT_EQ(Converted(Cp1251, Mac, symbols), MakeBytes({0xA1, 0x2A, 0xA9, 0xCA}));
    EXPECT_EQ(Converted(Cp1251, Iso, symbols), MakeBytes({0x3F, 0x2A, 0x3F, 0xA0}));
    // From KOI8-R too, and the text is not cut short.
    EXPECT_EQ(Converted(Koi8r, Iso, MakeBytes({0x9C, 0x41, 0x9A})), MakeBytes({0x3F, 0x41, 0xA0}));
}

TEST(StandIns, AreCountedAndFoundButNotThePlainFormsOfSharedSymbols)
{
    // Letters after a run of ASCII that the count passes eight at a time.
    Bytes frame(13, 'a');
    frame.insert(frame.end(), {0xB0, 0x80, 'b', 0xDB});
    struct Case {
        int source, destination;
        Bytes input;
        bool any;
        unsigned count, first;
    } cases[] = {
        // "он… €5": an ellipsis and a euro sign KOI8-R lacks.
        {Cp1251, Koi8r, MakeBytes({0xEE, 0xED, 0x85, 0x20, 0x88, 0x35}), true, 2, 2},
        // "«Ёлки» — да": quotes and a dash in their plain forms.
        {Cp1251, Koi8r, MakeBytes({0xAB, 0xA8, 0xEB, 0xEA, 0xE8, 0xBB, 0x20, 0x97, 0x20, 0xE4, 0xE0}), true, 0, 11},
        {Cp1251, Cp1251, MakeBytes({0x85, 0x88, 0x98}), false, 0, 3},
        {Cp1251, Iso, MakeBytes({0x98, 0x41}), true, 1, 0},  // no character at all
        {Cp866, Cp1251, frame, true, 2, 13},
    };
    for (const Case& c : cases) {
        const PageConverter converter = Converter(c.source, c.destination);
        const unsigned count = static_cast<unsigned>(c.input.size());
        EXPECT_EQ(converter.HasStandIns(), c.any) << c.source << " -> " << c.destination;
        EXPECT_EQ(converter.CountStandIns(c.input.data(), count), c.count) << c.source << " -> " << c.destination;
        EXPECT_EQ(converter.FirstStandIn(c.input.data(), count), c.first) << c.source << " -> " << c.destination;
    }
}

TEST(ConvertText, StopsAfterTheFirstNulWhileTheStreamFormGoesOn)
{
    for (bool newlines : {false, true}) {
        PageConverter converter = Converter(Koi8r, Cp1251, newlines);
        Bytes input = MakeBytes({0x41, 0x00, 0x42});
        Bytes output(8, 0xEE);
        EXPECT_EQ(converter.ConvertText(output.data(), input.data(), 3), 2);
        EXPECT_EQ(output[0], 0x41);
        EXPECT_EQ(output[1], 0x00);
        EXPECT_EQ(output[2], 0xEE);
        EXPECT_EQ(converter.Carried(), 0x00) << "the byte after the NUL is not consumed";

        PageConverter stream = Converter(Koi8r, Cp1251, newlines);
        EXPECT_EQ(StreamChunk(stream, MakeBytes({0xE1, 0x00, 0xC1, 0x00})), MakeBytes({0xC0, 0x00, 0xE0, 0x00}));
        EXPECT_EQ(stream.Carried(), 0x00);
    }
}

TEST(ConvertText, ACountOfZeroWritesNothing)
{
    PageConverter converter = Converter(Koi8r, Cp1251, true);
    unsigned char output[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    const unsigned char input[1] = {0x0A};
    EXPECT_EQ(converter.ConvertText(output, input, 0), 0);
    EXPECT_EQ(converter.Convert(output, input, 0), 0);
    EXPECT_EQ(output[0], 0xEE);
}

TEST(ForOption, PicksTheLineEndModeFromTheCodePagesAndTheOption)
{
    struct Case {
        int source, destination;
        bool option;
        int mode;
    } cases[] = {
        {Koi8r, Cp1251, false, Keep},   {Cp1251, Koi8r, false, Keep},  {Koi8r, Cp1251, true, AddCr},
        {Koi8r, Mac, true, AddCr},      {Cp866, Koi8r, true, StripCr}, {Iso, Koi8r, true, StripCr},
        {Koi8r, Koi8r, true, AddCr},    {Cp1251, Cp1251, true, Keep},  {Cp866, Cp1251, true, Keep},
    };
    for (const Case& c : cases) {
        const PageConverter converter = Converter(c.source, c.destination, c.option);
        EXPECT_EQ(converter.Source(), c.source);
        EXPECT_EQ(converter.Destination(), c.destination);
        EXPECT_EQ(converter.Newlines(), c.mode) << c.source << " -> " << c.destination << " option " << c.option;
    }
}

TEST(ForOption, TheSecondPassGoesFromTheFirstDestinationToCp1251)
{
    PageConverter second = PageConverter::SecondPass(Koi8r, true);
    EXPECT_EQ(second.Source(), Koi8r);
    EXPECT_EQ(second.Destination(), Cp1251);
    EXPECT_EQ(second.Newlines(), AddCr);
    EXPECT_EQ(Chunk(second, MakeBytes({0xE1, 0x0A})), MakeBytes({0xC0, 0x0D, 0x0A}));

    second = PageConverter::SecondPass(Mac, true);
    EXPECT_EQ(second.Source(), Mac);
    EXPECT_EQ(second.Newlines(), Keep);
}

TEST(PageConverter, ACodePageOutsideTheFiveLeavesEveryByteAsItIs)
{
    for (int bad : {-1, 5, 15}) {
        EXPECT_EQ(Converted(bad, Cp1251, MakeBytes({0xE1, 0xFF, 0x41})), MakeBytes({0xE1, 0xFF, 0x41}));
        EXPECT_EQ(Converted(Koi8r, bad, MakeBytes({0xE1, 0xFF, 0x41})), MakeBytes({0xE1, 0xFF, 0x41}));
    }
    PageConverter none;
    EXPECT_EQ(Chunk(none, MakeBytes({0xE1, 0xFF, 0x0A})), MakeBytes({0xE1, 0xFF, 0x0A}));
    EXPECT_FALSE(none.HasStandIns());
}

TEST(AddCr, GivesEveryLoneLfACrAlsoAcrossCalls)
{
    PageConverter converter = Converter(Koi8r, Cp1251, true);
    EXPECT_EQ(Chunk(converter, MakeBytes({0x61, 0x0D})), MakeBytes({0x61, 0x0D}));
    EXPECT_EQ(Chunk(converter, MakeBytes({0x0A, 0x62, 0x0A})), MakeBytes({0x0A, 0x62, 0x0D, 0x0A}));
    EXPECT_EQ(Chunk(converter, MakeBytes({0x0A})), MakeBytes({0x0D, 0x0A}));

    EXPECT_EQ(Converted(Koi8r, Cp1251, MakeBytes({0x0A}), true), MakeBytes({0x0D, 0x0A}));
    EXPECT_EQ(Converted(Koi8r, Cp1251, MakeBytes({0x0D, 0x0A, 0x0D}), true), MakeBytes({0x0D, 0x0A, 0x0D}));

    // A finished stream forgets the carried CR; so does a copy's stream.
    EXPECT_EQ(Chunk(converter, MakeBytes({0x0D})), MakeBytes({0x0D}));
    PageConverter copy = converter;
    unsigned char tail[2];
    EXPECT_EQ(converter.Finish(tail), 0);
    EXPECT_EQ(Chunk(converter, MakeBytes({0x0A})), MakeBytes({0x0D, 0x0A}));
    EXPECT_EQ(Chunk(copy, MakeBytes({0x0A})), MakeBytes({0x0A})) << "the copy goes on with the stream";

    // A converted letter is never taken for a CR: cp866 0x8C is index 13.
    EXPECT_EQ(Converted(Koi8r, Koi8r, MakeBytes({0xED, 0x0A}), true), MakeBytes({0xED, 0x0D, 0x0A}));
}

TEST(StripCr, DropsCrBeforeLfAndKeepsOneCrBeforeAnythingElse)
{
    PageConverter converter = Converter(Cp866, Koi8r, true);
    EXPECT_EQ(Chunk(converter, MakeBytes({0x61, 0x0D})), MakeBytes({0x61}));
    EXPECT_EQ(Chunk(converter, MakeBytes({0x0A, 0x62})), MakeBytes({0x0A, 0x62}));
    EXPECT_EQ(Chunk(converter, MakeBytes({0x0D})), Bytes());
    EXPECT_EQ(Chunk(converter, MakeBytes({0x78})), MakeBytes({0x0D, 0x78}));

    const Bytes input = MakeBytes({0x0D, 0x0D, 0x0A, 0x78, 0x0D, 0x0D, 0x79, 0x0D, 0x7A, 0x0D, 0x00, 0x71});
    EXPECT_EQ(Converted(Cp866, Koi8r, input, true), MakeBytes({0x0A, 0x78, 0x0D, 0x79, 0x0D, 0x7A, 0x0D, 0x00}));
    EXPECT_EQ(StreamConverted(Cp866, Koi8r, input, true),
              MakeBytes({0x0A, 0x78, 0x0D, 0x79, 0x0D, 0x7A, 0x0D, 0x00, 0x71}));

    // A pending CR followed by another CR stays pending.
    PageConverter runs = Converter(Cp866, Koi8r, true);
    EXPECT_EQ(Chunk(runs, MakeBytes({0x0D})), Bytes());
    EXPECT_EQ(Chunk(runs, MakeBytes({0x0D})), Bytes());
    EXPECT_EQ(Chunk(runs, MakeBytes({0x0A})), MakeBytes({0x0A}));
}

TEST(Finish, WritesTheCrThatEndsAStreamAndNothingElse)
{
    struct Case {
        int source, destination;
        bool option;
        Bytes last, tail;  // the stream's last block, what finishing writes
    } cases[] = {
        {Cp866, Koi8r, true, MakeBytes({0x61, 0x0D}), MakeBytes({0x0D})},
        {Cp866, Koi8r, true, MakeBytes({0x0D, 0x0D}), MakeBytes({0x0D})},
        {Cp866, Koi8r, true, MakeBytes({0x0D, 0x0A}), Bytes()},
        {Cp866, Koi8r, true, MakeBytes({0x0D, 0x61}), Bytes()},
        {Koi8r, Cp1251, true, MakeBytes({0x61, 0x0D}), Bytes()},  // AddCr writes CRs at once
        {Cp866, Koi8r, false, MakeBytes({0x61, 0x0D}), Bytes()},
    };
    for (const Case& c : cases) {
        PageConverter converter = Converter(c.source, c.destination, c.option);
        StreamChunk(converter, c.last);
        Bytes tail(2, 0xEE);
        tail.resize(static_cast<size_t>(converter.Finish(tail.data())));
        EXPECT_EQ(tail, c.tail);
        EXPECT_EQ(converter.Finish(tail.data()), 0) << "a finished stream holds nothing back";
    }
}

TEST(Estimate, CountsTheLineEndsItWillChange)
{
    const unsigned char ten[10] = {0x0A, 0x0A};
    PageConverter keep = Converter(Koi8r, Cp1251);
    EXPECT_EQ(keep.Estimate(ten, 10), 10u);
    EXPECT_EQ(keep.Estimate(ten, 0), 0u);

    PageConverter addCr = Converter(Koi8r, Cp1251, true);
    const Bytes lfs = MakeBytes({0x0A, 0x0A, 0x00, 0x0A});
    EXPECT_EQ(addCr.Estimate(lfs.data(), 4), 7u);
    EXPECT_EQ(Chunk(addCr, lfs), MakeBytes({0x0D, 0x0A, 0x0D, 0x0A, 0x00}));

    PageConverter stripCr = Converter(Cp1251, Koi8r, true);
    const Bytes crlf = MakeBytes({0x0D, 0x0A});
    EXPECT_EQ(stripCr.Estimate(crlf.data(), 2), 2u);
    EXPECT_EQ(Chunk(stripCr, crlf), MakeBytes({0x0A}));
    EXPECT_EQ(stripCr.Estimate(crlf.data(), 0), 1u);

    // Its carry is its own: Convert's does not move it, and a finished
    // stream forgets it.
    PageConverter carries = Converter(Cp1251, Koi8r, true);
    const unsigned char cr = 0x0D, lf = 0x0A;
    EXPECT_EQ(carries.Estimate(&cr, 1), 2u);
    carries.Convert(Bytes(4).data(), &lf, 1);
    EXPECT_EQ(carries.Estimate(&lf, 1), 1u);
    EXPECT_EQ(carries.Estimate(&cr, 1), 2u);
    carries.Finish(Bytes(4).data());
    EXPECT_EQ(carries.Estimate(&lf, 1), 2u);
}

TEST(UnicodeConverter, ALastBlockConvertedToItsEndStartsANewStreamAndAStopDoesNot)
{
    UnicodeConverter converter(CodePageCp1251, EncodingUtf16, false, false);
    unsigned char out[16];  // more than OutputSize(2)
    const unsigned char a = 'a', undefinedThenB[2] = {0x98, 'b'};
    EXPECT_EQ(converter.Convert(out, &a, 1, true).written, 4u) << "a mark and the letter";
    const UnicodeChunk stopped = converter.Convert(out, undefinedThenB, 2, true);
    EXPECT_EQ(stopped.stop, UnicodeUndefined);
    EXPECT_EQ(stopped.written, 2u) << "a new stream, with a mark of its own";
    EXPECT_EQ(converter.Convert(out, undefinedThenB + 1, 1, true).written, 2u) << "the stream goes on: no mark";
    EXPECT_EQ(converter.Convert(out, &a, 1, true).written, 4u);
}

} // namespace

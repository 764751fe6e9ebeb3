#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace {

const int Cp866 = CodePageCp866, Cp1251 = CodePageCp1251, Koi8r = CodePageKoi8r,
          Mac = CodePageMac, Iso = CodePageIso88595;

TEST(ConvertChunk, TranslatesLettersAndSymbolsThroughTheTables)
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
        Select(c.source, c.destination);
        EXPECT_EQ(Chunk(c.input), c.expected) << c.source << " -> " << c.destination;
        EXPECT_EQ(StreamChunk(c.input), c.expected) << c.source << " -> " << c.destination;
    }
}

TEST(ConvertChunk, WritesTheDestinationsOwnSymbolOrAStandInInsteadOfANul)
{
    // cp1251 degree sign, middle dot, copyright sign, no-break space.
    const Bytes symbols = MakeBytes({0xB0, 0xB7, 0xA9, 0xA0});
    Select(Cp1251, Cp866);
    EXPECT_EQ(Chunk(symbols), MakeBytes({0xF8, 0xFA, 0x3F, 0xFF}));
    Select(Cp1251, Mac);
    EXPECT_EQ(Chunk(symbols), MakeBytes({0xA1, 0x2A, 0xA9, 0xCA}));
    Select(Cp1251, Iso);
    EXPECT_EQ(Chunk(symbols), MakeBytes({0x3F, 0x2A, 0x3F, 0xA0}));
    // From KOI8-R too, and the text is not cut short.
    Select(Koi8r, Iso);
    EXPECT_EQ(Chunk(MakeBytes({0x9C, 0x41, 0x9A})), MakeBytes({0x3F, 0x41, 0xA0}));
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
        Select(c.source, c.destination);
        const unsigned count = static_cast<unsigned>(c.input.size());
        EXPECT_EQ(ConversionHasStandIns(), c.any) << c.source << " -> " << c.destination;
        EXPECT_EQ(CountStandIns(c.input.data(), count), c.count) << c.source << " -> " << c.destination;
        EXPECT_EQ(FirstStandIn(c.input.data(), count), c.first) << c.source << " -> " << c.destination;
    }
}

TEST(ConvertChunk, StopsAfterTheFirstNulWhileTheStreamFormGoesOn)
{
    for (bool newlines : {false, true}) {
        Select(Koi8r, Cp1251, newlines);
        Bytes input = MakeBytes({0x41, 0x00, 0x42});
        Bytes output(8, 0xEE);
        EXPECT_EQ(ConvertChunk(output.data(), input.data(), 3, 1), 2);
        EXPECT_EQ(output[0], 0x41);
        EXPECT_EQ(output[1], 0x00);
        EXPECT_EQ(output[2], 0xEE);
        EXPECT_EQ(ChunkCarry, 0x00) << "the byte after the NUL is not consumed";

        EXPECT_EQ(StreamChunk(MakeBytes({0xE1, 0x00, 0xC1, 0x00})), MakeBytes({0xC0, 0x00, 0xE0, 0x00}));
        EXPECT_EQ(ChunkCarry, 0x00);
    }
}

TEST(ConvertChunk, ACountOfZeroWritesNothing)
{
    Select(Koi8r, Cp1251, true);
    unsigned char output[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    const unsigned char input[1] = {0x0A};
    EXPECT_EQ(ConvertChunk(output, input, 0, 1), 0);
    EXPECT_EQ(ConvertStreamChunk(output, input, 0, 1), 0);
    EXPECT_EQ(output[0], 0xEE);
}

TEST(SelectConversion, PicksTheLineEndModeFromTheCodePagesAndTheOption)
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
        Select(c.source, c.destination, c.option);
        EXPECT_EQ(Conversion.Src, c.source);
        EXPECT_EQ(Conversion.Dst, c.destination);
        EXPECT_EQ(Conversion.Newlines, c.mode) << c.source << " -> " << c.destination << " option " << c.option;
    }
}

TEST(SelectConversion, TheSecondPassGoesFromTheLastDestinationToCp1251)
{
    Select(Cp1251, Koi8r, true);
    EXPECT_EQ(Conversion.Newlines, StripCr);
    SelectConversionOf(1, Iso, Iso, true);  // source and destination are not looked at
    EXPECT_EQ(Conversion.Src, Koi8r);
    EXPECT_EQ(Conversion.Dst, Cp1251);
    EXPECT_EQ(Conversion.Newlines, AddCr);
    EXPECT_EQ(Chunk(MakeBytes({0xE1, 0x0A})), MakeBytes({0xC0, 0x0D, 0x0A}));

    Select(Koi8r, Mac, true);
    SelectConversionOf(1, 0, 0, true);
    EXPECT_EQ(Conversion.Src, Mac);
    EXPECT_EQ(Conversion.Newlines, Keep);
}

TEST(SelectConversion, ACodePageOutsideTheFiveLeavesEveryByteAsItIs)
{
    for (int bad : {-1, 5, 15}) {
        SelectConversionOf(0, bad, Cp1251, false);
        EXPECT_EQ(Chunk(MakeBytes({0xE1, 0xFF, 0x41})), MakeBytes({0xE1, 0xFF, 0x41}));
        SelectConversionOf(0, Koi8r, bad, false);
        EXPECT_EQ(Chunk(MakeBytes({0xE1, 0xFF, 0x41})), MakeBytes({0xE1, 0xFF, 0x41}));
    }
}

TEST(AddCr, GivesEveryLoneLfACrAlsoAcrossCalls)
{
    Select(Koi8r, Cp1251, true);
    EXPECT_EQ(Chunk(MakeBytes({0x61, 0x0D}), 1), MakeBytes({0x61, 0x0D}));
    EXPECT_EQ(Chunk(MakeBytes({0x0A, 0x62, 0x0A}), 0), MakeBytes({0x0A, 0x62, 0x0D, 0x0A}));
    EXPECT_EQ(Chunk(MakeBytes({0x0A}), 0), MakeBytes({0x0D, 0x0A}));

    EXPECT_EQ(Chunk(MakeBytes({0x0A}), 1), MakeBytes({0x0D, 0x0A}));
    EXPECT_EQ(Chunk(MakeBytes({0x0D, 0x0A, 0x0D}), 1), MakeBytes({0x0D, 0x0A, 0x0D}));

    // A first block forgets the carried CR.
    EXPECT_EQ(Chunk(MakeBytes({0x0D}), 1), MakeBytes({0x0D}));
    EXPECT_EQ(Chunk(MakeBytes({0x0A}), 1), MakeBytes({0x0D, 0x0A}));

    // A converted letter is never taken for a CR: cp866 0x8C is index 13.
    Select(Koi8r, Koi8r, true);
    EXPECT_EQ(Chunk(MakeBytes({0xED, 0x0A})), MakeBytes({0xED, 0x0D, 0x0A}));
}

TEST(StripCr, DropsCrBeforeLfAndKeepsOneCrBeforeAnythingElse)
{
    Select(Cp866, Koi8r, true);
    EXPECT_EQ(Chunk(MakeBytes({0x61, 0x0D}), 1), MakeBytes({0x61}));
    EXPECT_EQ(Chunk(MakeBytes({0x0A, 0x62}), 0), MakeBytes({0x0A, 0x62}));
    EXPECT_EQ(Chunk(MakeBytes({0x0D}), 0), Bytes());
    EXPECT_EQ(Chunk(MakeBytes({0x78}), 0), MakeBytes({0x0D, 0x78}));

    const Bytes input = MakeBytes({0x0D, 0x0D, 0x0A, 0x78, 0x0D, 0x0D, 0x79, 0x0D, 0x7A, 0x0D, 0x00, 0x71});
    EXPECT_EQ(Chunk(input), MakeBytes({0x0A, 0x78, 0x0D, 0x79, 0x0D, 0x7A, 0x0D, 0x00}));
    EXPECT_EQ(StreamChunk(input), MakeBytes({0x0A, 0x78, 0x0D, 0x79, 0x0D, 0x7A, 0x0D, 0x00, 0x71}));

    // A pending CR followed by another CR stays pending.
    EXPECT_EQ(Chunk(MakeBytes({0x0D}), 1), Bytes());
    EXPECT_EQ(Chunk(MakeBytes({0x0D}), 0), Bytes());
    EXPECT_EQ(Chunk(MakeBytes({0x0A}), 0), MakeBytes({0x0A}));
}

TEST(FinishStream, WritesTheCrThatEndsAStreamAndNothingElse)
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
        Select(c.source, c.destination, c.option);
        StreamChunk(c.last);
        Bytes tail(2, 0xEE);
        tail.resize(static_cast<size_t>(FinishStream(tail.data())));
        EXPECT_EQ(tail, c.tail);
        EXPECT_EQ(FinishStream(tail.data()), 0) << "a finished stream holds nothing back";
    }

    // A stream left unfinished (a job cancelled with a CR held back) is not
    // finished by the next one, which starts when its conversion is chosen.
    Select(Cp866, Koi8r, true);
    StreamChunk(MakeBytes({0x61, 0x0D}));
    Select(Cp866, Koi8r, true);
    unsigned char tail[2];
    EXPECT_EQ(FinishStream(tail), 0) << "an empty file after an abandoned one stays empty";
}

TEST(EstimateOutputSize, CountsTheLineEndsItWillChange)
{
    const unsigned char ten[10] = {0x0A, 0x0A};
    Select(Koi8r, Cp1251);
    EXPECT_EQ(EstimateOutputSize(ten, 10, 1), 10u);
    EXPECT_EQ(EstimateOutputSize(ten, 0, 1), 0u);

    Select(Koi8r, Cp1251, true);
    const Bytes lfs = MakeBytes({0x0A, 0x0A, 0x00, 0x0A});
    EXPECT_EQ(EstimateOutputSize(lfs.data(), 4, 1), 7u);
    EXPECT_EQ(Chunk(lfs), MakeBytes({0x0D, 0x0A, 0x0D, 0x0A, 0x00}));

    Select(Cp1251, Koi8r, true);
    const Bytes crlf = MakeBytes({0x0D, 0x0A});
    EXPECT_EQ(EstimateOutputSize(crlf.data(), 2, 1), 2u);
    EXPECT_EQ(Chunk(crlf), MakeBytes({0x0A}));
    EXPECT_EQ(EstimateOutputSize(crlf.data(), 0, 1), 1u);

    // Its carry is its own: ConvertChunk's does not move it.
    const unsigned char cr = 0x0D, lf = 0x0A;
    EXPECT_EQ(EstimateOutputSize(&cr, 1, 1), 2u);
    ConvertChunk(Bytes(4).data(), &lf, 1, 1);
    EXPECT_EQ(EstimateOutputSize(&lf, 1, 0), 1u);
}

} // namespace

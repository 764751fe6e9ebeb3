// Properties over random text: block boundaries are invisible, the size
// estimate is never short, and the two entry points agree on text.
#include <gtest/gtest.h>

#include <random>

#include "engine_test_support.h"

namespace {

// Random bytes weighted toward line ends, so that CR LF pairs, CR runs and
// lone LFs occur often. NULs only when asked for.
Bytes RandomText(std::mt19937& random, size_t length, bool withNuls)
{
    std::uniform_int_distribution<int> pick(0, 15);
    std::uniform_int_distribution<int> any(withNuls ? 0 : 1, 255);
    Bytes text(length);
    for (auto& b : text) {
        const int p = pick(random);
        b = static_cast<unsigned char>(p < 3 ? 0x0D : p < 6 ? 0x0A : any(random));
    }
    return text;
}

struct Mode {
    int source, destination;
    bool option;
} const Modes[] = {
    {CodePageKoi8r, CodePageCp1251, false},  // Keep
    {CodePageKoi8r, CodePageMac, true},      // AddCr
    {CodePageCp866, CodePageKoi8r, true},    // StripCr
};

// Converts text in blocks cut at the given points, as a file job does, in
// a new stream of mode's conversion.
Bytes ConvertInBlocks(const Mode& mode, const Bytes& text, const std::vector<size_t>& cuts, bool stream)
{
    PageConverter converter = Converter(mode.source, mode.destination, mode.option);
    Bytes result;
    size_t start = 0;
    for (size_t n = 0; n <= cuts.size(); ++n) {
        const size_t end = n < cuts.size() ? cuts[n] : text.size();
        Bytes block(text.begin() + start, text.begin() + end);
        Bytes out(2 * block.size() + 1);
        const unsigned count = static_cast<unsigned>(block.size());
        const int written = stream ? converter.Convert(out.data(), block.data(), count)
                                   : converter.ConvertText(out.data(), block.data(), count);
        result.insert(result.end(), out.begin(), out.begin() + written);
        start = end;
    }
    return result;
}

TEST(Properties, SplittingTextIntoBlocksAnywhereGivesTheSameOutput)
{
    std::mt19937 random(20261207);
    for (const Mode& mode : Modes) {
        for (int round = 0; round < 300; ++round) {
            const Bytes text = RandomText(random, 1 + random() % 200, false);
            const Bytes whole = ConvertInBlocks(mode, text, {}, false);
            std::vector<size_t> cuts;
            size_t at = 0;
            while ((at += random() % 9) < text.size())
                cuts.push_back(at);  // empty blocks included
            ASSERT_EQ(ConvertInBlocks(mode, text, cuts, false), whole) << mode.source << " -> " << mode.destination;
            ASSERT_EQ(ConvertInBlocks(mode, text, cuts, true), whole) << mode.source << " -> " << mode.destination;
        }
    }
}

TEST(Properties, StreamFormSplitsLikeTheTextFormAlsoWithNuls)
{
    std::mt19937 random(7);
    for (const Mode& mode : Modes) {
        for (int round = 0; round < 300; ++round) {
            const Bytes text = RandomText(random, 1 + random() % 200, true);
            const Bytes whole = ConvertInBlocks(mode, text, {}, true);
            std::vector<size_t> cuts;
            for (size_t at = random() % 17; at < text.size(); at += 1 + random() % 17)
                cuts.push_back(at);
            ASSERT_EQ(ConvertInBlocks(mode, text, cuts, true), whole);
        }
    }
}

TEST(Properties, TheEstimateIsNeverLessThanWhatIsWritten)
{
    std::mt19937 random(99);
    for (const Mode& mode : Modes) {
        for (int round = 0; round < 500; ++round) {
            // Consecutive blocks of one stream, both carries following it.
            PageConverter converter = Converter(mode.source, mode.destination, mode.option);
            const int blocks = 1 + random() % 4;
            for (int n = 0; n < blocks; ++n) {
                const Bytes block = RandomText(random, random() % 40, round % 2 == 0);
                const unsigned count = static_cast<unsigned>(block.size());
                const unsigned estimate = converter.Estimate(block.data(), count);
                Bytes out(2 * count + 1);
                const int written = converter.ConvertText(out.data(), block.data(), count);
                ASSERT_GE(estimate, static_cast<unsigned>(written)) << "mode " << converter.Newlines();
                if (block.empty() || converter.Newlines() == Keep || n > 0)
                    continue;
                ASSERT_GT(estimate, static_cast<unsigned>(written));
            }
        }
    }
}

TEST(Properties, BothEntryPointsAgreeOnTextWithoutNuls)
{
    std::mt19937 random(1);
    for (const Mode& mode : Modes) {
        for (int round = 0; round < 300; ++round) {
            const Bytes text = RandomText(random, random() % 300, false);
            PageConverter textForm = Converter(mode.source, mode.destination, mode.option);
            PageConverter streamForm = textForm;
            ASSERT_EQ(Chunk(textForm, text), StreamChunk(streamForm, text));
            ASSERT_EQ(textForm.Carried(), streamForm.Carried());
        }
    }
}

TEST(Properties, StandInsAreCountedAndFoundAsByteByByteInLongText)
{
    // Long runs of one kind of byte and of any byte, so that the count
    // passes words by their values for a while and goes by look-ups for a
    // while, and a stand-in may come at any place.
    std::mt19937 random(31);
    for (int source = 0; source < CodePageCount; ++source) {
        for (int destination = 0; destination < CodePageCount; ++destination) {
            const PageConverter converter = Converter(source, destination);
            for (int round = 0; round < 4; ++round) {
                Bytes text;
                while (text.size() < 20000) {
                    // Letters of most pages, ASCII, the upper half, anything.
                    const int kinds[4][2] = {{0xC0, 0xFF}, {0x20, 0x7F}, {0x80, 0xFF}, {0x00, 0xFF}};
                    const int* kind = kinds[random() % 4];
                    std::uniform_int_distribution<int> pick(kind[0], kind[1]);
                    for (int n = 1 + random() % 3000; n > 0; --n)
                        text.push_back(static_cast<unsigned char>(pick(random)));
                }
                unsigned count = 0, first = static_cast<unsigned>(text.size());
                for (size_t n = 0; n < text.size(); ++n) {
                    const unsigned one = converter.CountStandIns(&text[n], 1);
                    count += one;
                    if (one && first == text.size())
                        first = static_cast<unsigned>(n);
                }
                const unsigned size = static_cast<unsigned>(text.size());
                ASSERT_EQ(converter.CountStandIns(text.data(), size), count) << source << " -> " << destination;
                ASSERT_EQ(converter.FirstStandIn(text.data(), size), first) << source << " -> " << destination;
            }
        }
    }
}

} // namespace

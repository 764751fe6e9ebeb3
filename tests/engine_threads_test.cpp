// Converters on many threads at once, each its own conversion, against the
// same conversions run one after another: nothing one converter does may
// show in another's output. The threads start together, so that natively,
// where each test is a process of its own, they also race to build the
// engine's shared tables on first use.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <thread>

#include "engine_test_support.h"
#include "unicode_conversion.h"

namespace {

// A conversion between code pages, or through Unicode where unicode is set.
struct ThreadCase {
    int source, destination;
    bool newlines;
    bool unicode;
    int path;  // PathScalar, or -1 for the fastest
};

const ThreadCase ThreadCases[] = {
    {CodePageKoi8r, CodePageCp1251, true, false, -1},
    {CodePageCp1251, CodePageKoi8r, true, false, PathScalar},
    {CodePageCp866, CodePageIso88595, false, false, -1},
    {CodePageMac, CodePageCp866, false, false, PathScalar},
    {CodePageCp1251, EncodingUtf8, false, true, -1},
    {CodePageKoi8r, EncodingUtf16, true, true, PathScalar},
    {EncodingUtf8, CodePageCp866, true, true, -1},
    {EncodingUtf8, EncodingUtf16, false, true, -1},
    {EncodingUtf16, CodePageMac, false, true, PathScalar},
};
const int ThreadCaseCount = sizeof ThreadCases / sizeof ThreadCases[0];

// Text for a source: any bytes for a page (line ends among them), else
// characters of one to four bytes in UTF-8, or the same in UTF-16.
Bytes TextFor(int source, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes text;
    if (source < CodePageCount) {
        for (int n = 0; n < 40000; ++n)
            text.push_back(static_cast<unsigned char>(random() % 5 == 0 ? "\r\n "[random() % 3] : random()));
        return text;
    }
    const std::u16string pieces[] = {u"a", u"\n", u"\r\n", u"\r", u"\u044F", u"\u0451", u"\u2500", u"\U0001F600"};
    for (int n = 0; n < 20000; ++n) {
        for (char16_t unit : pieces[random() % 8]) {
            if (source == EncodingUtf16) {
                text.insert(text.end(), {static_cast<unsigned char>(unit), static_cast<unsigned char>(unit >> 8)});
                continue;
            }
            // Through U+FFFF one unit is one character; the emoji's two
            // halves make F0 9F 98 80.
            const unsigned char emoji[2][2] = {{0xF0, 0x9F}, {0x98, 0x80}};
            if (unit >= 0xD800)
                text.insert(text.end(), emoji[unit >= 0xDC00], emoji[unit >= 0xDC00] + 2);
            else if (unit < 0x80)
                text.push_back(static_cast<unsigned char>(unit));
            else if (unit < 0x800)
                text.insert(text.end(), {static_cast<unsigned char>(0xC0 | unit >> 6),
                                         static_cast<unsigned char>(0x80 | (unit & 0x3F))});
            else
                text.insert(text.end(), {static_cast<unsigned char>(0xE0 | unit >> 12),
                                         static_cast<unsigned char>(0x80 | (unit >> 6 & 0x3F)),
                                         static_cast<unsigned char>(0x80 | (unit & 0x3F))});
        }
    }
    return text;
}

struct Outcome {
    Bytes bytes;
    unsigned standIns = 0;
    int stop = UnicodeConverted;

    bool operator==(const Outcome& other) const
    {
        return bytes == other.bytes && standIns == other.standIns && stop == other.stop;
    }
};

// One stream of the case's conversion in blocks of blockSize bytes, a
// character cut off by a block carried into the next.
Outcome ConvertInBlocks(const ThreadCase& c, const Bytes& text, unsigned blockSize)
{
    Outcome outcome;
    Bytes& bytes = outcome.bytes;
    if (!c.unicode) {
        PageConverter converter = Converter(c.source, c.destination, c.newlines);
        if (c.path >= 0)
            converter.UsePath(c.path);
        Bytes out(2 * blockSize + 1);
        for (size_t at = 0; at < text.size(); at += blockSize) {
            const unsigned count = static_cast<unsigned>(std::min<size_t>(blockSize, text.size() - at));
            outcome.standIns += converter.CountStandIns(&text[at], count);
            bytes.insert(bytes.end(), out.begin(), out.begin() + converter.Convert(out.data(), &text[at], count));
        }
        bytes.insert(bytes.end(), out.begin(), out.begin() + converter.Finish(out.data()));
        return outcome;
    }
    UnicodeConverter converter(c.source, c.destination, c.newlines, true);
    if (c.path >= 0)
        converter.UsePath(c.path);
    Bytes block;
    for (size_t at = 0;;) {
        const size_t take = std::min<size_t>(blockSize, text.size() - at);
        block.insert(block.end(), text.begin() + at, text.begin() + at + take);
        at += take;
        const bool last = at == text.size();
        Bytes out(UnicodeConverter::OutputSize(static_cast<unsigned>(block.size())));
        const UnicodeChunk chunk = converter.Convert(out.data(), block.data(), static_cast<unsigned>(block.size()), last);
        bytes.insert(bytes.end(), out.begin(), out.begin() + chunk.written);
        outcome.stop = chunk.stop;
        if (chunk.stop != UnicodeConverted || last)
            return outcome;
        block.erase(block.begin(), block.begin() + chunk.consumed);
    }
}

TEST(Threads, ConvertersOnManyThreadsAtOnceGiveWhatEachGivesAlone)
{
    const int Threads = 12, Rounds = 6;
    std::vector<Bytes> texts;
    for (int n = 0; n < Threads; ++n)
        texts.push_back(TextFor(ThreadCases[n % ThreadCaseCount].source, 100 + n));
    const auto blockSize = [](int n, int round) { return 1u + (97u * n + 1009u * round) % 3000u; };

    std::vector<std::vector<Outcome>> found(Threads, std::vector<Outcome>(Rounds));
    std::atomic<int> ready(0);
    std::vector<std::thread> threads;
    for (int n = 0; n < Threads; ++n) {
        threads.emplace_back([&, n] {
            ++ready;
            while (ready < Threads)
                std::this_thread::yield();
            for (int round = 0; round < Rounds; ++round)
                found[n][round] = ConvertInBlocks(ThreadCases[n % ThreadCaseCount], texts[n], blockSize(n, round));
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    for (int n = 0; n < Threads; ++n) {
        const ThreadCase& c = ThreadCases[n % ThreadCaseCount];
        for (int round = 0; round < Rounds; ++round)
            ASSERT_TRUE(found[n][round] == ConvertInBlocks(c, texts[n], blockSize(n, round)))
                << "thread " << n << ", round " << round << ": " << c.source << " -> " << c.destination;
    }
}

} // namespace

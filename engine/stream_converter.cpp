#include "stream_converter.h"

#include "conversion_kernel.h"
#include "page_characters.h"
#include "stand_ins.h"

namespace {

const std::uint64_t Ones = 0x0101010101010101ull, Highs = 0x8080808080808080ull;

// Tells the bytes of a word that lie in the spans, worked on their low
// seven bits, where neither the sums nor the differences carry from byte to
// byte; the constants are made once per call.
struct SpanTest {
    std::uint64_t below[2], above[2];

    template <typename Range>
    explicit SpanTest(const Range (&spans)[2])
    {
        for (int k = 0; k < 2; ++k) {
            below[k] = (0x7Fu + (spans[k].low - 0x80u)) * Ones;
            above[k] = (0x7Fu - (spans[k].high - 0x80u)) * Ones;
        }
    }

    // Whether any of the eight bytes of word may be a stand-in.
    bool MayHold(std::uint64_t word) const
    {
        const std::uint64_t low7 = word & ~Highs;
        const std::uint64_t outside0 = (below[0] - low7) | (low7 + above[0]);
        const std::uint64_t outside1 = (below[1] - low7) | (low7 + above[1]);
        return (word & Highs & ~(outside0 & outside1)) != 0;
    }
};

} // namespace

NewlineMode NewlinesForOption(int source, int destination, bool convertNewlines)
{
    if (!convertNewlines)
        return Keep;
    if (source == CodePageKoi8r)
        return AddCr;  // also KOI8-R to KOI8-R
    return destination == CodePageKoi8r ? StripCr : Keep;
}

PageConverter::PageConverter() : PageConverter(-1, -1, Keep) {}

// Every byte of the source page becomes the destination's byte for the
// same character, or its stand-in where the destination lacks it. A page
// converted into itself keeps every byte, the one without a character too.
PageConverter::PageConverter(int source, int destination, NewlineMode newlines)
    : standInSpans_(), anyStandIn_(false), source_(source), destination_(destination),
      newlines_(newlines == AddCr || newlines == StripCr ? newlines : Keep), path_(StartingConversionPath()),
      kernel_(&conversion::KernelOfPath(path_)), shortcut_(), carried_(0), estimateCarried_(0)
{
    unsigned char* const map = tables_.map;
    for (int byte = 0; byte < 256; ++byte) {
        map[byte] = static_cast<unsigned char>(byte);
        standInBytes_[byte] = 0;
    }
    const pages::PageTables* from = pages::TablesOf(source);
    const pages::PageTables* into = pages::TablesOf(destination);
    if (from != nullptr && into != nullptr && source != destination) {
        for (int byte = 0x80; byte < 256; ++byte) {
            const char32_t character = from->character[byte];
            const unsigned char converted = into->bytes.ByteOf(character);
            if (converted != 0) {
                map[byte] = converted;
                continue;
            }
            const StandIn standIn = character != 0 ? StandInFor(character) : StandIn{'?', false};
            map[byte] = standIn.byte;
            standInBytes_[byte] = standIn.plainForm ? 0 : 1;
            anyStandIn_ = anyStandIn_ || !standIn.plainForm;
        }
    }

    unsigned char delta[8][16];
    for (int byte = 0x80; byte < 256; ++byte)
        delta[(byte - 0x80) >> 4][byte & 15] = static_cast<unsigned char>(map[byte] ^ byte);
    for (int k = 0; k < 8; ++k)
        for (int low = 0; low < 32; ++low)
            tables_.steps[k][low] =
                static_cast<unsigned char>(delta[k][low & 15] ^ (k < 7 ? delta[k + 1][low & 15] : 0));

    if (!anyStandIn_)
        return;
    // Two ranges that hold every stand-in byte and as few others as two
    // can: split at the widest gap between them.
    int first = -1, last = -1, gapStart = -1, gapEnd = -1, previous = -1;
    for (int byte = 0x80; byte < 256; ++byte) {
        if (!standInBytes_[byte])
            continue;
        if (first < 0)
            first = byte;
        if (previous >= 0 && byte - previous > gapEnd - gapStart) {
            gapStart = previous;
            gapEnd = byte;
        }
        previous = last = byte;
    }
    const bool split = gapStart >= 0 && gapEnd - gapStart > 1;
    standInSpans_[0] = {static_cast<unsigned char>(first), static_cast<unsigned char>(split ? gapStart : last)};
    standInSpans_[1] = {static_cast<unsigned char>(split ? gapEnd : first), static_cast<unsigned char>(last)};
}

PageConverter PageConverter::ForOption(int source, int destination, bool convertNewlines)
{
    return PageConverter(source, destination, NewlinesForOption(source, destination, convertNewlines));
}

PageConverter PageConverter::SecondPass(int firstDestination, bool convertNewlines)
{
    return ForOption(firstDestination, CodePageCp1251, convertNewlines);
}

bool PageConverter::UsePath(int path)
{
    if (!CanRunConversionPath(path))
        return false;
    path_ = path;
    kernel_ = &conversion::KernelOfPath(path);
    return true;
}

template <bool StopAtNul>
int PageConverter::ConvertBlock(unsigned char* output, const unsigned char* input, unsigned count)
{
    conversion::Run run = {&tables_, output, carried_, shortcut_};
    run = kernel_->convert[StopAtNul][newlines_](run, input, count);
    carried_ = run.previous;
    shortcut_ = run.shortcut;
    return static_cast<int>(run.out - output);
}

int PageConverter::Convert(unsigned char* output, const unsigned char* input, unsigned count)
{
    return ConvertBlock<false>(output, input, count);
}

int PageConverter::ConvertText(unsigned char* output, const unsigned char* input, unsigned count)
{
    return ConvertBlock<true>(output, input, count);
}

int PageConverter::Finish(unsigned char* output)
{
    // Under StripCr a CR is held back until the next byte shows whether it
    // ends a CR LF; at the end of the stream nothing follows, so it stays.
    const bool pendingCr = newlines_ == StripCr && carried_ == conversion::CR;
    carried_ = estimateCarried_ = 0;
    if (!pendingCr)
        return 0;
    *output = conversion::CR;
    return 1;
}

unsigned PageConverter::Estimate(const unsigned char* input, unsigned count)
{
    if (newlines_ == Keep)
        return count;
    // Grows with every LF that gains a CR, shrinks with every CR LF that
    // loses its CR; the extra byte covers a pending CR written back.
    unsigned size = count + 1;
    for (unsigned n = 0; n < count; ++n) {
        const unsigned char b = input[n];
        if (b == conversion::LF) {
            if (newlines_ == AddCr && estimateCarried_ != conversion::CR)
                ++size;
            else if (newlines_ == StripCr && estimateCarried_ == conversion::CR)
                --size;
        }
        estimateCarried_ = b;
        if (b == 0)
            break;
    }
    return size;
}

// Counts the stand-ins among count input bytes, or with FindFirst returns
// the offset of the first (count for none). Eight bytes at a time go by on
// the spans alone; but where the spans often hold bytes that are no
// stand-ins (typography in cp1251, whose quotes and dashes lie among the
// Serbian and Ukrainian letters that KOI8-R lacks), a look-up for every
// byte costs less than a branch that guesses wrong, so a chunk with many
// such words sends the next 64 chunks straight to the look-ups.
template <bool FindFirst>
unsigned PageConverter::ScanStandIns(const unsigned char* input, unsigned count) const
{
    const unsigned ChunkWords = 64, WordsLookedAtAllowed = 8, ChunksWithout = 64;
    // An array rather than a pointer: GCC then keeps the look-ups scalar,
    // which its emulated gathers would make half as fast.
    const unsigned char (&standIn)[256] = standInBytes_;
    const SpanTest spans(standInSpans_);
    unsigned found = 0, n = 0, withoutSpans = 0;
    while (count - n >= 8) {
        const unsigned words = (count - n) / 8 < ChunkWords ? (count - n) / 8 : ChunkWords;
        const unsigned end = n + 8 * words;
        if (withoutSpans > 0) {
            --withoutSpans;
            for (; n < end; ++n) {
                found += standIn[input[n]];
                if (FindFirst && found)
                    return n;
            }
            continue;
        }
        unsigned lookedAt = 0;
        for (; n < end; n += 8) {
            std::uint64_t word;
            std::memcpy(&word, input + n, 8);
            if (!spans.MayHold(word))
                continue;
            ++lookedAt;
            for (unsigned k = 0; k < 8; ++k) {
                found += standIn[input[n + k]];
                if (FindFirst && found)
                    return n + k;
            }
        }
        if (lookedAt > WordsLookedAtAllowed)
            withoutSpans = ChunksWithout;
    }
    for (; n < count; ++n) {
        found += standIn[input[n]];
        if (FindFirst && found)
            return n;
    }
    return FindFirst ? count : found;
}

unsigned PageConverter::CountStandIns(const unsigned char* input, unsigned count) const
{
    return anyStandIn_ ? ScanStandIns<false>(input, count) : 0;
}

unsigned PageConverter::FirstStandIn(const unsigned char* input, unsigned count) const
{
    return anyStandIn_ ? ScanStandIns<true>(input, count) : count;
}

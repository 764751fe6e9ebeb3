#include "stream_converter.h"

#include "conversion_kernel.h"
#include "stand_ins.h"
#include "unicode_tables.h"

ConversionRecord Conversion;
unsigned char ChunkCarry;
unsigned char EstimateCarry;

namespace {

// Whenever a conversion is selected its tables are derived from the
// characters of both code pages, so that converting costs one look-up.
// Until then they leave every byte as it is: a conversion run before any
// selection must not turn the text into NULs.
constexpr conversion::Tables IdentityTables()
{
    conversion::Tables tables = {};
    for (int byte = 0; byte < 256; ++byte)
        tables.map[byte] = static_cast<unsigned char>(byte);
    return tables;
}

conversion::Tables Tables = IdentityTables();
unsigned char* const ConversionMap = Tables.map;
conversion::Shortcut Lookups;  // how the selected conversion's look-ups fare

// Which bytes the selected conversion writes as a stand-in the user is
// told about; none at all when AnyStandIn is false.
unsigned char StandInBytes[256];
bool AnyStandIn;

// The values those bytes lie between, as two ranges (both the same where
// one will do), so that eight bytes can be seen to hold none without a
// look-up each. Russian letters lie outside them for most pairs.
struct ByteRange {
    unsigned char low, high;
};
ByteRange StandInSpans[2];

// Two ranges that hold every stand-in byte and as few others as two can:
// split at the widest gap between them.
void FindStandInSpans()
{
    int first = -1, last = -1, gapStart = -1, gapEnd = -1, previous = -1;
    for (int byte = 0x80; byte < 256; ++byte) {
        if (!StandInBytes[byte])
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
    StandInSpans[0] = {static_cast<unsigned char>(first), static_cast<unsigned char>(split ? gapStart : last)};
    StandInSpans[1] = {static_cast<unsigned char>(split ? gapEnd : first), static_cast<unsigned char>(last)};
}

const std::uint64_t Ones = 0x0101010101010101ull, Highs = 0x8080808080808080ull;

// Tells the bytes of a word that lie in the spans, worked on their low
// seven bits, where neither the sums nor the differences carry from byte to
// byte; the constants are made once per call.
struct SpanTest {
    std::uint64_t below[2], above[2];

    SpanTest()
    {
        for (int k = 0; k < 2; ++k) {
            below[k] = (0x7Fu + (StandInSpans[k].low - 0x80u)) * Ones;
            above[k] = (0x7Fu - (StandInSpans[k].high - 0x80u)) * Ones;
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

// Counts the stand-ins among count input bytes, or with FindFirst returns
// the offset of the first (count for none). Eight bytes at a time go by on
// the spans alone; but where the spans often hold bytes that are no
// stand-ins (typography in cp1251, whose quotes and dashes lie among the
// Serbian and Ukrainian letters that KOI8-R lacks), a look-up for every
// byte costs less than a branch that guesses wrong, so a chunk with many
// such words sends the next 64 chunks straight to the look-ups.
template <bool FindFirst>
unsigned ScanStandIns(const unsigned char* input, unsigned count)
{
    const unsigned ChunkWords = 64, WordsLookedAtAllowed = 8, ChunksWithout = 64;
    const SpanTest spans;
    unsigned found = 0, n = 0, withoutSpans = 0;
    while (count - n >= 8) {
        const unsigned words = (count - n) / 8 < ChunkWords ? (count - n) / 8 : ChunkWords;
        const unsigned end = n + 8 * words;
        if (withoutSpans > 0) {
            --withoutSpans;
            for (; n < end; ++n) {
                found += StandInBytes[input[n]];
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
                found += StandInBytes[input[n + k]];
                if (FindFirst && found)
                    return n + k;
            }
        }
        if (lookedAt > WordsLookedAtAllowed)
            withoutSpans = ChunksWithout;
    }
    for (; n < count; ++n) {
        found += StandInBytes[input[n]];
        if (FindFirst && found)
            return n;
    }
    return FindFirst ? count : found;
}

bool IsCodePage(int page)
{
    return page >= 0 && page < CodePageCount;
}

// The destination's byte for character, 0 where it has none.
unsigned char ByteOf(int page, char32_t character)
{
    for (int byte = 0x80; byte < 256; ++byte)
        if (UnicodeOfByte[page][byte - 0x80] == character)
            return static_cast<unsigned char>(byte);
    return 0;
}

// Every byte of the source page becomes the destination's byte for the
// same character, or its stand-in where the destination lacks it. A page
// converted into itself keeps every byte, the one without a character too.
void BuildConversionMap(int source, int destination)
{
    for (int byte = 0; byte < 256; ++byte) {
        ConversionMap[byte] = static_cast<unsigned char>(byte);
        StandInBytes[byte] = 0;
    }
    AnyStandIn = false;
    if (!IsCodePage(source) || !IsCodePage(destination) || source == destination)
        return;
    for (int byte = 0x80; byte < 256; ++byte) {
        const char32_t character = UnicodeOfByte[source][byte - 0x80];
        const unsigned char converted = character != 0 ? ByteOf(destination, character) : 0;
        if (converted != 0) {
            ConversionMap[byte] = converted;
            continue;
        }
        const StandIn standIn = character != 0 ? StandInFor(character) : StandIn{'?', false};
        ConversionMap[byte] = standIn.byte;
        StandInBytes[byte] = standIn.plainForm ? 0 : 1;
        AnyStandIn = AnyStandIn || !standIn.plainForm;
    }
    if (AnyStandIn)
        FindStandInSpans();
}

void BuildSteps()
{
    unsigned char delta[8][16];
    for (int byte = 0x80; byte < 256; ++byte)
        delta[(byte - 0x80) >> 4][byte & 15] = static_cast<unsigned char>(ConversionMap[byte] ^ byte);
    for (int k = 0; k < 8; ++k)
        for (int low = 0; low < 32; ++low)
            Tables.steps[k][low] = static_cast<unsigned char>(delta[k][low & 15] ^ (k < 7 ? delta[k + 1][low & 15] : 0));
}

template <bool StopAtNul>
int Convert(unsigned char* output, const unsigned char* input, unsigned count, int first)
{
    if (first)
        ChunkCarry = 0;
    const int mode = Conversion.Newlines == AddCr || Conversion.Newlines == StripCr ? Conversion.Newlines : Keep;
    conversion::Run run = {&Tables, output, ChunkCarry, Lookups};
    run = conversion::KernelInUse().convert[StopAtNul][mode](run, input, count);
    ChunkCarry = run.previous;
    Lookups = run.shortcut;
    return static_cast<int>(run.out - output);
}

} // namespace

void SelectConversionOf(int secondPass, int source, int destination, int convertNewlines)
{
    if (secondPass) {
        Conversion.Src = Conversion.Dst;
        Conversion.Dst = CodePageCp1251;
    } else {
        Conversion.Src = source;
        Conversion.Dst = destination;
    }

    Conversion.Newlines = Keep;
    if (convertNewlines) {
        const bool fromUnix = Conversion.Src == CodePageKoi8r;
        const bool toUnix = Conversion.Dst == CodePageKoi8r;
        if (fromUnix)
            Conversion.Newlines = AddCr;  // also KOI8-R to KOI8-R
        else if (toUnix)
            Conversion.Newlines = StripCr;
    }

    BuildConversionMap(Conversion.Src, Conversion.Dst);
    BuildSteps();
    Lookups = conversion::Shortcut();
    // A new conversion is a new stream: a CR that a cancelled or failed job
    // still held back must not turn up at the end of the next one.
    ChunkCarry = EstimateCarry = 0;
}

int ConvertChunk(unsigned char* output, const unsigned char* input, unsigned count, int first)
{
    return Convert<true>(output, input, count, first);
}

int ConvertStreamChunk(unsigned char* output, const unsigned char* input, unsigned count, int first)
{
    return Convert<false>(output, input, count, first);
}

int FinishStream(unsigned char* output)
{
    // Under StripCr a CR is held back until the next byte shows whether it
    // ends a CR LF; at the end of the stream nothing follows, so it stays.
    const bool pendingCr = Conversion.Newlines == StripCr && ChunkCarry == CR;
    ChunkCarry = 0;
    if (!pendingCr)
        return 0;
    *output = CR;
    return 1;
}

unsigned EstimateOutputSize(const unsigned char* input, unsigned count, int first)
{
    if (Conversion.Newlines == Keep)
        return count;
    if (first)
        EstimateCarry = 0;

    // Grows with every LF that gains a CR, shrinks with every CR LF that
    // loses its CR; the extra byte covers a pending CR written back.
    unsigned size = count + 1;
    for (unsigned n = 0; n < count; ++n) {
        const unsigned char b = input[n];
        if (b == LF) {
            if (Conversion.Newlines == AddCr && EstimateCarry != CR)
                ++size;
            else if (Conversion.Newlines == StripCr && EstimateCarry == CR)
                --size;
        }
        EstimateCarry = b;
        if (b == 0)
            break;
    }
    return size;
}

bool ConversionHasStandIns()
{
    return AnyStandIn;
}

unsigned CountStandIns(const unsigned char* input, unsigned count)
{
    return AnyStandIn ? ScanStandIns<false>(input, count) : 0;
}

unsigned FirstStandIn(const unsigned char* input, unsigned count)
{
    return AnyStandIn ? ScanStandIns<true>(input, count) : count;
}

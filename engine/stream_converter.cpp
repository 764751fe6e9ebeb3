#include "stream_converter.h"

#include <cstdint>
#include <cstring>

ConversionRecord Conversion;
unsigned char ChunkCarry;
unsigned char EstimateCarry;

namespace {

const unsigned char CR = 0x0D;
const unsigned char LF = 0x0A;

// Byte by byte result of the selected conversion, derived from the tables
// whenever a conversion is selected, so that converting costs one look-up.
// Until then it leaves every byte as it is: a conversion run before any
// selection must not turn the text into NULs.
struct ByteMap {
    unsigned char bytes[256];
};

constexpr ByteMap IdentityMap()
{
    ByteMap map = {};
    for (int byte = 0; byte < 256; ++byte)
        map.bytes[byte] = static_cast<unsigned char>(byte);
    return map;
}

ByteMap Map = IdentityMap();
unsigned char* const ConversionMap = Map.bytes;

// Four symbols have no byte of their own in cp866, Macintosh and ISO-8859-5,
// and their ByteTable entry there is 0. A 0x00 in the middle of text would
// cut it short, so the destination's own character is written where that
// page has one outside the common alphabet, else '?'.
unsigned char SubstituteFor(int page, int index)
{
    switch (page) {
    case CodePageCp866:
        switch (index) {
        case 70: return 0xF8;  // degree sign
        case 71: return 0xFA;  // middle dot
        case 75: return 0xFF;  // no-break space
        }
        break;
    case CodePageMac:
        switch (index) {
        case 70: return 0xA1;
        case 74: return 0xA9;  // copyright sign
        case 75: return 0xCA;
        }
        break;
    case CodePageIso88595:
        if (index == 75)
            return 0xA0;
        break;
    }
    return '?';
}

bool IsCodePage(int page)
{
    return page >= 0 && page < CodePageCount;
}

void BuildConversionMap(int source, int destination)
{
    for (int byte = 0; byte < 256; ++byte)
        ConversionMap[byte] = static_cast<unsigned char>(byte);
    if (!IsCodePage(source) || !IsCodePage(destination))
        return;
    for (int byte = 0x80; byte < 256; ++byte) {
        const int index = IndexTable[source][byte];
        if (index == 0)
            continue;
        const unsigned char converted = ByteTable[destination][index - 1];
        ConversionMap[byte] = converted != 0 ? converted : SubstituteFor(destination, index);
    }
}

// True when any of the eight bytes of word is below 0x0E, that is NUL, LF,
// CR or a rarer control character. Words without such a byte need no
// line-end or end-of-text test at all.
inline bool HasControlByte(std::uint64_t word)
{
    const std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    return ((word - ones * 0x0E) & ~word & highs) != 0;
}

// The converter's state while it runs through one call.
struct Run {
    const unsigned char* map;
    unsigned char* out;
    unsigned char previous;  // the last input byte consumed
};

// One byte by the full rules of the mode. Returns false after a NUL that
// ends the text.
template <int Mode, bool StopAtNul>
inline bool Step(Run& run, unsigned char b)
{
    if (Mode == AddCr) {
        if (b == LF && run.previous != CR)
            *run.out++ = CR;
    } else if (Mode == StripCr) {
        if (b == CR) {
            run.previous = CR;
            return true;
        }
        if (run.previous == CR && b != LF)
            *run.out++ = CR;
    }
    run.previous = b;
    *run.out++ = run.map[b];
    return !(StopAtNul && b == 0);
}

// Most text holds long stretches without control bytes: those go eight at
// a time, straight through the map, and only the rest byte by byte.
template <int Mode, bool StopAtNul>
Run ConvertBytes(Run run, const unsigned char* input, unsigned count)
{
    // run is a local copy: the compiler can keep it in registers, since the
    // bytes written cannot alias it.
    const bool anyByteMatters = Mode != Keep || StopAtNul;
    unsigned n = 0;
    while (count - n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, input + n, 8);
        if (!anyByteMatters || !HasControlByte(word)) {
            if (Mode == StripCr && run.previous == CR)
                *run.out++ = CR;  // pending from before, and no LF follows
            for (unsigned k = 0; k < 8; ++k)
                run.out[k] = run.map[input[n + k]];
            run.out += 8;
            n += 8;
            run.previous = input[n - 1];
            continue;
        }
        for (const unsigned end = n + 8; n < end;)
            if (!Step<Mode, StopAtNul>(run, input[n++]))
                return run;
    }
    while (n < count)
        if (!Step<Mode, StopAtNul>(run, input[n++]))
            return run;
    return run;
}

template <bool StopAtNul>
int Convert(unsigned char* output, const unsigned char* input, unsigned count, int first)
{
    if (first)
        ChunkCarry = 0;
    Run run = {ConversionMap, output, ChunkCarry};
    switch (Conversion.Newlines) {
    case AddCr: run = ConvertBytes<AddCr, StopAtNul>(run, input, count); break;
    case StripCr: run = ConvertBytes<StripCr, StopAtNul>(run, input, count); break;
    default: run = ConvertBytes<Keep, StopAtNul>(run, input, count); break;
    }
    ChunkCarry = run.previous;
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

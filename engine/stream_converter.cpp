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
    if (!AnyStandIn)
        return 0;
    // ASCII, eight bytes at a time, never becomes a stand-in.
    unsigned found = 0, n = 0;
    for (; count - n >= 8; n += 8) {
        std::uint64_t word;
        std::memcpy(&word, input + n, 8);
        if ((word & 0x8080808080808080ull) == 0)
            continue;
        for (unsigned k = 0; k < 8; ++k)
            found += StandInBytes[input[n + k]];
    }
    for (; n < count; ++n)
        found += StandInBytes[input[n]];
    return found;
}

unsigned FirstStandIn(const unsigned char* input, unsigned count)
{
    if (!AnyStandIn)
        return count;
    unsigned n = 0;
    for (; count - n >= 8; n += 8) {
        std::uint64_t word;
        std::memcpy(&word, input + n, 8);
        if ((word & 0x8080808080808080ull) == 0)
            continue;
        for (unsigned k = 0; k < 8; ++k)
            if (StandInBytes[input[n + k]])
                return n + k;
    }
    for (; n < count; ++n)
        if (StandInBytes[input[n]])
            return n;
    return count;
}

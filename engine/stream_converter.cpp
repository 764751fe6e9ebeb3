#include "stream_converter.h"

#include "conversion_kernel.h"

ConversionRecord Conversion;
unsigned char ChunkCarry;
unsigned char EstimateCarry;

namespace {

// Whenever a conversion is selected its tables are derived from the code
// page tables, so that converting costs one look-up. Until then they leave
// every byte as it is: a conversion run before any selection must not turn
// the text into NULs.
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

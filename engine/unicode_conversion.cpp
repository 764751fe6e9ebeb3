#include "unicode_conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "repair_page_tables.h"
#include "stream_converter.h"
#include "unicode_tables.h"
#include "unicode_vector.h"

UnicodeConversionRecord UnicodeConversion;

namespace {

const char32_t LF = 0x0A;
const char32_t CR = 0x0D;

enum EncodingKind { KindPage, KindUtf8, KindUtf16 };

bool IsCodePage(int encoding)
{
    return encoding >= 0 && encoding < CodePageCount;
}

// The one of the five whose stand-ins a page borrows for the symbols it
// lacks: its Russian sibling.
int StandInPage(int encoding)
{
    return encoding == EncodingKoi8u ? CodePageKoi8r : encoding == EncodingCp1125 ? CodePageCp866 : encoding;
}

int KindOf(int encoding)
{
    return encoding == EncodingUtf8 ? KindUtf8 : encoding == EncodingUtf16 ? KindUtf16 : KindPage;
}

// Canonical indices from here up are punctuation and other symbols.
const int FirstSymbolIndex = 67;

// The destination page's byte for each character from 0x80 up, 0 for none:
// blocks of 256 characters found through the character's high byte. The
// five pages use eight blocks between them.
const int MaxBlocks = 16;
struct PageByCharacter {
    unsigned char blockOf[256];  // block number + 1; 0: the page has nothing there
    unsigned char blocks[MaxBlocks][256];
    int used;
};
PageByCharacter Destination;

// The source page's character for each byte; 0 for a byte that has none,
// except at 0 itself.
char32_t SourceCharacters[256];

// Two source page bytes written in the destination encoding, for the fast
// path: up to six bytes, then what the path must know of the two, so that
// one look-up does all the work for two bytes. The table takes 512 KiB, of
// which text touches a small part.
struct EncodedPair {
    unsigned char bytes[8];
};
const int PairNotes = 6;                 // the number of LFs, plus NoCharacter
const int PairLength = 7;                // how many bytes to write
const unsigned char NoCharacter = 0x80;  // one of the two has no character
// At the two bytes read as one 16-bit number in this machine's byte order.
EncodedPair SourcePairs[65536];

// For the vector path into UTF-8, where the path in use has one.
unicode::Utf8Planes PageUtf8Planes;

// What carries over from one block to the next.
struct StreamState {
    bool atInputStart;  // a byte order mark may still come
    bool bomOwed;       // UTF-16 output still lacks its byte order mark
    bool bigEndian;     // UTF-16 input that started with a big-endian mark
    bool crHeld;        // StripCr: a CR not yet written, in case an LF follows
    char32_t previous;  // AddCr: the character before
};
StreamState State;

unsigned char DestinationByte(char32_t character)
{
    if (character > 0xFFFF)
        return 0;
    const int block = Destination.blockOf[character >> 8];
    return block != 0 ? Destination.blocks[block - 1][character & 0xFF] : 0;
}

// Gives the character a byte unless it has one already.
void PutDestinationByte(char32_t character, unsigned char byte)
{
    if (character == 0 || character > 0xFFFF || DestinationByte(character) != 0)
        return;
    unsigned char& block = Destination.blockOf[character >> 8];
    if (block == 0) {
        if (Destination.used == MaxBlocks)
            return;
        block = static_cast<unsigned char>(++Destination.used);
    }
    Destination.blocks[block - 1][character & 0xFF] = byte;
}

void BuildDestination(int encoding, bool substitute)
{
    std::memset(&Destination, 0, sizeof Destination);
    const unsigned short* characters = PageCharacters(encoding);
    for (int byte = 0x80; byte < 256; ++byte)
        PutDestinationByte(characters[byte - 0x80], static_cast<unsigned char>(byte));
    if (!substitute)
        return;
    const int page = StandInPage(encoding);
    // Every symbol of the canonical alphabet that the page lacks gets what
    // converting it from a code page gives, so that a quote or a dash comes
    // out the same whichever way the text arrives. Letters need none: every
    // page has them all. (Macintosh bytes 0xA0..0xAF, symbols in Unicode,
    // convert between code pages as letters, and do not count here.)
    BuildByteTables();
    for (int other = 0; other < CodePageCount; ++other) {
        for (int byte = 0x80; byte < 256; ++byte) {
            const int index = IndexTable[other][byte];
            if (index < FirstSymbolIndex)
                continue;
            unsigned char standIn = ByteTable[page][index - 1];
            // A sibling's stand-in only where it is the same character here.
            if (standIn >= 0x80 && characters[standIn - 0x80] != UnicodeOfByte[page][standIn - 0x80])
                standIn = 0;
            PutDestinationByte(UnicodeOfByte[other][byte - 0x80], standIn != 0 ? standIn : '?');
        }
    }
}

unsigned char* PutUtf8(unsigned char* out, char32_t c)
{
    if (c < 0x80) {
        *out++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<unsigned char>(0xC0 | c >> 6);
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<unsigned char>(0xE0 | c >> 12);
        *out++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<unsigned char>(0xF0 | c >> 18);
        *out++ = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    return out;
}

unsigned char* PutUtf16Unit(unsigned char* out, char32_t unit)
{
    *out++ = static_cast<unsigned char>(unit & 0xFF);
    *out++ = static_cast<unsigned char>(unit >> 8);
    return out;
}

unsigned char* PutUtf16(unsigned char* out, char32_t c)
{
    if (c < 0x10000)
        return PutUtf16Unit(out, c);
    out = PutUtf16Unit(out, 0xD800 + ((c - 0x10000) >> 10));
    return PutUtf16Unit(out, 0xDC00 + (c & 0x3FF));
}

void BuildSource(int page, int destination)
{
    struct Encoded {
        unsigned char bytes[4];
        unsigned length;
    } single[256];
    for (int byte = 0; byte < 256; ++byte) {
        char32_t c = static_cast<char32_t>(byte);
        if (byte >= 0x80)
            c = IsSingleBytePage(page) ? PageCharacters(page)[byte - 0x80] : 0;
        SourceCharacters[byte] = c;
        if (c == 0 && byte != 0) {
            single[byte].length = NoCharacter;
            continue;
        }
        unsigned char* end = destination == EncodingUtf16 ? PutUtf16(single[byte].bytes, c)
                                                          : PutUtf8(single[byte].bytes, c);
        single[byte].length = static_cast<unsigned>(end - single[byte].bytes);
    }
    if (!IsUnicodeEncoding(destination))
        return;
    for (int byte = 0x80; byte < 256; ++byte) {
        const bool two = single[byte].length == 2 && destination == EncodingUtf8;
        PageUtf8Planes.lead[byte - 0x80] = two ? single[byte].bytes[0] : 0;
        PageUtf8Planes.trail[byte - 0x80] = two ? single[byte].bytes[1] : 0;
        PageUtf8Planes.other[byte - 0x80] = two ? 0 : 1;
    }
    for (int first = 0; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            const unsigned char both[2] = {static_cast<unsigned char>(first), static_cast<unsigned char>(second)};
            std::uint16_t index;
            std::memcpy(&index, both, 2);
            EncodedPair& pair = SourcePairs[index];
            const unsigned firstLength = single[first].length & 7, secondLength = single[second].length & 7;
            std::memcpy(pair.bytes, single[first].bytes, firstLength);
            std::memcpy(pair.bytes + firstLength, single[second].bytes, secondLength);
            pair.bytes[PairNotes] = static_cast<unsigned char>((first == LF) + (second == LF)) |
                                    ((single[first].length | single[second].length) & NoCharacter);
            pair.bytes[PairLength] = static_cast<unsigned char>(firstLength + secondLength);
        }
    }
}

// Writes c in the destination encoding. False when it is a page without a
// byte for c and no stand-in is wanted.
template <int Kind>
inline bool Put(unsigned char*& out, char32_t c)
{
    if (Kind == KindUtf8) {
        out = PutUtf8(out, c);
    } else if (Kind == KindUtf16) {
        out = PutUtf16(out, c);
    } else {
        unsigned char byte = c < 0x80 ? static_cast<unsigned char>(c) : DestinationByte(c);
        if (c >= 0x80 && byte == 0) {
            if (!UnicodeConversion.Substitute)
                return false;
            byte = '?';
        }
        *out++ = byte;
    }
    return true;
}

// Writes one character by the line-end rules of the conversion.
template <int Kind>
inline bool Emit(unsigned char*& out, char32_t c)
{
    if (UnicodeConversion.Newlines == AddCr) {
        if (c == LF && State.previous != CR)
            Put<Kind>(out, CR);
    } else if (UnicodeConversion.Newlines == StripCr) {
        if (State.crHeld && c != LF)
            Put<Kind>(out, CR);
        State.crHeld = c == CR;
        if (c == CR)
            return true;
    }
    State.previous = c;
    return Put<Kind>(out, c);
}

struct Decoded {
    char32_t character;  // for UnicodeUndefined, the byte
    unsigned size;       // 0: the character goes on past the end of the input
    int stop;            // UnicodeConverted, UnicodeInvalid or UnicodeUndefined
};

inline Decoded DecodePage(const unsigned char* in)
{
    const char32_t c = SourceCharacters[in[0]];
    if (c == 0 && in[0] != 0)
        return {in[0], 1, UnicodeUndefined};
    return {c, 1, UnicodeConverted};
}

// Only the shortest form of a character from U+0000 to U+10FFFF, and no
// surrogates: the second byte's range excludes the rest.
inline Decoded DecodeUtf8(const unsigned char* in, unsigned available)
{
    const unsigned char lead = in[0];
    if (lead < 0x80)
        return {lead, 1, UnicodeConverted};
    unsigned size;
    char32_t c;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3;
        c = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;  // else overlong
        else if (lead == 0xED)
            high = 0x9F;  // else a surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4;
        c = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;  // else overlong
        else if (lead == 0xF4)
            high = 0x8F;  // else past U+10FFFF
    } else {
        return {0, 1, UnicodeInvalid};
    }
    for (unsigned k = 1; k < size; ++k) {
        if (k == available)
            return {0, 0, UnicodeConverted};
        if (in[k] < low || in[k] > high)
            return {0, 1, UnicodeInvalid};
        low = 0x80;
        high = 0xBF;
        c = c << 6 | (in[k] & 0x3F);
    }
    return {c, size, UnicodeConverted};
}

inline char32_t Utf16Unit(const unsigned char* in)
{
    return State.bigEndian ? char32_t(in[0]) << 8 | in[1] : char32_t(in[1]) << 8 | in[0];
}

inline Decoded DecodeUtf16(const unsigned char* in, unsigned available)
{
    if (available < 2)
        return {0, 0, UnicodeConverted};
    const char32_t unit = Utf16Unit(in);
    if (unit < 0xD800 || unit > 0xDFFF)
        return {unit, 2, UnicodeConverted};
    if (unit >= 0xDC00)
        return {0, 2, UnicodeInvalid};  // a second half without a first
    if (available < 4)
        return {0, 0, UnicodeConverted};
    const char32_t second = Utf16Unit(in + 2);
    if (second < 0xDC00 || second > 0xDFFF)
        return {0, 2, UnicodeInvalid};  // a first half without a second
    return {0x10000 + ((unit - 0xD800) << 10) + (second - 0xDC00), 4, UnicodeConverted};
}

template <int Kind>
inline Decoded Decode(const unsigned char* in, unsigned available)
{
    if (Kind == KindUtf8)
        return DecodeUtf8(in, available);
    if (Kind == KindUtf16)
        return DecodeUtf16(in, available);
    return DecodePage(in);
}

// True when any of the eight bytes of word is below 0x0E: the only bytes
// that line ends can involve.
inline bool HasControlByte(std::uint64_t word)
{
    const std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    return ((word - ones * 0x0E) & ~word & highs) != 0;
}

// Code page bytes eight at a time through SourcePairs, from n on, for as
// long as none of them matters to the line ends and each has a character;
// counts their LFs and returns where it stopped. Its state stays in
// registers until the end.
unsigned ConvertPageBytes(unsigned char*& out, const unsigned char* in, unsigned n, unsigned count,
                          unsigned& lineEnds)
{
    const bool keep = UnicodeConversion.Newlines == Keep;
    const bool utf16 = UnicodeConversion.Dst == EncodingUtf16;
    const unsigned start = n;
    bool crHeld = State.crHeld;
    unsigned lfs = 0;
    unsigned char* next = out;
    if (keep && !utf16) {
        if (const unicode::PageToUtf8Function vector = unicode::VectorPageToUtf8())
            n += vector(PageUtf8Planes, next, in + n, count - n, lfs);
    }
    while (count - n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, in + n, 8);
        if (!keep && HasControlByte(word))
            break;
        unsigned char* const group = next;
        if (crHeld) {
            // No LF follows among these: the held CR was a line end of its own.
            next = utf16 ? PutUtf16(next, CR) : PutUtf8(next, CR);
        }
        unsigned notes = 0;
        for (int k = 0; k < 8; k += 2) {
            std::uint16_t index;
            std::memcpy(&index, in + n + k, 2);
            // Copied out of the table into a register, and written whole:
            // the bytes past the length are overwritten next.
            std::uint64_t pair;
            std::memcpy(&pair, &SourcePairs[index], 8);
            std::memcpy(next, &pair, 8);
            unsigned char tail[8];
            std::memcpy(tail, &pair, 8);
            next += tail[PairLength];
            notes += tail[PairNotes];
        }
        if (notes >= NoCharacter) {
            next = group;
            break;
        }
        lfs += notes;
        crHeld = false;
        n += 8;
    }
    if (n != start) {
        State.crHeld = crHeld;
        State.previous = in[n - 1];
        lineEnds += lfs;
        out = next;
    }
    return n;
}

// UTF-8 into a code page without the general machinery, from n on, for as
// long as the characters are ASCII (but for the control bytes of line ends
// when they change) or two-byte ones the page has a byte for: all of
// Cyrillic text, mostly. Counts the LFs and returns where it stopped.
unsigned ConvertUtf8ToPage(unsigned char*& out, const unsigned char* in, unsigned n, unsigned count,
                           unsigned& lineEnds)
{
    if (State.crHeld)
        return n;  // what follows decides what becomes of the CR
    const bool keep = UnicodeConversion.Newlines == Keep;
    const unsigned start = n;
    unsigned lfs = 0;
    unsigned char* next = out;
    while (n < count) {
        const unsigned char lead = in[n];
        if (lead < 0x80) {
            if (lead < 0x0E && !keep)
                break;
            lfs += lead == LF;
            *next++ = lead;
            ++n;
            continue;
        }
        if (lead < 0xC2 || lead > 0xDF || count - n < 2 || (in[n + 1] & 0xC0) != 0x80)
            break;
        const unsigned char byte = DestinationByte(char32_t(lead & 0x1F) << 6 | (in[n + 1] & 0x3F));
        if (byte == 0)
            break;
        *next++ = byte;
        n += 2;
    }
    if (n != start) {
        State.previous = in[n - 1];  // the CR that matters is ASCII
        lineEnds += lfs;
        out = next;
    }
    return n;
}

// Returns how many bytes of a byte order mark start the input, or -1 while
// there are too few bytes to tell.
int ByteOrderMarkSize(const unsigned char* input, unsigned count, bool last)
{
    static const unsigned char Utf8Mark[3] = {0xEF, 0xBB, 0xBF};
    if (UnicodeConversion.Src == EncodingUtf8) {
        const unsigned compared = std::min(count, 3u);
        for (unsigned k = 0; k < compared; ++k)
            if (input[k] != Utf8Mark[k])
                return 0;
        return compared == 3 ? 3 : last ? 0 : -1;
    }
    if (count < 2)
        return last ? 0 : -1;
    State.bigEndian = input[0] == 0xFE && input[1] == 0xFF;
    return State.bigEndian || (input[0] == 0xFF && input[1] == 0xFE) ? 2 : 0;
}

template <int SourceKind, int DestinationKind>
UnicodeChunk ConvertCharacters(unsigned char* output, const unsigned char* input, unsigned count, bool last,
                               unsigned start)
{
    UnicodeChunk chunk = {};
    unsigned char* out = output;
    const bool fast = SourceKind == KindPage && DestinationKind != KindPage;
    unsigned slowUntil = 0;  // the fast path stopped on the eight bytes before this
    unsigned n = start;
    while (n < count) {
        if (fast && n >= slowUntil) {
            const unsigned stop = ConvertPageBytes(out, input, n, count, chunk.lineEnds);
            slowUntil = stop + 8;  // the eight bytes that stopped it go one by one
            if (stop != n) {
                n = stop;
                continue;
            }
        }
        if (SourceKind == KindUtf8 && DestinationKind == KindPage) {
            n = ConvertUtf8ToPage(out, input, n, count, chunk.lineEnds);
            if (n == count)
                break;
            // The character that stopped it goes the general way.
        }
        Decoded decoded = Decode<SourceKind>(input + n, count - n);
        if (decoded.size == 0) {
            if (last)
                chunk.stop = UnicodeTruncated;
            break;
        }
        if (decoded.stop == UnicodeUndefined && UnicodeConversion.Substitute) {
            decoded.character = '?';
        } else if (decoded.stop != UnicodeConverted) {
            chunk.stop = decoded.stop;
            chunk.character = decoded.character;
            break;
        }
        if (!Emit<DestinationKind>(out, decoded.character)) {
            chunk.stop = UnicodeUnmappable;
            chunk.character = decoded.character;
            break;
        }
        if (decoded.character == LF)
            ++chunk.lineEnds;
        n += decoded.size;
    }
    if (last && chunk.stop == UnicodeConverted && State.crHeld) {
        Put<DestinationKind>(out, CR);
        State.crHeld = false;
    }
    chunk.consumed = n;
    chunk.written = static_cast<unsigned>(out - output);
    return chunk;
}

template <int SourceKind>
UnicodeChunk ConvertFrom(unsigned char* output, const unsigned char* input, unsigned count, bool last,
                         unsigned start)
{
    switch (KindOf(UnicodeConversion.Dst)) {
    case KindUtf8: return ConvertCharacters<SourceKind, KindUtf8>(output, input, count, last, start);
    case KindUtf16: return ConvertCharacters<SourceKind, KindUtf16>(output, input, count, last, start);
    default: return ConvertCharacters<SourceKind, KindPage>(output, input, count, last, start);
    }
}

} // namespace

bool IsUnicodeEncoding(int encoding)
{
    return encoding == EncodingUtf8 || encoding == EncodingUtf16;
}

bool IsSingleBytePage(int encoding)
{
    return IsCodePage(encoding) || encoding == EncodingKoi8u || encoding == EncodingCp1125;
}

const unsigned short* PageCharacters(int encoding)
{
    if (encoding == EncodingKoi8u)
        return UnicodeOfRepairPageByte[RepairPageKoi8u];
    if (encoding == EncodingCp1125)
        return UnicodeOfRepairPageByte[RepairPageCp1125];
    return UnicodeOfByte[IsCodePage(encoding) ? encoding : 0];
}

bool HasUnixLineEnds(int encoding)
{
    return encoding == CodePageKoi8r || encoding == EncodingKoi8u || encoding == EncodingUtf8;
}

void SelectUnicodeConversion(int source, int destination, int convertNewlines, int substitute)
{
    UnicodeConversion.Src = source;
    UnicodeConversion.Dst = destination;
    UnicodeConversion.Substitute = substitute ? 1 : 0;
    UnicodeConversion.Newlines = Keep;
    if (convertNewlines && HasUnixLineEnds(source) != HasUnixLineEnds(destination))
        UnicodeConversion.Newlines = HasUnixLineEnds(source) ? AddCr : StripCr;
    if (KindOf(destination) == KindPage)
        BuildDestination(IsSingleBytePage(destination) ? destination : 0, substitute != 0);
    if (KindOf(source) == KindPage)
        BuildSource(source, destination);
}

unsigned UnicodeOutputSize(unsigned count)
{
    // At most four bytes for each byte: an LF in UTF-8 that becomes CR LF
    // in UTF-16. Then a byte order mark and a held CR; the fast path writes
    // two bytes past its output, but at most three bytes for each byte.
    return 4 * count + 8;
}

UnicodeChunk ConvertUnicodeChunk(unsigned char* output, const unsigned char* input, unsigned count, int first,
                                 int last)
{
    if (first)
        State = {true, UnicodeConversion.Dst == EncodingUtf16, false, false, 0};
    unsigned char* out = output;
    if (State.bomOwed && count > 0) {
        out = PutUtf16Unit(out, 0xFEFF);
        State.bomOwed = false;
    }
    unsigned start = 0;
    const int sourceKind = KindOf(UnicodeConversion.Src);
    // From UTF-8 to UTF-8 the text is copied as it is, its mark too.
    const bool markKept = UnicodeConversion.Src == EncodingUtf8 && UnicodeConversion.Dst == EncodingUtf8;
    if (State.atInputStart && sourceKind != KindPage && !markKept) {
        const int mark = ByteOrderMarkSize(input, count, last != 0);
        if (mark < 0) {
            UnicodeChunk waiting = {};
            waiting.written = static_cast<unsigned>(out - output);
            return waiting;
        }
        start = static_cast<unsigned>(mark);
        State.atInputStart = false;
    }

    UnicodeChunk chunk;
    switch (sourceKind) {
    case KindUtf8: chunk = ConvertFrom<KindUtf8>(out, input, count, last != 0, start); break;
    case KindUtf16: chunk = ConvertFrom<KindUtf16>(out, input, count, last != 0, start); break;
    default: chunk = ConvertFrom<KindPage>(out, input, count, last != 0, start); break;
    }
    chunk.written += static_cast<unsigned>(out - output);
    return chunk;
}

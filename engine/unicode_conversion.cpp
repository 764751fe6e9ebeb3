#include "unicode_conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "page_characters.h"
#include "repair_page_tables.h"
#include "unicode_tables.h"
#include "unicode_units.h"
#include "unicode_vector.h"

namespace {

const char32_t LF = 0x0A;
const char32_t CR = 0x0D;

enum EncodingKind { KindPage, KindUtf8, KindUtf16 };

int KindOf(int encoding)
{
    return encoding == EncodingUtf8 ? KindUtf8 : encoding == EncodingUtf16 ? KindUtf16 : KindPage;
}

// One call's view of a conversion: the constant tables it reads, and its
// stream's state, copied in and back out so that the bytes written cannot
// be taken to change it.
struct Job {
    int source, destination;
    int newlines;  // NewlineMode
    bool substitute;
    const pages::PageTables* sourcePage;
    const pages::CharacterBytes* destinationBytes;
    unicode::PageToUtf8Function vector;  // null where the path has none or it does not apply
    UnicodeConverter::StreamState state;
};

unsigned char* PutUtf16Unit(unsigned char* out, char32_t unit)
{
    *out++ = static_cast<unsigned char>(unit & 0xFF);
    *out++ = static_cast<unsigned char>(unit >> 8);
    return out;
}

unsigned char* PutUtf16(unsigned char* out, char32_t c)
{
    EachUtf16Unit(c, [&out](char32_t unit) { out = PutUtf16Unit(out, unit); });
    return out;
}

// Writes c in the destination encoding. False when it is a page without a
// byte for c and no stand-in is wanted.
template <int Kind>
inline bool Put(const Job& job, unsigned char*& out, char32_t c)
{
    if (Kind == KindUtf8) {
        out = PutUtf8(out, c);
    } else if (Kind == KindUtf16) {
        out = PutUtf16(out, c);
    } else {
        unsigned char byte = c < 0x80 ? static_cast<unsigned char>(c) : job.destinationBytes->ByteOf(c);
        if (c >= 0x80 && byte == 0) {
            if (!job.substitute)
                return false;
            byte = '?';
        }
        *out++ = byte;
    }
    return true;
}

// Writes one character by the line-end rules of the conversion.
template <int Kind>
inline bool Emit(Job& job, unsigned char*& out, char32_t c)
{
    if (job.newlines == AddCr) {
        if (c == LF && job.state.previous != CR)
            Put<Kind>(job, out, CR);
    } else if (job.newlines == StripCr) {
        if (job.state.crHeld && c != LF)
            Put<Kind>(job, out, CR);
        job.state.crHeld = c == CR;
        if (c == CR)
            return true;
    }
    job.state.previous = c;
    return Put<Kind>(job, out, c);
}

struct Decoded {
    char32_t character;  // for UnicodeUndefined, the byte
    unsigned size;       // 0: the character goes on past the end of the input
    int stop;            // UnicodeConverted, UnicodeInvalid or UnicodeUndefined
};

inline Decoded DecodePage(const Job& job, const unsigned char* in)
{
    const char32_t c = job.sourcePage->character[in[0]];
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

inline char32_t Utf16Unit(const Job& job, const unsigned char* in)
{
    return job.state.bigEndian ? char32_t(in[0]) << 8 | in[1] : char32_t(in[1]) << 8 | in[0];
}

inline Decoded DecodeUtf16(const Job& job, const unsigned char* in, unsigned available)
{
    if (available < 2)
        return {0, 0, UnicodeConverted};
    const char32_t unit = Utf16Unit(job, in);
    if (!IsSurrogate(unit))
        return {unit, 2, UnicodeConverted};
    if (IsLowSurrogate(unit))
        return {0, 2, UnicodeInvalid};  // a second half without a first
    if (available < 4)
        return {0, 0, UnicodeConverted};
    const char32_t second = Utf16Unit(job, in + 2);
    if (!IsLowSurrogate(second))
        return {0, 2, UnicodeInvalid};  // a first half without a second
    return {CombinedSurrogates(unit, second), 4, UnicodeConverted};
}

template <int Kind>
inline Decoded Decode(const Job& job, const unsigned char* in, unsigned available)
{
    if (Kind == KindUtf8)
        return DecodeUtf8(in, available);
    if (Kind == KindUtf16)
        return DecodeUtf16(job, in, available);
    return DecodePage(job, in);
}

const std::uint64_t Ones = 0x0101010101010101ull, Highs = 0x8080808080808080ull;

// True when any of the eight bytes of word is below 0x0E: the only bytes
// that line ends can involve.
inline bool HasControlByte(std::uint64_t word)
{
    return ((word - Ones * 0x0E) & ~word & Highs) != 0;
}

// The high bit of each byte of x that is 0, and no other bit.
inline std::uint64_t ZeroBytes(std::uint64_t x)
{
    return ~(((x & ~Highs) + ~Highs) | x) & Highs;
}

inline unsigned CountLfs(std::uint64_t word)
{
    return static_cast<unsigned>(((ZeroBytes(word ^ (Ones * LF)) >> 7) * Ones) >> 56);
}

// The length in an EncodedByte read as a number.
inline unsigned LengthOf(std::uint32_t encoded)
{
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return encoded & 0xFF;
#else
    return encoded >> 24;
#endif
}

// Tells the words of eight bytes that hold a byte without a character in
// a page: the constants are made once per call.
struct UndefinedTest {
    const pages::PageTables& page;
    int count;
    std::uint64_t bytes[pages::PageTables::MaxUndefined];

    explicit UndefinedTest(const pages::PageTables& page) : page(page), count(page.undefinedCount), bytes()
    {
        for (int k = 0; k < count && k < pages::PageTables::MaxUndefined; ++k)
            bytes[k] = Ones * page.undefined[k];
    }

    // Whether any of the eight bytes at in, read as word, has none.
    bool Holds(std::uint64_t word, const unsigned char* in) const
    {
        if (count > pages::PageTables::MaxUndefined) {
            for (int k = 0; k < 8; ++k)
                if (page.character[in[k]] == 0 && in[k] != 0)
                    return true;
            return false;
        }
        std::uint64_t found = 0;
        for (int k = 0; k < count; ++k)
            found |= ZeroBytes(word ^ bytes[k]);
        return found != 0;
    }
};

// Code page bytes eight at a time, each through the table of its bytes in
// the destination encoding, from n on, for as long as none of them matters
// to the line ends and each has a character; counts their LFs and returns
// where it stopped. Its state stays in registers until the end.
template <int DestinationKind>
unsigned ConvertPageBytes(Job& job, unsigned char*& out, const unsigned char* in, unsigned n, unsigned count,
                          unsigned& lineEnds)
{
    const bool keep = job.newlines == Keep;
    const pages::PageTables& page = *job.sourcePage;
    const pages::EncodedByte* const encoded = DestinationKind == KindUtf16 ? page.utf16 : page.utf8;
    const UndefinedTest undefined(page);
    const unsigned start = n;
    bool crHeld = job.state.crHeld;
    unsigned lfs = 0;
    unsigned char* next = out;
    if (DestinationKind == KindUtf8 && keep && job.vector != nullptr) {
        // Through copies, so that next and lfs stay in registers below.
        unsigned char* vectorNext = next;
        unsigned vectorLfs = 0;
        n += job.vector(page.planes, vectorNext, in + n, count - n, vectorLfs);
        next = vectorNext;
        lfs = vectorLfs;
    }
    while (count - n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, in + n, 8);
        const bool control = HasControlByte(word);
        if ((control && !keep) || (undefined.count > 0 && undefined.Holds(word, in + n)))
            break;
        if (crHeld) {
            // No LF follows among these: the held CR was a line end of its own.
            next = DestinationKind == KindUtf16 ? PutUtf16(next, CR) : PutUtf8(next, CR);
            crHeld = false;
        }
        const unsigned char* const group = in + n;
        for (int k = 0; k < 8; ++k) {
            // Copied out of the table before the bytes are written, which
            // might otherwise be taken to change it; written whole, the
            // bytes past the length to be overwritten next. A unit of
            // UTF-16 is two bytes always.
            std::uint32_t byte;
            std::memcpy(&byte, &encoded[group[k]], sizeof byte);
            if (DestinationKind == KindUtf16) {
                std::memcpy(next + 2 * k, &byte, sizeof byte);
            } else {
                std::memcpy(next, &byte, sizeof byte);
                next += LengthOf(byte);
            }
        }
        if (DestinationKind == KindUtf16)
            next += 16;
        if (control)
            lfs += CountLfs(word);
        n += 8;
    }
    if (n != start) {
        job.state.crHeld = crHeld;
        job.state.previous = in[n - 1];
        lineEnds += lfs;
        out = next;
    }
    return n;
}

// UTF-8 into a code page without the general machinery, from n on, for as
// long as the characters are ASCII (but for the control bytes of line ends
// when they change) or two-byte ones the page has a byte for: all of
// Cyrillic text, mostly. Counts the LFs and returns where it stopped.
unsigned ConvertUtf8ToPage(Job& job, unsigned char*& out, const unsigned char* in, unsigned n, unsigned count,
                           unsigned& lineEnds)
{
    if (job.state.crHeld)
        return n;  // what follows decides what becomes of the CR
    const bool keep = job.newlines == Keep;
    const pages::CharacterBytes& bytes = *job.destinationBytes;
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
        const unsigned char byte = bytes.ByteOf(char32_t(lead & 0x1F) << 6 | (in[n + 1] & 0x3F));
        if (byte == 0)
            break;
        *next++ = byte;
        n += 2;
    }
    if (n != start) {
        job.state.previous = in[n - 1];  // the CR that matters is ASCII
        lineEnds += lfs;
        out = next;
    }
    return n;
}

// Returns how many bytes of a byte order mark start the input, or -1 while
// there are too few bytes to tell.
int ByteOrderMarkSize(Job& job, const unsigned char* input, unsigned count, bool last)
{
    static const unsigned char Utf8Mark[3] = {0xEF, 0xBB, 0xBF};
    if (job.source == EncodingUtf8) {
        const unsigned compared = std::min(count, 3u);
        for (unsigned k = 0; k < compared; ++k)
            if (input[k] != Utf8Mark[k])
                return 0;
        return compared == 3 ? 3 : last ? 0 : -1;
    }
    if (count < 2)
        return last ? 0 : -1;
    job.state.bigEndian = input[0] == 0xFE && input[1] == 0xFF;
    return job.state.bigEndian || (input[0] == 0xFF && input[1] == 0xFE) ? 2 : 0;
}

template <int SourceKind, int DestinationKind>
UnicodeChunk ConvertCharacters(Job& job, unsigned char* output, const unsigned char* input, unsigned count,
                               bool last, unsigned start)
{
    UnicodeChunk chunk = {};
    unsigned char* out = output;
    const bool fast = SourceKind == KindPage && DestinationKind != KindPage;
    unsigned slowUntil = 0;  // the fast path stopped on the eight bytes before this
    unsigned n = start;
    while (n < count) {
        if (fast && n >= slowUntil) {
            const unsigned stop = ConvertPageBytes<DestinationKind>(job, out, input, n, count, chunk.lineEnds);
            slowUntil = stop + 8;  // the eight bytes that stopped it go one by one
            if (stop != n) {
                n = stop;
                continue;
            }
        }
        if (SourceKind == KindUtf8 && DestinationKind == KindPage) {
            n = ConvertUtf8ToPage(job, out, input, n, count, chunk.lineEnds);
            if (n == count)
                break;
            // The character that stopped it goes the general way.
        }
        Decoded decoded = Decode<SourceKind>(job, input + n, count - n);
        if (decoded.size == 0) {
            if (last)
                chunk.stop = UnicodeTruncated;
            break;
        }
        if (decoded.stop == UnicodeUndefined && job.substitute) {
            decoded.character = '?';
        } else if (decoded.stop != UnicodeConverted) {
            chunk.stop = decoded.stop;
            chunk.character = decoded.character;
            break;
        }
        if (!Emit<DestinationKind>(job, out, decoded.character)) {
            chunk.stop = UnicodeUnmappable;
            chunk.character = decoded.character;
            break;
        }
        if (decoded.character == LF)
            ++chunk.lineEnds;
        n += decoded.size;
    }
    if (last && chunk.stop == UnicodeConverted && job.state.crHeld) {
        Put<DestinationKind>(job, out, CR);
        job.state.crHeld = false;
    }
    chunk.consumed = n;
    chunk.written = static_cast<unsigned>(out - output);
    return chunk;
}

template <int SourceKind>
UnicodeChunk ConvertFrom(Job& job, unsigned char* output, const unsigned char* input, unsigned count, bool last,
                         unsigned start)
{
    switch (KindOf(job.destination)) {
    case KindUtf8: return ConvertCharacters<SourceKind, KindUtf8>(job, output, input, count, last, start);
    case KindUtf16: return ConvertCharacters<SourceKind, KindUtf16>(job, output, input, count, last, start);
    default: return ConvertCharacters<SourceKind, KindPage>(job, output, input, count, last, start);
    }
}

} // namespace

bool IsUnicodeEncoding(int encoding)
{
    return encoding == EncodingUtf8 || encoding == EncodingUtf16;
}

bool IsSingleBytePage(int encoding)
{
    return pages::TablesOf(encoding) != nullptr;
}

const unsigned short* PageCharacters(int encoding)
{
    if (encoding == EncodingKoi8u)
        return UnicodeOfRepairPageByte[RepairPageKoi8u];
    if (encoding == EncodingCp1125)
        return UnicodeOfRepairPageByte[RepairPageCp1125];
    return UnicodeOfByte[encoding >= 0 && encoding < CodePageCount ? encoding : 0];
}

bool HasUnixLineEnds(int encoding)
{
    return encoding == CodePageKoi8r || encoding == EncodingKoi8u || encoding == EncodingUtf8;
}

char32_t CharacterOfByte(int page, unsigned char byte)
{
    const pages::PageTables* tables = pages::TablesOf(page);
    return tables != nullptr ? tables->character[byte] : 0;
}

int ByteOfCharacter(int page, char32_t character, bool withStandIns)
{
    if (character < 0x80)
        return static_cast<int>(character);
    const pages::PageTables* tables = pages::TablesOf(page);
    if (tables == nullptr)
        return -1;
    const unsigned char byte = (withStandIns ? tables->withStandIns : tables->bytes).ByteOf(character);
    return byte != 0 ? byte : -1;
}

UnicodeConverter::UnicodeConverter(int source, int destination, bool convertNewlines, bool substitute)
    : source_(source), destination_(destination), newlines_(Keep), substitute_(substitute),
      path_(StartingConversionPath()), sourcePage_(nullptr), destinationBytes_(nullptr), state_(NewStream())
{
    if (convertNewlines && HasUnixLineEnds(source) != HasUnixLineEnds(destination))
        newlines_ = HasUnixLineEnds(source) ? AddCr : StripCr;
    // Only the pages it reads; a number that is no encoding reads and writes
    // as a page with ASCII alone.
    if (KindOf(source) == KindPage) {
        const pages::PageTables* page = pages::TablesOf(source);
        sourcePage_ = page != nullptr ? page : &pages::AsciiOnly();
    }
    if (KindOf(destination) == KindPage) {
        const pages::PageTables* page = pages::TablesOf(destination);
        if (page == nullptr)
            page = &pages::AsciiOnly();
        destinationBytes_ = substitute ? &page->withStandIns : &page->bytes;
    }
}

UnicodeConverter::StreamState UnicodeConverter::NewStream() const
{
    return {true, destination_ == EncodingUtf16, false, false, 0};
}

bool UnicodeConverter::UsePath(int path)
{
    if (!CanRunConversionPath(path))
        return false;
    path_ = path;
    return true;
}

unsigned UnicodeConverter::OutputSize(unsigned count)
{
    // At most four bytes for each byte: an LF in UTF-8 that becomes CR LF
    // in UTF-16. Then a byte order mark and a held CR; the fast path writes
    // up to three bytes past its output, but at most three bytes for each
    // byte.
    return 4 * count + 8;
}

UnicodeChunk UnicodeConverter::Convert(unsigned char* output, const unsigned char* input, unsigned count, bool last)
{
    const int sourceKind = KindOf(source_), destinationKind = KindOf(destination_);
    Job job = {source_,
               destination_,
               newlines_,
               substitute_,
               sourcePage_,
               destinationBytes_,
               destinationKind == KindUtf8 ? unicode::VectorPageToUtf8(path_) : nullptr,
               state_};
    unsigned char* out = output;
    if (job.state.bomOwed && count > 0) {
        out = PutUtf16Unit(out, 0xFEFF);
        job.state.bomOwed = false;
    }
    unsigned start = 0;
    // From UTF-8 to UTF-8 the text is copied as it is, its mark too.
    const bool markKept = source_ == EncodingUtf8 && destination_ == EncodingUtf8;
    if (job.state.atInputStart && sourceKind != KindPage && !markKept) {
        const int mark = ByteOrderMarkSize(job, input, count, last);
        if (mark < 0) {
            state_ = job.state;
            UnicodeChunk waiting = {};
            waiting.written = static_cast<unsigned>(out - output);
            return waiting;
        }
        start = static_cast<unsigned>(mark);
        job.state.atInputStart = false;
    }

    UnicodeChunk chunk;
    switch (sourceKind) {
    case KindUtf8: chunk = ConvertFrom<KindUtf8>(job, out, input, count, last, start); break;
    case KindUtf16: chunk = ConvertFrom<KindUtf16>(job, out, input, count, last, start); break;
    default: chunk = ConvertFrom<KindPage>(job, out, input, count, last, start); break;
    }
    chunk.written += static_cast<unsigned>(out - output);
    const bool ended = last && (chunk.stop == UnicodeConverted || chunk.stop == UnicodeTruncated);
    state_ = ended ? NewStream() : job.state;
    return chunk;
}

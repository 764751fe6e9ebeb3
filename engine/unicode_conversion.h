// Converts text between the code pages and Unicode (UTF-8, UTF-16), and
// between the two Unicode forms, block by block.
//
// Unlike a conversion between two code pages (stream_converter.h), which
// writes a stand-in and lets the caller count them, these keep the text
// exactly or say where they cannot: input that breaks its encoding's rules,
// a code page byte with no character and a character the destination page
// has no byte for all stop the conversion, unless substitution is asked for
// (only the last two can be substituted).
//
// A conversion is a UnicodeConverter that its caller owns, as a
// PageConverter is: small, made in well under a microsecond once the pages
// it reads have their tables (page_characters.h, built on first use), and
// used by one thread at a time.
#pragma once

#include "code_page_tables.h"
#include "stream_converter.h"

// Numbered after the code pages, so that one int names any encoding.
enum UnicodeEncoding {
    EncodingUtf8 = CodePageCount,
    EncodingUtf16 = CodePageCount + 1,  // written little-endian, with a byte order mark
    // Ukrainian text on Unix and in DOS: single-byte pages that the engine
    // converts to and from Unicode (and through it to the five), though the
    // program's pages are the five.
    EncodingKoi8u = CodePageCount + 2,
    EncodingCp1125 = CodePageCount + 3,
};

const int EncodingCount = CodePageCount + 4;

bool IsUnicodeEncoding(int encoding);

// Whether an encoding is a page of one byte a character: the five and the
// two above.
bool IsSingleBytePage(int encoding);

// The Unicode character of each byte from 0x80 up in a single-byte page, at
// [byte - 0x80], 0 where the byte is no character.
const unsigned short* PageCharacters(int encoding);

// An encoding's own line end: LF for KOI8-R, KOI8-U and UTF-8, the forms of Unix,
// CR LF for the other pages and UTF-16, the forms of DOS and Windows.
bool HasUnixLineEnds(int encoding);

enum UnicodeStop {
    UnicodeConverted,   // the block is done
    UnicodeInvalid,     // bytes that break the input encoding's rules
    UnicodeTruncated,   // the input ends inside a character
    UnicodeUnmappable,  // a character the destination code page has no byte for
    UnicodeUndefined,   // a code page byte that is no character
};

struct UnicodeChunk {
    unsigned consumed;        // input bytes used; at a stop, the offending character's offset
    unsigned written;         // output bytes
    unsigned lineEnds;        // LF characters among the bytes consumed
    int stop;                 // UnicodeStop
    unsigned long character;  // the unmappable character, or the undefined byte
};

// The character of byte in page (CodePageIndex); 0 where it has none (and
// for 0 itself) or page is no page.
char32_t CharacterOfByte(int page, unsigned char byte);

// The byte of character in page (CodePageIndex), where it has one; else,
// withStandIns, the stand-in a conversion writes for it (stand_ins.h);
// else -1.
int ByteOfCharacter(int page, char32_t character, bool withStandIns);

namespace pages {
struct PageTables;
struct CharacterBytes;
}

class UnicodeConverter {
public:
    // From source into destination, encodings 0..EncodingCount-1. With
    // convertNewlines, line ends change where the two encodings' own line
    // ends differ; a CR LF loses its CR, other CRs stay. With substitute, a
    // character the destination page cannot hold becomes its stand-in
    // (stand_ins.h), the byte a conversion from a code page gives it (a
    // plain '"' for a typographic quote in cp866, '+' for a corner of a
    // frame in cp1251), or '?', and a code page byte without a character
    // becomes '?'. A new stream starts.
    UnicodeConverter(int source, int destination, bool convertNewlines, bool substitute);

    int Source() const { return source_; }
    int Destination() const { return destination_; }
    NewlineMode Newlines() const { return newlines_; }
    bool Substitutes() const { return substitute_; }

    // How large the output of count input bytes may get, and with it the
    // output buffer that Convert needs.
    static unsigned OutputSize(unsigned count);

    // Converts a block of input; last != 0 ends the stream. Before the last
    // block, a character cut off by the end of the block is left
    // unconsumed, for the caller to pass again in front of the next block;
    // a byte order mark at the start of the input is skipped, but from
    // UTF-8 to UTF-8, which copies the text as it is. Output up to a stop is
    // written and counted. A last block converted to its end (or to a
    // character it cuts off) ends the stream: the next call starts another.
    UnicodeChunk Convert(unsigned char* output, const unsigned char* input, unsigned count, bool last);

    int Path() const { return path_; }

    // Converts from now on by path (ConversionPath), so that tests can
    // compare them. False, changing nothing, where this processor or build
    // cannot run it.
    bool UsePath(int path);

    // What carries over from one block to the next.
    struct StreamState {
        bool atInputStart;  // a byte order mark may still come
        bool bomOwed;       // UTF-16 output still lacks its byte order mark
        bool bigEndian;     // UTF-16 input that started with a big-endian mark
        bool crHeld;        // StripCr: a CR not yet written, in case an LF follows
        char32_t previous;  // AddCr: the character before
    };

private:
    StreamState NewStream() const;

    int source_, destination_;
    NewlineMode newlines_;
    bool substitute_;
    int path_;
    const pages::PageTables* sourcePage_;            // of a source that is no Unicode encoding
    const pages::CharacterBytes* destinationBytes_;  // of a destination that is none, with stand-ins or without
    StreamState state_;
};

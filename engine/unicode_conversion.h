// Converts text between the code pages and Unicode (UTF-8, UTF-16), and
// between the two Unicode forms, block by block.
//
// Unlike a conversion between two code pages (stream_converter.h), which
// never fails, these keep the text exactly or say where they cannot: input
// that breaks its encoding's rules, a code page byte with no character and a
// character the destination page has no byte for all stop the conversion,
// unless substitution is asked for (only the last two can be substituted).
#pragma once

#include "code_page_tables.h"

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

struct UnicodeConversionRecord {
    int Src;         // encoding of the input
    int Dst;         // encoding of the output
    int Newlines;    // NewlineMode
    int Substitute;  // nonzero: write a stand-in rather than stop
};

// Written only by SelectUnicodeConversion.
extern UnicodeConversionRecord UnicodeConversion;

// Fixes UnicodeConversion for encodings 0..EncodingCount-1. With
// convertNewlines, line ends change where the two encodings' own line ends
// differ; a CR LF loses its CR, other CRs stay. With substitute, a character
// the destination page cannot hold becomes the byte a conversion from a code
// page would give it (a plain '"' for a typographic quote in cp866, say), or
// '?', and a code page byte without a character becomes '?'.
void SelectUnicodeConversion(int source, int destination, int convertNewlines, int substitute);

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

// How large the output of count input bytes may get, and with it the
// output buffer that ConvertUnicodeChunk needs.
unsigned UnicodeOutputSize(unsigned count);

// Converts a block of input. first != 0 starts a new stream, last != 0 ends
// it. Before the last block, a character cut off by the end of the block is
// left unconsumed, for the caller to pass again in front of the next block;
// a byte order mark at the start of the input is skipped, but from UTF-8 to
// UTF-8, which copies the text as it is. Output up to a stop is written and
// counted.
UnicodeChunk ConvertUnicodeChunk(unsigned char* output, const unsigned char* input, unsigned count, int first,
                                 int last);

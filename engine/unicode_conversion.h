// Converts text between the code pages and Unicode (UTF-8, UTF-16), and
// between the two Unicode forms, block by block.
//
// Unlike a conversion between two code pages (stream_converter.h), which
// writes a stand-in and lets the caller count them, these keep the text
// exactly or say where they cannot: input that breaks its encoding's rules,
// a code page byte with no character and a character the destination page
// has no byte for all stop the conversion, unless substitution is asked for
// (only the last two can be substituted).
#pragma once

#include "code_page_tables.h"

// Numbered after the code pages, so that one int names any encoding.
enum UnicodeEncoding {
    EncodingUtf8 = CodePageCount,
    EncodingUtf16 = CodePageCount + 1,  // written little-endian, with a byte order mark
};

const int EncodingCount = CodePageCount + 2;

bool IsUnicodeEncoding(int encoding);

// An encoding's own line end: LF for KOI8-R and UTF-8, the forms of Unix,
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
// the destination page cannot hold becomes its stand-in (stand_ins.h), the
// byte a conversion from a code page gives it (a plain '"' for a
// typographic quote in cp866, '+' for a corner of a frame in cp1251), or
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

// Converts bytes from one code page into another, optionally changing line
// ends between LF (KOI8-R) and CR LF (the other four), block by block.
//
// Each byte becomes the destination's byte for the same character, as the
// Unicode tables of both pages have them (unicode_tables.h). A character
// the destination lacks becomes an ASCII stand-in (stand_ins.h): for the
// typographic quotes, dashes and the like the plain form they always had,
// else one the caller can count and report. A page converted into itself
// keeps every byte.
#pragma once

#include "code_page_tables.h"

enum NewlineMode {
    Keep = 0,     // line ends pass unchanged
    AddCr = 1,    // LF becomes CR LF; an existing CR LF stays as it is
    StripCr = 2,  // CR LF becomes LF; a CR run before another byte becomes one CR
};

struct ConversionRecord {
    int Src;       // CodePageIndex of the input
    int Dst;       // CodePageIndex of the output
    int Newlines;  // NewlineMode
};

// Written only by SelectConversionOf; kept after a job, since the second
// preview pass starts from the Dst the first pass left.
extern ConversionRecord Conversion;

// The last input byte ConvertChunk (or ConvertStreamChunk) consumed, carried
// into the next call so that a CR LF split between blocks stays one line end.
extern unsigned char ChunkCarry;

// EstimateOutputSize's own carried byte, independent of ChunkCarry.
extern unsigned char EstimateCarry;

// Fixes Conversion and starts a new stream. With secondPass 0 the
// conversion goes from source to destination; otherwise from the previous
// destination to cp1251, and source and destination are not looked at.
// convertNewlines is the "Convert NewLines" option. A page outside 0..4
// leaves every byte as it is.
void SelectConversionOf(int secondPass, int source, int destination, int convertNewlines);

// Converts count bytes of text into output and returns how many bytes it
// wrote. first != 0 starts a new stream. Stops after a NUL byte, which is
// written and counted; nothing after it is converted. Writes no terminator.
// output must hold 2 * count bytes under AddCr, count + 1 under StripCr and
// count under Keep, or as many as EstimateOutputSize said; nothing past the
// bytes counted in the end is written. output and input must not overlap.
int ConvertChunk(unsigned char* output, const unsigned char* input, unsigned count, int first);

// The same for binary streams such as files: every byte is converted, NUL
// bytes included, with the same line-end rules and the same carried byte.
int ConvertStreamChunk(unsigned char* output, const unsigned char* input, unsigned count, int first);

// Ends the stream that the calls since the last first block belonged to:
// writes what they still hold back (under StripCr, a CR that was the very
// last byte) and returns how many bytes that was, 0 or 1. A stream that is
// not finished loses such a CR.
int FinishStream(unsigned char* output);

// An output size that is never less than what ConvertChunk writes for the
// same bytes and first flag, called before it. Under Keep it is count.
unsigned EstimateOutputSize(const unsigned char* input, unsigned count, int first);

// Whether the selected conversion writes any byte as a stand-in that the
// user is to be told about: a byte whose character the destination lacks
// (but for the plain forms of the shared symbols) or that is no character
// in the source page. Most pairs have some; converting a page into itself
// has none.
bool ConversionHasStandIns();

// How many of count input bytes the selected conversion writes as such
// stand-ins. Cheap on ASCII, and at once where there are none.
unsigned CountStandIns(const unsigned char* input, unsigned count);

// The offset of the first of count input bytes that the selected conversion
// writes as such a stand-in; count when there is none.
unsigned FirstStandIn(const unsigned char* input, unsigned count);

// The ways of converting: the same results at different speeds. The scalar
// one runs on any processor; the others need SSSE3 (16 bytes at a time),
// AVX2 (32 bytes at a time) or, in 64-bit builds, AVX-512 with its byte
// permutes and compresses (64 bytes at a time).
enum ConversionPath {
    PathScalar = 0,
    PathSsse3 = 1,
    PathAvx2 = 2,
    PathAvx512 = 3,
};

const int ConversionPathCount = 4;

// The fastest path this processor and build can run. Conversions take it
// until UseConversionPath picks another, or from the start the path that the
// environment variable TARVO_CONVERSION_PATH names ("scalar", "ssse3",
// "avx2" or "avx512") where this processor runs it: so a whole program can
// be measured as it runs on an older processor.
int FastestConversionPath();

// Makes the conversions from now on take path, so that tests, the fuzz
// target and the benchmark can compare them. Returns false and changes
// nothing when this processor or build cannot run it.
bool UseConversionPath(int path);

// The path conversions take now.
int ConversionPathInUse();

// "scalar", "SSSE3", "AVX2" or "AVX-512"; "none" for a number that is no path.
const char* ConversionPathName(int path);

// Converts bytes from one code page into another, optionally changing line
// ends between LF (KOI8-R) and CR LF (the other four), block by block.
//
// Each byte becomes the destination's byte for the same character, as the
// Unicode tables of both pages have them (unicode_tables.h). A character
// the destination lacks becomes an ASCII stand-in (stand_ins.h): for the
// typographic quotes, dashes and the like the plain form they always had,
// else one the caller can count and report. A page converted into itself
// keeps every byte.
//
// A conversion is a PageConverter that its caller owns: a value of under a
// kilobyte, made in a few microseconds, copied with its stream, and used by
// one thread at a time; any number of them convert at once on as many
// threads. What they share is constant.
#pragma once

#include "code_page_tables.h"
#include "conversion_tables.h"

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

// Whether this processor and build can run path.
bool CanRunConversionPath(int path);

// The fastest path this processor and build can run.
int FastestConversionPath();

// The path every converter starts on: the fastest, or the one that the
// environment variable TARVO_CONVERSION_PATH names ("scalar", "ssse3",
// "avx2" or "avx512") where this processor runs it, so that a whole program
// can be measured as it runs on an older processor. Read once.
int StartingConversionPath();

// "scalar", "SSSE3", "AVX2" or "AVX-512"; "none" for a number that is no path.
const char* ConversionPathName(int path);

// The line ends the "Convert NewLines" option gives a conversion: where
// only one side is KOI8-R, with its LF, the destination's own; CR LF from
// KOI8-R into itself (AddCr); else, and without the option, Keep.
NewlineMode NewlinesForOption(int source, int destination, bool convertNewlines);

class PageConverter {
public:
    // Leaves every byte as it is.
    PageConverter();

    // From source into destination (CodePageIndex); a page outside the five
    // leaves every byte as it is. A new stream starts.
    PageConverter(int source, int destination, NewlineMode newlines);

    // The conversion the program's options give: the line ends by the
    // "Convert NewLines" option.
    static PageConverter ForOption(int source, int destination, bool convertNewlines);

    // The preview's second pass: from the destination the first pass
    // converted into, to cp1251, by the same option.
    static PageConverter SecondPass(int firstDestination, bool convertNewlines);

    int Source() const { return source_; }
    int Destination() const { return destination_; }
    NewlineMode Newlines() const { return newlines_; }

    // Converts count bytes of a stream such as a file into output and
    // returns how many bytes it wrote: every byte, NUL bytes included. The
    // last byte of a call is carried into the next, so that a CR LF split
    // between blocks stays one line end. output must hold 2 * count bytes
    // under AddCr, count + 1 under StripCr and count under Keep, or as many
    // as Estimate said; nothing past the bytes counted is written. output
    // and input must not overlap.
    int Convert(unsigned char* output, const unsigned char* input, unsigned count);

    // The same for text, which ends at a NUL: stops after it (written and
    // counted); nothing after it is converted. Writes no terminator.
    int ConvertText(unsigned char* output, const unsigned char* input, unsigned count);

    // Ends the stream: writes what it still holds back (under StripCr, a CR
    // that was the very last byte) and returns how many bytes that was, 0
    // or 1. The next call starts a new stream. A stream that is not
    // finished loses such a CR.
    int Finish(unsigned char* output);

    // An output size that is never less than what Convert or ConvertText
    // writes for the same bytes, called before it; its own carried byte
    // follows the stream the calls make. Under Keep it is count.
    unsigned Estimate(const unsigned char* input, unsigned count);

    // The last byte consumed, which the next call carries on from.
    unsigned char Carried() const { return carried_; }

    // Whether the conversion writes any byte as a stand-in that the user is
    // to be told about: a byte whose character the destination lacks (but
    // for the plain forms of the shared symbols) or that is no character in
    // the source page. Most pairs have some; a page into itself has none.
    bool HasStandIns() const { return anyStandIn_; }

    // How many of count input bytes the conversion writes as such
    // stand-ins. Cheap on ASCII, and at once where there are none.
    unsigned CountStandIns(const unsigned char* input, unsigned count) const;

    // The offset of the first of count input bytes written as such a
    // stand-in; count when there is none.
    unsigned FirstStandIn(const unsigned char* input, unsigned count) const;

    int Path() const { return path_; }

    // Converts from now on by path, so that tests, the fuzz target and the
    // benchmark can compare them. Returns false and changes nothing when
    // this processor or build cannot run it.
    bool UsePath(int path);

private:
    template <bool StopAtNul>
    int ConvertBlock(unsigned char* output, const unsigned char* input, unsigned count);
    template <bool FindFirst>
    unsigned ScanStandIns(const unsigned char* input, unsigned count) const;

    struct ByteRange {
        unsigned char low, high;
    };

    conversion::Tables tables_;
    // Which bytes are written as a stand-in the user is told about; none at
    // all when anyStandIn_ is false. The values those bytes lie between, as
    // two ranges (both the same where one will do), so that eight bytes can
    // be seen to hold none without a look-up each.
    unsigned char standInBytes_[256];
    ByteRange standInSpans_[2];
    bool anyStandIn_;
    int source_, destination_;
    NewlineMode newlines_;
    int path_;
    const conversion::Kernel* kernel_;  // path_'s
    conversion::Shortcut shortcut_;  // how the look-ups fare, carried from call to call
    unsigned char carried_;          // the last input byte consumed
    unsigned char estimateCarried_;  // Estimate's own
};

// Converts a whole stream between two code pages.
#pragma once

#include <cstdio>

#include "input_stream.h"
#include "stream_converter.h"

enum StreamOutcome {
    StreamConverted,
    StreamReadFailed,
    StreamWriteFailed,
    StreamTextRejected,  // the input cannot be converted as it stands
};

struct StreamResult {
    StreamOutcome outcome;
    int error;  // errno of the failure; 0 when converted
};

// Where and why the text stopped a conversion (StreamTextRejected).
struct TextRejection {
    int stop;                   // UnicodeStop
    unsigned long long offset;  // of the offending character, from the start of the input
    unsigned long long line;    // the line it is on, from 1
    unsigned long character;    // the unmappable character, or the undefined byte
    bool offsetKnown = true;    // false for a character of repaired text, which the input does not hold
    // With UnicodeWriting's omit, how many characters were left out; the
    // fields above tell of the first.
    unsigned long long omitted = 0;
};

// Reads input to its end and writes the bytes converter makes of it to
// output. Output is left unflushed: the caller decides how far the data
// must get. Unless substitute is set, the first byte that would become a
// stand-in (PageConverter::HasStandIns) stops the conversion, having
// written what came before it: StreamTextRejected, with rejection filled in
// as the Unicode conversions fill it (UnicodeUnmappable and the character,
// or UnicodeUndefined and the byte).
StreamResult ConvertStream(InputStream& input, std::FILE* output, PageConverter& converter, bool substitute,
                           TextRejection& rejection);

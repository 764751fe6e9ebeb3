// Converts a whole stream with the conversion SelectUnicodeConversion has
// fixed, and says where the text stopped it.
#pragma once

#include <cstdio>

#include "stream_conversion.h"

struct TextRejection {
    int stop;                   // UnicodeStop
    unsigned long long offset;  // of the offending character, from the start of the input
    unsigned long long line;    // the line it is on, from 1
    unsigned long character;    // the unmappable character, or the undefined byte
};

// Reads input to its end and writes the converted bytes to output, or stops
// at the first character that cannot be converted, having written what came
// before it: StreamTextRejected, with rejection filled in. Output is left
// unflushed. outputStarted says whether an earlier input wrote to the same
// output already, and is set once this one does: UTF-16 output has one byte
// order mark, at its start.
StreamResult ConvertUnicodeStream(InputStream& input, std::FILE* output, bool& outputStarted,
                                  TextRejection& rejection);

// Converts a whole stream with the conversion SelectUnicodeConversion has
// fixed, and says where the text stopped it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>

#include "encoding_names.h"
#include "stream_conversion.h"

struct TextRejection {
    int stop;                   // UnicodeStop
    unsigned long long offset;  // of the offending character, from the start of the input
    unsigned long long line;    // the line it is on, from 1
    unsigned long character;    // the unmappable character, or the undefined byte
    bool offsetKnown = true;    // false for a character of repaired text, which the input does not hold
};

// Where converted bytes go: false, with errno set where the system said
// why, when they could not be written.
using ConvertedBytes = std::function<bool(const unsigned char* bytes, size_t count)>;

// Reads input to its end and writes the converted bytes to output, or stops
// at the first character that cannot be converted, having written what came
// before it: StreamTextRejected, with rejection filled in. Output is left
// unflushed. UTF-16 output goes in outputOrder (Utf16Order): by mark, it
// has one byte order mark, at its start; outputStarted says whether an
// earlier input wrote to the same output already, and is set once this one
// does.
StreamResult ConvertUnicodeStream(InputStream& input, std::FILE* output, int outputOrder, bool& outputStarted,
                                  TextRejection& rejection);

// The same into a writer of the caller's: StreamWriteFailed when it returns
// false.
StreamResult ConvertUnicodeStream(InputStream& input, const ConvertedBytes& output, int outputOrder,
                                  bool& outputStarted, TextRejection& rejection);

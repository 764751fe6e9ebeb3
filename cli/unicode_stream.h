// Converts a whole stream with a UnicodeConverter, and says where the text
// stopped it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>

#include "encoding_names.h"
#include "stream_conversion.h"
#include "unicode_conversion.h"

// How the converted text is written.
struct UnicodeWriting {
    int order = Utf16ByMark;  // of UTF-16 output (Utf16Order)
    // -t DST//IGNORE: a character that cannot be converted, and input that
    // breaks its encoding's rules, is left out and counted, and the
    // conversion goes on.
    bool omit = false;
};

// Where converted bytes go: false, with errno set where the system said
// why, when they could not be written.
using ConvertedBytes = std::function<bool(const unsigned char* bytes, size_t count)>;

// Reads input to its end and writes the bytes converter (at the start of a
// stream) makes of it to output, or stops
// at the first character that cannot be converted, having written what came
// before it: StreamTextRejected, with rejection filled in. With omit, it
// goes on past such characters instead and says in rejection what it left
// out. Output is left unflushed. UTF-16 output by mark has one byte order
// mark, at its start; outputStarted says whether an earlier input wrote to
// the same output already, and is set once this one does.
StreamResult ConvertUnicodeStream(InputStream& input, std::FILE* output, UnicodeConverter& converter,
                                  const UnicodeWriting& writing, bool& outputStarted, TextRejection& rejection);

// The same into a writer of the caller's: StreamWriteFailed when it returns
// false.
StreamResult ConvertUnicodeStream(InputStream& input, const ConvertedBytes& output, UnicodeConverter& converter,
                                  const UnicodeWriting& writing, bool& outputStarted, TextRejection& rejection);

// Converts a whole stream with the conversion SelectUnicodeConversion has
// fixed, and says where the text stopped it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>

#include "stream_conversion.h"

// Where converted bytes go: false, with errno set where the system said
// why, when they could not be written.
using ConvertedBytes = std::function<bool(const unsigned char* bytes, size_t count)>;

// Reads input to its end and writes the converted bytes to output, or stops
// at the first character that cannot be converted, having written what came
// before it: StreamTextRejected, with rejection filled in. Output is left
// unflushed. outputStarted says whether an earlier input wrote to the same
// output already, and is set once this one does: UTF-16 output has one byte
// order mark, at its start.
StreamResult ConvertUnicodeStream(InputStream& input, std::FILE* output, bool& outputStarted,
                                  TextRejection& rejection);

// The same into a writer of the caller's: StreamWriteFailed when it returns
// false.
StreamResult ConvertUnicodeStream(InputStream& input, const ConvertedBytes& output, bool& outputStarted,
                                  TextRejection& rejection);

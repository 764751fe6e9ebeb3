// Converts a whole stream with the conversion SelectConversionOf has fixed.
#pragma once

#include <cstdio>

#include "input_stream.h"

enum StreamOutcome {
    StreamConverted,
    StreamReadFailed,
    StreamWriteFailed,
    StreamTextRejected,  // the input cannot be converted as it stands (Unicode conversions)
};

struct StreamResult {
    StreamOutcome outcome;
    int error;  // errno of the failure; 0 when converted
};

// Reads input to its end and writes the converted bytes to output. Output is
// left unflushed: the caller decides how far the data must get.
StreamResult ConvertStream(InputStream& input, std::FILE* output);

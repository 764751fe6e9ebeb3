// Small helpers shared by the engine tests.
#pragma once

#include <string>
#include <vector>

#include "stream_converter.h"

using Bytes = std::vector<unsigned char>;

inline Bytes MakeBytes(std::initializer_list<int> values)
{
    Bytes bytes;
    for (int v : values)
        bytes.push_back(static_cast<unsigned char>(v));
    return bytes;
}

// Selects a conversion the way a job does.
inline void Select(int source, int destination, bool convertNewlines = false)
{
    SelectConversionOf(0, source, destination, convertNewlines);
}

// One ConvertChunk (or ConvertStreamChunk) call into a generously sized buffer
// whose unused tail is checked to stay untouched.
inline Bytes Chunk(const Bytes& input, int first = 1, bool stream = false)
{
    const size_t size = 2 * input.size() + 1;
    Bytes output(size + 16, 0xEE);
    const unsigned count = static_cast<unsigned>(input.size());
    const int written = stream ? ConvertStreamChunk(output.data(), input.data(), count, first)
                               : ConvertChunk(output.data(), input.data(), count, first);
    for (size_t n = size; n < output.size(); ++n)
        if (output[n] != 0xEE)
            return MakeBytes({-1});  // wrote past the largest possible output
    output.resize(static_cast<size_t>(written));
    return output;
}

inline Bytes StreamChunk(const Bytes& input, int first = 1)
{
    return Chunk(input, first, true);
}

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

// A converter made the way a job makes one.
inline PageConverter Converter(int source, int destination, bool convertNewlines = false)
{
    return PageConverter::ForOption(source, destination, convertNewlines);
}

// One ConvertText (or Convert) call into a generously sized buffer whose
// unused tail is checked to stay untouched.
inline Bytes Chunk(PageConverter& converter, const Bytes& input, bool stream = false)
{
    const size_t size = 2 * input.size() + 1;
    Bytes output(size + 16, 0xEE);
    const unsigned count = static_cast<unsigned>(input.size());
    const int written = stream ? converter.Convert(output.data(), input.data(), count)
                               : converter.ConvertText(output.data(), input.data(), count);
    for (size_t n = size; n < output.size(); ++n)
        if (output[n] != 0xEE)
            return MakeBytes({-1});  // wrote past the largest possible output
    output.resize(static_cast<size_t>(written));
    return output;
}

inline Bytes StreamChunk(PageConverter& converter, const Bytes& input)
{
    return Chunk(converter, input, true);
}

// The text form in a new stream of the conversion.
inline Bytes Converted(int source, int destination, const Bytes& input, bool convertNewlines = false)
{
    PageConverter converter = Converter(source, destination, convertNewlines);
    return Chunk(converter, input);
}

inline Bytes StreamConverted(int source, int destination, const Bytes& input, bool convertNewlines = false)
{
    PageConverter converter = Converter(source, destination, convertNewlines);
    return StreamChunk(converter, input);
}

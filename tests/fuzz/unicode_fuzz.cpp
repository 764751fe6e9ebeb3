// libFuzzer target for the Unicode conversions, built with AddressSanitizer
// and UndefinedBehaviorSanitizer. The first three bytes choose the
// conversion and the block size; the rest is converted in one call and in
// blocks the way tarvoconv feeds them, carrying a cut character over, into
// output buffers exactly as large as the engine asks for. Both ways, and the
// scalar path in one call, must give the same bytes, stop at the same
// offset and count the same lines.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "unicode_conversion.h"

namespace {

struct Result {
    std::vector<unsigned char> output;
    int stop = UnicodeConverted;
    size_t offset = 0;
    size_t lineEnds = 0;
};

// A new stream of converter's conversion.
Result ConvertInBlocks(UnicodeConverter converter, const unsigned char* data, size_t size, size_t blockSize)
{
    Result result;
    std::vector<unsigned char> block;  // what was carried, then the next bytes
    size_t at = 0, offset = 0;
    for (;;) {
        const size_t take = size - at < blockSize ? size - at : blockSize;
        block.insert(block.end(), data + at, data + at + take);
        at += take;
        const bool last = at == size;
        std::vector<unsigned char> out(UnicodeConverter::OutputSize(static_cast<unsigned>(block.size())));
        const UnicodeChunk chunk = converter.Convert(out.data(), block.data(), static_cast<unsigned>(block.size()), last);
        if (chunk.written > out.size() || chunk.consumed > block.size())
            std::abort();
        result.output.insert(result.output.end(), out.begin(), out.begin() + chunk.written);
        result.lineEnds += chunk.lineEnds;
        if (chunk.stop != UnicodeConverted) {
            result.stop = chunk.stop;
            result.offset = offset + chunk.consumed;
            return result;
        }
        if (last && chunk.consumed != block.size())
            std::abort();
        if (last)
            return result;
        if (block.size() - chunk.consumed > 3)  // more than a cut character
            std::abort();
        block.erase(block.begin(), block.begin() + chunk.consumed);
        offset += chunk.consumed;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    UnicodeConverter converter(data[0] % EncodingCount, data[1] % EncodingCount, data[2] & 1, data[2] & 2);
    const size_t blockSize = 1 + (data[2] >> 2) % 64;
    data += 3;
    size -= 3;

    UnicodeConverter scalar = converter;
    scalar.UsePath(PathScalar);
    const Result reference = ConvertInBlocks(scalar, data, size, size ? size : 1);
    const Result whole = ConvertInBlocks(converter, data, size, size ? size : 1);
    const Result blocks = ConvertInBlocks(converter, data, size, blockSize);
    for (const Result* result : {&whole, &blocks})
        if (result->output != reference.output || result->stop != reference.stop ||
            result->offset != reference.offset || result->lineEnds != reference.lineEnds)
            std::abort();
    return 0;
}

// libFuzzer target for the engine, built with AddressSanitizer and
// UndefinedBehaviorSanitizer. The first three bytes choose the conversion and
// how to cut the rest into blocks; every output buffer is exactly as large as
// the engine promises to need, so a write past it is caught.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "stream_converter.h"

namespace {

size_t LargestOutput(size_t count)
{
    switch (Conversion.Newlines) {
    case AddCr: return 2 * count;
    case StripCr: return count + 1;
    default: return count;
    }
}

std::vector<unsigned char> ConvertInBlocks(const unsigned char* data, size_t size, size_t blockSize, bool stream)
{
    std::vector<unsigned char> result;
    size_t at = 0;
    do {
        const size_t count = size - at < blockSize ? size - at : blockSize;
        std::vector<unsigned char> out(LargestOutput(count));
        const int first = at == 0;
        const unsigned n = static_cast<unsigned>(count);
        const int written = stream ? ConvertStreamChunk(out.data(), data + at, n, first)
                                   : ConvertChunk(out.data(), data + at, n, first);
        if (written < 0 || static_cast<size_t>(written) > out.size())
            std::abort();
        result.insert(result.end(), out.begin(), out.begin() + written);
        at += count;
    } while (at < size);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    BuildByteTables();
    // Pages 0..6: two out-of-range values are exercised as well.
    SelectConversionOf(data[2] & 0x80, data[0] % 7, data[1] % 7, data[2] & 1);
    const size_t blockSize = 1 + (data[2] >> 1) % 64;
    data += 3;
    size -= 3;

    const std::vector<unsigned char> whole = ConvertInBlocks(data, size, size ? size : 1, true);
    if (ConvertInBlocks(data, size, blockSize, true) != whole)
        std::abort();
    if (Conversion.Newlines == Keep && whole.size() != size)
        std::abort();

    // The text form in one call: never more than the estimate, and equal to
    // the stream form up to its first NUL.
    std::vector<unsigned char> text(LargestOutput(size));
    const unsigned estimate = EstimateOutputSize(data, static_cast<unsigned>(size), 1);
    const int written = ConvertChunk(text.data(), data, static_cast<unsigned>(size), 1);
    if (static_cast<unsigned>(written) > estimate)
        std::abort();
    text.resize(static_cast<size_t>(written));
    if (!std::memchr(data, 0, size) && text != whole)
        std::abort();
    return 0;
}

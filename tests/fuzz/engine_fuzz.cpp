// libFuzzer target for the engine, built with AddressSanitizer and
// UndefinedBehaviorSanitizer. The first four bytes choose the conversion, how
// to cut the rest into blocks and the path to compare with the scalar one.
// The path's output buffers are exactly as large as what the scalar path
// wrote, so any byte it writes past that is caught.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "stream_converter.h"

namespace {

using Bytes = std::vector<unsigned char>;

size_t LargestOutput(const PageConverter& converter, size_t count)
{
    switch (converter.Newlines()) {
    case AddCr: return 2 * count;
    case StripCr: return count + 1;
    default: return count;
    }
}

// One stream converted in blocks: each block's output and carried byte, and
// what finishing the stream writes.
struct Blocks {
    std::vector<Bytes> outputs;
    Bytes carries;
    Bytes finish;

    bool operator==(const Blocks& other) const
    {
        return outputs == other.outputs && carries == other.carries && finish == other.finish;
    }
};

// A new stream of converter's conversion, into output buffers as large as
// the header promises, or as sized gives.
Blocks ConvertInBlocks(PageConverter converter, const unsigned char* data, size_t size, size_t blockSize, bool stream,
                       const Blocks* sized)
{
    Blocks blocks;
    size_t at = 0;
    do {
        const size_t count = size - at < blockSize ? size - at : blockSize;
        const size_t n = blocks.outputs.size();
        Bytes out(sized ? sized->outputs[n].size() : LargestOutput(converter, count));
        const unsigned length = static_cast<unsigned>(count);
        const int written = stream ? converter.Convert(out.data(), data + at, length)
                                   : converter.ConvertText(out.data(), data + at, length);
        if (written < 0 || static_cast<size_t>(written) > out.size())
            std::abort();
        out.resize(static_cast<size_t>(written));
        blocks.outputs.push_back(out);
        blocks.carries.push_back(converter.Carried());
        at += count;
        if (!stream && written > 0 && out.back() == 0)
            break;  // the text ended
    } while (at < size);
    unsigned char tail[1];
    blocks.finish.assign(tail, tail + converter.Finish(tail));
    return blocks;
}

Bytes Joined(const Blocks& blocks)
{
    Bytes joined;
    for (const Bytes& out : blocks.outputs)
        joined.insert(joined.end(), out.begin(), out.end());
    return joined;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    // Pages 0..6: two out-of-range values are exercised as well.
    PageConverter converter = data[2] & 0x80 ? PageConverter::SecondPass(data[1] % 7, data[2] & 1)
                                             : PageConverter::ForOption(data[0] % 7, data[1] % 7, data[2] & 1);
    const size_t blockSize = 1 + (data[2] >> 1) % 64 + (data[3] & 0xF0);
    const int path = data[3] % ConversionPathCount;
    data += 4;
    size -= 4;

    converter.UsePath(PathScalar);
    const Blocks whole = ConvertInBlocks(converter, data, size, size ? size : 1, true, nullptr);
    const Blocks inBlocks = ConvertInBlocks(converter, data, size, blockSize, true, nullptr);
    if (Joined(inBlocks) != Joined(whole))
        std::abort();
    if (converter.Newlines() == Keep && Joined(whole).size() != size)
        std::abort();

    // The text form in one call: never more than the estimate, and equal to
    // the stream form up to its first NUL.
    PageConverter textForm = converter;
    Bytes text(LargestOutput(converter, size));
    const unsigned estimate = textForm.Estimate(data, static_cast<unsigned>(size));
    const int written = textForm.ConvertText(text.data(), data, static_cast<unsigned>(size));
    if (static_cast<unsigned>(written) > estimate)
        std::abort();
    text.resize(static_cast<size_t>(written));
    if (!std::memchr(data, 0, size) && text != Joined(whole))
        std::abort();
    const Blocks textBlocks = ConvertInBlocks(converter, data, size, blockSize, false, nullptr);

    // Stand-ins: as many in blocks as at once, and the first one found has
    // none before it.
    const unsigned count = static_cast<unsigned>(size);
    const unsigned standIns = converter.CountStandIns(data, count);
    unsigned inBlocksCounted = 0;
    for (unsigned at = 0; at < count; at += static_cast<unsigned>(blockSize))
        inBlocksCounted += converter.CountStandIns(data + at, std::min(count - at, static_cast<unsigned>(blockSize)));
    const unsigned first = converter.FirstStandIn(data, count);
    if (inBlocksCounted != standIns || (first == count) != (standIns == 0) ||
        converter.CountStandIns(data, first) != 0 || (first < count && converter.CountStandIns(data + first, 1) != 1))
        std::abort();

    // The chosen path, block by block, into exactly what the scalar one
    // wrote.
    if (converter.UsePath(path)) {
        if (!(ConvertInBlocks(converter, data, size, blockSize, true, &inBlocks) == inBlocks))
            std::abort();
        if (!(ConvertInBlocks(converter, data, size, blockSize, false, &textBlocks) == textBlocks))
            std::abort();
        if (!(ConvertInBlocks(converter, data, size, size ? size : 1, true, &whole) == whole))
            std::abort();
    }
    return 0;
}

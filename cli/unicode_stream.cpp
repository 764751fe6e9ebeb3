#include "unicode_stream.h"

#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "unicode_conversion.h"

namespace {

const unsigned InputBlockSize = 256 * 1024;

int ErrnoOrIo()
{
    return errno != 0 ? errno : EIO;
}

// The engine writes UTF-16 little-endian; whole code units, so count is even.
void SwapUnits(unsigned char* bytes, size_t count)
{
    for (size_t at = 0; at + 1 < count; at += 2)
        std::swap(bytes[at], bytes[at + 1]);
}

} // namespace

StreamResult ConvertUnicodeStream(InputStream& input, std::FILE* output, int outputOrder, bool& outputStarted,
                                  TextRejection& rejection)
{
    const ConvertedBytes write = [output](const unsigned char* bytes, size_t count) {
        return std::fwrite(bytes, 1, count, output) == count;
    };
    return ConvertUnicodeStream(input, write, outputOrder, outputStarted, rejection);
}

StreamResult ConvertUnicodeStream(InputStream& input, const ConvertedBytes& output, int outputOrder,
                                  bool& outputStarted, TextRejection& rejection)
{
    // The engine starts every stream of UTF-16 with a mark.
    const bool utf16 = UnicodeConversion.Dst == EncodingUtf16;
    size_t markToDrop = utf16 && (outputStarted || outputOrder != Utf16ByMark) ? 2 : 0;
    std::vector<unsigned char> block(InputBlockSize);
    std::vector<unsigned char> converted(UnicodeOutputSize(InputBlockSize));
    unsigned carried = 0;
    unsigned long long offset = 0;  // of block[0] in the input
    unsigned long long lineEnds = 0;
    for (int first = 1;; first = 0) {
        errno = 0;
        const size_t wanted = block.size() - carried;
        const size_t count = ReadInput(input, block.data() + carried, wanted);
        if (std::ferror(input.file))
            return {StreamReadFailed, ErrnoOrIo()};
        const int last = count < wanted;
        const unsigned total = carried + static_cast<unsigned>(count);
        const UnicodeChunk chunk = ConvertUnicodeChunk(converted.data(), block.data(), total, first, last);
        const size_t dropped = markToDrop < chunk.written ? markToDrop : chunk.written;
        const size_t size = chunk.written - dropped;
        markToDrop -= dropped;
        outputStarted = outputStarted || chunk.written > 0;
        if (utf16 && outputOrder == Utf16Big)
            SwapUnits(converted.data() + dropped, size);
        errno = 0;
        if (size > 0 && !output(converted.data() + dropped, size))
            return {StreamWriteFailed, ErrnoOrIo()};
        lineEnds += chunk.lineEnds;
        if (chunk.stop != UnicodeConverted) {
            // A stop is never inside the mark added, which the engine reads as one.
            rejection = {chunk.stop, offset + chunk.consumed - input.added, lineEnds + 1, chunk.character};
            return {StreamTextRejected, 0};
        }
        if (last)
            return {StreamConverted, 0};
        carried = total - chunk.consumed;
        std::memmove(block.data(), block.data() + chunk.consumed, carried);
        offset += chunk.consumed;
    }
}

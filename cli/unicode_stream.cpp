#include "unicode_stream.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "byte_block.h"
#include "output_file.h"

namespace {

const unsigned LargestBlock = 256 * 1024;

int ErrnoOrIo()
{
    return errno != 0 ? errno : EIO;
}

// How many bytes of the input the character that stopped the conversion
// takes, to be left out: a character the destination cannot hold whole, of
// bytes that break the input's rules as little as iconv leaves out, a byte
// or a UTF-16 code unit.
unsigned LeftOutLength(const UnicodeChunk& stop, int source)
{
    const bool utf16 = source == EncodingUtf16;
    if (stop.stop == UnicodeInvalid)
        return utf16 ? 2 : 1;
    if (stop.stop != UnicodeUnmappable || !IsUnicodeEncoding(source))
        return 1;
    const unsigned long c = stop.character;
    if (utf16)
        return c < 0x10000 ? 2 : 4;
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

// The engine writes UTF-16 little-endian; whole code units, so count is even.
void SwapUnits(unsigned char* bytes, size_t count)
{
    for (size_t at = 0; at + 1 < count; at += 2)
        std::swap(bytes[at], bytes[at + 1]);
}

} // namespace

StreamResult ConvertUnicodeStream(InputStream& input, std::FILE* output, UnicodeConverter& converter,
                                  const UnicodeWriting& writing, bool& outputStarted, TextRejection& rejection)
{
    const ConvertedBytes write = [output](const unsigned char* bytes, size_t count) {
        return WriteOutput(output, bytes, count);
    };
    return ConvertUnicodeStream(input, write, converter, writing, outputStarted, rejection);
}

StreamResult ConvertUnicodeStream(InputStream& input, const ConvertedBytes& output, UnicodeConverter& converter,
                                  const UnicodeWriting& writing, bool& outputStarted, TextRejection& rejection)
{
    // The engine starts every stream of UTF-16 with a mark.
    const bool utf16 = converter.Destination() == EncodingUtf16;
    size_t markToDrop = utf16 && (outputStarted || writing.order != Utf16ByMark) ? 2 : 0;
    ByteBlock block(InputBlockSize(input, LargestBlock));
    ByteBlock converted(UnicodeConverter::OutputSize(static_cast<unsigned>(block.size())));
    unsigned carried = 0;
    unsigned long long offset = 0;  // of block[0] in the input
    unsigned long long lineEnds = 0;
    rejection.omitted = 0;
    for (;;) {
        errno = 0;
        const size_t wanted = block.size() - carried;
        const size_t count = ReadInput(input, block.data() + carried, wanted);
        if (std::ferror(input.file))
            return {StreamReadFailed, ErrnoOrIo()};
        const bool last = count < wanted;
        const unsigned total = carried + static_cast<unsigned>(count);
        unsigned done = 0;  // bytes of the block converted, or left out
        for (;;) {
            const UnicodeChunk chunk = converter.Convert(converted.data(), block.data() + done, total - done, last);
            const size_t dropped = markToDrop < chunk.written ? markToDrop : chunk.written;
            const size_t size = chunk.written - dropped;
            markToDrop -= dropped;
            outputStarted = outputStarted || chunk.written > 0;
            if (utf16 && writing.order == Utf16Big)
                SwapUnits(converted.data() + dropped, size);
            errno = 0;
            if (size > 0 && !output(converted.data() + dropped, size))
                return {StreamWriteFailed, ErrnoOrIo()};
            lineEnds += chunk.lineEnds;
            done += chunk.consumed;
            if (chunk.stop == UnicodeConverted)
                break;
            // A stop is never inside the mark added, which the engine reads as one.
            const TextRejection stop = {chunk.stop, offset + done - input.added, lineEnds + 1, chunk.character};
            const unsigned long long omitted = rejection.omitted + 1;
            if (!writing.omit || omitted == 1)
                rejection = stop;
            if (!writing.omit)
                return {StreamTextRejected, 0};
            rejection.omitted = omitted;
            done += chunk.stop == UnicodeTruncated ? total - done : LeftOutLength(chunk, converter.Source());
        }
        if (last)
            return {StreamConverted, 0};
        carried = total - done;
        std::memmove(block.data(), block.data() + done, carried);
        offset += done;
    }
}

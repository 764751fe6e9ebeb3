#include "stream_conversion.h"

#include <cerrno>
#include <vector>

#include "stream_converter.h"

namespace {

// Large enough that the system calls, not the conversion, set the pace, and
// small enough that a block and its output stay in the processor's cache.
const unsigned InputBlockSize = 256 * 1024;

// Every LF may gain a CR, and a CR held back from the previous block may be
// written in front of this one.
const unsigned OutputBlockSize = 2 * InputBlockSize + 1;

int ErrnoOrIo()
{
    return errno != 0 ? errno : EIO;
}

} // namespace

StreamResult ConvertStream(InputStream& input, std::FILE* output)
{
    std::vector<unsigned char> block(InputBlockSize);
    std::vector<unsigned char> converted(OutputBlockSize);
    int first = 1;
    for (;;) {
        errno = 0;
        const size_t count = ReadInput(input, block.data(), block.size());
        const int readError = std::ferror(input.file) ? ErrnoOrIo() : 0;
        if (count > 0) {
            const int length =
                ConvertStreamChunk(converted.data(), block.data(), static_cast<unsigned>(count), first);
            first = 0;
            errno = 0;
            const size_t size = static_cast<size_t>(length);
            if (std::fwrite(converted.data(), 1, size, output) != size)
                return {StreamWriteFailed, ErrnoOrIo()};
        }
        if (readError != 0)
            return {StreamReadFailed, readError};
        if (count < block.size()) {
            // A CR still held back at the very end is written, not lost.
            const size_t tail = static_cast<size_t>(FinishStream(converted.data()));
            errno = 0;
            if (std::fwrite(converted.data(), 1, tail, output) != tail)
                return {StreamWriteFailed, ErrnoOrIo()};
            return {StreamConverted, 0};
        }
    }
}

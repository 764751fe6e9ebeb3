#include "stream_conversion.h"

#include <algorithm>
#include <cerrno>

#include "byte_block.h"
#include "output_file.h"
#include "stream_converter.h"
#include "unicode_conversion.h"

namespace {

// Large enough that the system calls, not the conversion, set the pace, and
// small enough that a block and its output stay in the processor's cache.
const unsigned LargestBlock = 256 * 1024;

const unsigned char LF = 0x0A;

int ErrnoOrIo()
{
    return errno != 0 ? errno : EIO;
}

// Counted in byte-wide lanes that the compiler keeps in vector registers,
// each emptied before it can overflow: std::count adds every byte's answer
// to a 64-bit total, which took longer than converting the block.
unsigned long long CountLineEnds(const unsigned char* bytes, size_t count)
{
    const size_t Lanes = 32, MostRounds = 255;
    unsigned long long total = 0;
    size_t at = 0;
    while (count - at >= Lanes) {
        unsigned char lanes[Lanes] = {};
        const size_t rounds = std::min((count - at) / Lanes, MostRounds);
        for (size_t round = 0; round < rounds; ++round, at += Lanes)
            for (size_t k = 0; k < Lanes; ++k)
                lanes[k] += bytes[at + k] == LF;
        for (unsigned char lane : lanes)
            total += lane;
    }
    for (; at < count; ++at)
        total += bytes[at] == LF;
    return total;
}

// From from on, the offset of the first byte of input from 0x80 up whose
// converted byte in output is ASCII; count for none. Chunks that hold none
// go by in one pass over both blocks, which the compiler vectorises.
size_t FirstTurnedAscii(const unsigned char* input, const unsigned char* output, size_t from, size_t count)
{
    const size_t Chunk = 64;
    size_t at = from;
    for (; count - at >= Chunk; at += Chunk) {
        unsigned char turned = 0;
        for (size_t k = 0; k < Chunk; ++k)
            turned |= input[at + k] & ~output[at + k];
        if (turned & 0x80)
            break;
    }
    for (; at < count; ++at)
        if (input[at] & ~output[at] & 0x80)
            return at;
    return count;
}

// Where no line end changes, every converted byte stands at its input
// byte's offset, and a stand-in shows as a byte from 0x80 up that became
// ASCII: stand-ins are ASCII, and a character from 0x80 up is one in every
// page. Only those few places, the plain forms of quotes and dashes among
// them, are asked whether the user is told about the stand-in. That costs
// less than asking of every byte before the conversion. count for none.
size_t FirstStandInConverted(const PageConverter& converter, const unsigned char* input, const unsigned char* output,
                             size_t count)
{
    size_t at = FirstTurnedAscii(input, output, 0, count);
    while (at < count && converter.FirstStandIn(input + at, 1) != 0)
        at = FirstTurnedAscii(input, output, at + 1, count);
    return at;
}

} // namespace

StreamResult ConvertStream(InputStream& input, std::FILE* output, PageConverter& converter, bool substitute,
                           TextRejection& rejection)
{
    ByteBlock block(InputBlockSize(input, LargestBlock));
    // Every LF may gain a CR, and a CR held back from the previous block may
    // be written in front of this one.
    ByteBlock converted(2 * block.size() + 1);
    // Only where a byte may stop the conversion are lines counted, to say
    // where it stood.
    const bool mayReject = !substitute && converter.HasStandIns();
    const bool sameOffsets = converter.Newlines() == Keep;  // each converted byte at its input byte's offset
    unsigned long long offset = 0, lineEnds = 0;
    for (;;) {
        errno = 0;
        const size_t count = ReadInput(input, block.data(), block.size());
        const int readError = std::ferror(input.file) ? ErrnoOrIo() : 0;
        unsigned taken = mayReject && !sameOffsets ? converter.FirstStandIn(block.data(), static_cast<unsigned>(count))
                                                   : static_cast<unsigned>(count);
        if (taken > 0) {
            int length = converter.Convert(converted.data(), block.data(), taken);
            if (mayReject && sameOffsets) {
                taken = static_cast<unsigned>(FirstStandInConverted(converter, block.data(), converted.data(), taken));
                length = static_cast<int>(taken);
            }
            if (!WriteOutput(output, converted.data(), static_cast<size_t>(length)))
                return {StreamWriteFailed, ErrnoOrIo()};
        }
        if (mayReject)
            lineEnds += CountLineEnds(block.data(), taken);
        if (taken < count) {
            const unsigned char byte = block.data()[taken];
            const unsigned long character = CharacterOfByte(converter.Source(), byte);
            rejection = {character != 0 ? UnicodeUnmappable : UnicodeUndefined, offset + taken, lineEnds + 1,
                         character != 0 ? character : byte};
            return {StreamTextRejected, 0};
        }
        offset += count;
        if (readError != 0)
            return {StreamReadFailed, readError};
        if (count < block.size()) {
            // A CR still held back at the very end is written, not lost.
            const size_t tail = static_cast<size_t>(converter.Finish(converted.data()));
            if (tail > 0 && !WriteOutput(output, converted.data(), tail))
                return {StreamWriteFailed, ErrnoOrIo()};
            return {StreamConverted, 0};
        }
    }
}

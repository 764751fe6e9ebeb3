#include "input_stream.h"

#include <cstring>

size_t ReadInput(InputStream& input, unsigned char* buffer, size_t size)
{
    const size_t fromHead = input.headLength < size ? input.headLength : size;
    std::memcpy(buffer, input.head, fromHead);
    input.head += fromHead;
    input.headLength -= fromHead;
    if (fromHead == size)
        return size;
    return fromHead + std::fread(buffer + fromHead, 1, size - fromHead, input.file);
}

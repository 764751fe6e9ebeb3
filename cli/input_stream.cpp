#include "input_stream.h"

#include <cstring>

#include "binary_text.h"

size_t ReadInput(InputStream& input, unsigned char* buffer, size_t size)
{
    if (input.scan != nullptr && input.scan->FoundData())
        return 0;
    const size_t fromHead = input.headLength < size ? input.headLength : size;
    std::memcpy(buffer, input.head, fromHead);
    input.head += fromHead;
    input.headLength -= fromHead;
    size_t read = fromHead;
    if (fromHead < size)
        read += std::fread(buffer + fromHead, 1, size - fromHead, input.file);
    if (input.scan != nullptr) {
        input.scan->Read(buffer, read);
        if (read < size)
            input.scan->Finish();
    }
    return read;
}

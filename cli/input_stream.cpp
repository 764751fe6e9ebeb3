#include "input_stream.h"

#include <cstring>

#include <sys/stat.h>

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

size_t InputBlockSize(const InputStream& input, size_t largest)
{
    const size_t smallest = 4096;
#ifdef _WIN32
    struct _stati64 status;
    const bool known = _fstati64(_fileno(input.file), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat status;
    const bool known = fstat(fileno(input.file), &status) == 0 && S_ISREG(status.st_mode);
#endif
    // The head is part of the file's size; what was added in front is not.
    if (!known || static_cast<unsigned long long>(status.st_size) >= largest)
        return largest;
    const size_t whole = input.added + static_cast<size_t>(status.st_size) + 1;
    const size_t wanted = whole < smallest ? smallest : whole;
    return wanted < largest ? wanted : largest;
}

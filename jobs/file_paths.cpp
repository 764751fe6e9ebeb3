#include "file_paths.h"

#include <cstring>

namespace {

int CopyPart(char* buffer, int size, const char* text, int length)
{
    if (length < 0 || length >= size)
        return 0;
    std::memcpy(buffer, text, static_cast<size_t>(length));
    buffer[length] = 0;
    return 1;
}

} // namespace

int BoundedLength(const char* text, int size)
{
    for (int length = 0; length < size; ++length)
        if (text[length] == 0)
            return length;
    return -1;
}

int CopyPath(char* buffer, int size, const char* path)
{
    return CopyPart(buffer, size, path, BoundedLength(path, size));
}

int CopyDirectoryOf(char* buffer, int size, const char* path)
{
    const char* name = FileNameOf(path);
    if (name == path)
        return CopyPath(buffer, size, path);
    return CopyPart(buffer, size, path, static_cast<int>(name - 1 - path));
}

int JoinPath(char* buffer, int size, const char* directory, const char* name)
{
    const int directoryLength = BoundedLength(directory, size);
    const int nameLength = BoundedLength(name, size);
    if (directoryLength < 0 || nameLength < 0)
        return 0;
    const int separator = directoryLength > 0 && directory[directoryLength - 1] == '\\' ? 0 : 1;
    if (directoryLength + separator + nameLength >= size)
        return 0;
    std::memcpy(buffer, directory, static_cast<size_t>(directoryLength));
    if (separator)
        buffer[directoryLength] = '\\';
    std::memcpy(buffer + directoryLength + separator, name, static_cast<size_t>(nameLength) + 1);
    return 1;
}

const char* FileNameOf(const char* path)
{
    const char* backslash = std::strrchr(path, '\\');
    return backslash ? backslash + 1 : path;
}

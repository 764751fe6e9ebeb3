// Building texts in fixed buffers without ever writing past them.
#pragma once

#include <windows.h>

// Appends text to the string in buffer (size bytes in all), cutting it
// where the buffer ends; the result is always terminated.
inline void AppendText(char* buffer, int size, const char* text)
{
    const int used = lstrlenA(buffer);
    if (used < size)
        lstrcpynA(buffer + used, text, size - used);
}

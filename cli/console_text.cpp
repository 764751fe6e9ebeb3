#include "console_text.h"

#ifdef _WIN32

#include <io.h>
#include <windows.h>

#include "file_names.h"

void WriteText(std::FILE* stream, const std::string& text)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        std::fputs(text.c_str(), stream);
        return;
    }
    // What is still in the stream's buffer was written first.
    std::fflush(stream);
    const std::wstring wide = WideFromUtf8(text);
    DWORD written = 0;
    for (size_t at = 0; at < wide.size(); at += written)
        if (!WriteConsoleW(handle, wide.data() + at, static_cast<DWORD>(wide.size() - at), &written, nullptr) ||
            written == 0)
            break;
}

#else

void WriteText(std::FILE* stream, const std::string& text)
{
    std::fputs(text.c_str(), stream);
}

#endif

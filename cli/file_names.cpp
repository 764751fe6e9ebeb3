#include "file_names.h"

#ifdef _WIN32

#include <windows.h>

#include <cerrno>

std::wstring WideFromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Utf8FromWide(const wchar_t* text, size_t length)
{
    if (length == 0)
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &utf8[0], size, nullptr, nullptr);
    return utf8;
}

std::string Utf8FromWide(const std::wstring& text)
{
    return Utf8FromWide(text.data(), text.size());
}

std::string LastErrorText()
{
    const DWORD code = GetLastError();
    wchar_t text[512];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                  text, sizeof text / sizeof text[0], nullptr);
    while (length > 0 && wcschr(L"\r\n. ", text[length - 1]) != nullptr)
        --length;
    if (length == 0)
        return "system error " + std::to_string(code);
    return Utf8FromWide(text, length);
}

std::FILE* OpenToRead(const std::string& path)
{
    const std::wstring name = WideFromUtf8(path);
    std::FILE* file = _wfopen(name.c_str(), L"rb");
    // A wildcard pattern that matched no file is left as it was written;
    // the system calls such a name invalid, where the user wants to hear
    // that there is no such file.
    if (file == nullptr && errno == EINVAL && name.find_first_of(L"*?") != std::wstring::npos)
        errno = ENOENT;
    return file;
}

#else

std::FILE* OpenToRead(const std::string& path)
{
    return std::fopen(path.c_str(), "rb");
}

#endif

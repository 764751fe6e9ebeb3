#include "file_names.h"

#ifdef _WIN32

#include <windows.h>

#include <cerrno>

#include "translation.h"

std::wstring WideFromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::wstring SystemPath(const std::wstring& path)
{
    if (path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0)
        return path;
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(length);
    if (full.size() < MAX_PATH || full.compare(0, 4, L"\\\\.\\") == 0)
        return path;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring SystemPath(const std::string& path)
{
    return SystemPath(WideFromUtf8(path));
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
        return Format(_("system error %lu"), static_cast<unsigned long>(code));
    return Utf8FromWide(text, length);
}

std::FILE* OpenToRead(const std::string& path)
{
    const std::wstring name = SystemPath(path);
    std::FILE* file = _wfopen(name.c_str(), L"rb");
    if (file != nullptr)
        std::setvbuf(file, nullptr, _IONBF, 0);  // input_stream.h: read straight into the caller's block
    // A wildcard pattern that matched no file is left as it was written;
    // the system calls such a name invalid, where the user wants to hear
    // that there is no such file.
    const std::string::size_type start = path.compare(0, 4, "\\\\?\\") == 0 ? 4 : 0;
    if (file == nullptr && errno == EINVAL && path.find_first_of("*?", start) != std::string::npos)
        errno = ENOENT;
    return file;
}

#else

std::FILE* OpenToRead(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file != nullptr)
        std::setvbuf(file, nullptr, _IONBF, 0);  // input_stream.h: read straight into the caller's block
    return file;
}

#endif

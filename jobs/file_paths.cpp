#include "file_paths.h"

#include <windows.h>

std::wstring LongForm(const FilePath& path)
{
    if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0)
        return path;
    if (path.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    return path;
}

FilePath DirectoryOf(const FilePath& path)
{
    const size_t backslash = path.rfind(L'\\');
    return backslash == FilePath::npos ? FilePath() : path.substr(0, backslash);
}

FilePath FileNameOf(const FilePath& path)
{
    const size_t backslash = path.rfind(L'\\');
    return backslash == FilePath::npos ? path : path.substr(backslash + 1);
}

FilePath JoinPath(const FilePath& directory, const FilePath& name)
{
    if (!directory.empty() && directory.back() == L'\\')
        return directory + name;
    return directory + L'\\' + name;
}

int CopyPath(wchar_t* buffer, int size, const FilePath& text)
{
    if (size <= 0 || text.size() >= static_cast<size_t>(size))
        return 0;
    text.copy(buffer, text.size());
    buffer[text.size()] = L'\0';
    return 1;
}

std::wstring Widened(const char* text)
{
    std::wstring wide;
    for (; *text; ++text)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return wide;
}

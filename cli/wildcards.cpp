#include "wildcards.h"

#ifdef _WIN32

#include <windows.h>

#include <algorithm>

#include "file_names.h"

namespace {

// Where the folder part of a name ends: after its last separator, or after
// the drive of "C:*.txt".
std::wstring::size_type NameStart(const std::wstring& path)
{
    const std::wstring::size_type separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos)
        return separator + 1;
    return path.size() >= 2 && path[1] == L':' ? 2 : 0;
}

// Only the last part can hold wildcards: the '?' of a "\\?\" prefix is none.
bool HasWildcards(const std::wstring& path)
{
    return path.find_first_of(L"*?", NameStart(path)) != std::wstring::npos;
}

std::wstring Folded(const std::wstring& name)
{
    std::wstring folded = name;
    if (!folded.empty())
        CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

// The order in which NTFS lists a folder: by name, case folded, character
// by character. Other file systems list in no such order.
bool ListedBefore(const std::wstring& a, const std::wstring& b)
{
    const std::wstring foldedA = Folded(a), foldedB = Folded(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

std::vector<std::wstring> Matches(const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(SystemPath(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    const DWORD leftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (!(found.dwFileAttributes & leftOut))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), ListedBefore);
    return names;
}

} // namespace

std::vector<std::string> ExpandWildcards(const std::vector<std::string>& arguments)
{
    std::vector<std::string> expanded;
    for (const std::string& argument : arguments) {
        const std::wstring pattern = WideFromUtf8(argument);
        const std::vector<std::wstring> names =
            HasWildcards(pattern) ? Matches(pattern) : std::vector<std::wstring>();
        if (names.empty())
            expanded.push_back(argument);
        const std::wstring folder = pattern.substr(0, NameStart(pattern));
        for (const std::wstring& name : names)
            expanded.push_back(Utf8FromWide(folder + name));
    }
    return expanded;
}

#else

std::vector<std::string> ExpandWildcards(const std::vector<std::string>& arguments)
{
    return arguments;
}

#endif

// File names as tarvoconv holds them: in UTF-8, on every system. Windows
// gives the command line and takes file names in UTF-16: there they are
// turned into wide strings at the calls, so that a name holding characters
// outside the ANSI code page opens like any other.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Opens a file to read in binary mode, unbuffered; nullptr with errno set on
// failure.
std::FILE* OpenToRead(const std::string& path);

#ifdef _WIN32
std::wstring WideFromUtf8(const std::string& text);

// A file's name as the file functions take it: wide, and once the full
// path reaches MAX_PATH characters, that path with the \\?\ prefix, since
// only so does the system take longer ones. Shorter names, and device names,
// stay as they are.
std::wstring SystemPath(const std::wstring& path);
std::wstring SystemPath(const std::string& path);
std::string Utf8FromWide(const wchar_t* text, size_t length);
std::string Utf8FromWide(const std::wstring& text);

// The system's text for GetLastError's code, in UTF-8 and without the
// final full stop.
std::string LastErrorText();
#endif

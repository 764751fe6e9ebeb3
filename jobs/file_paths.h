// Paths as a file job carries them: wide, so that any name the file system
// holds can be opened whatever the system's code page, and of any length
// the system takes.
#pragma once

#include <string>

using FilePath = std::wstring;

// The form the file functions take: with the \\?\ prefix once a full path
// reaches MAX_PATH characters, since only so does the system take longer
// ones. Relative and device paths stay as they are.
std::wstring LongForm(const FilePath& path);

// The part of path before its last backslash; "" when it has none.
FilePath DirectoryOf(const FilePath& path);

// The part after its last backslash; the whole path when it has none.
FilePath FileNameOf(const FilePath& path);

// directory, a backslash and name; a directory that already ends in a
// backslash (a drive's root) gets no second one.
FilePath JoinPath(const FilePath& directory, const FilePath& name);

// Copies text whole into buffer of size characters and returns 1; returns 0,
// leaving buffer as it was, when it does not fit: a cut path names another
// folder.
int CopyPath(wchar_t* buffer, int size, const FilePath& text);

// A path or a message text, wide, from the program's own ASCII.
std::wstring Widened(const char* text);

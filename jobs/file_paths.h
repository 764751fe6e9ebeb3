// Paths held in fixed buffers. Every copy is measured first: a path that
// does not fit is refused, never cut, since a cut path names another file.
#pragma once

// The size of the buffers a file job keeps its paths in: the file list,
// the joined path and the output name.
const int FilePathBufferSize = 512;

// The length of text when it is shorter than size, else -1. Looks at no
// more than size bytes.
int BoundedLength(const char* text, int size);

// Copies path whole into buffer of size bytes and returns 1; returns 0,
// leaving buffer as it was, when it does not fit.
int CopyPath(char* buffer, int size, const char* path);

// The same for the part of path before its last backslash, or the whole
// path when it has none.
int CopyDirectoryOf(char* buffer, int size, const char* path);

// directory, a backslash and name; a directory that already ends in a
// backslash (a drive's root) gets no second one.
int JoinPath(char* buffer, int size, const char* directory, const char* name);

// The part of path after its last backslash; the whole path when it has none.
const char* FileNameOf(const char* path);

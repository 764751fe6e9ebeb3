// An output file that appears under its name only when it is complete.
//
// The data goes to a temporary file in the target's directory (so that the
// final rename stays on one file system), which replaces the target only
// after its last byte has reached the disk. A run that fails at any point
// leaves the target, and any input of the same name, as they were. On POSIX
// systems the new file keeps the old one's permissions, owner and group
// (where the caller may give them) and extended attributes; on Windows its
// attributes.
//
// Only a regular file, or a name not yet taken, is replaced so. A FIFO, a
// device, a socket or a terminal is written to as it is: a file put in its
// place would cut off whoever reads from it, or break the system (as root,
// /dev/stdout or /dev/null).
#pragma once

#include <cstdio>
#include <string>

struct PendingOutput {
    std::FILE* stream = nullptr;  // where the data is written
    std::string targetPath;
    std::string temporaryPath;
    bool direct = false;  // stream writes to the target itself, which is no regular file
    // What the new file is given as the last step before the rename, since
    // writing may take it away: on POSIX systems its permissions (with the
    // set-user-ID bits), on Windows its attributes (hidden, system).
    unsigned long mode = 0;
    bool replacing = false;  // an existing file is replaced, whose attributes are kept
};

// Creates the temporary file, or opens a target that is no regular file. On
// failure returns false with the reason and leaves nothing behind: also for
// an existing file that is read-only, or that the caller may not write.
bool BeginOutputFile(const std::string& targetPath, PendingOutput& output, std::string& reason);

// Flushes and closes the temporary file and renames it over the target (a
// target written directly is flushed and closed). On failure returns false
// with the system's reason, having removed the temporary file.
bool CommitOutputFile(PendingOutput& output, std::string& reason);

// Closes and removes the temporary file, for a run that failed elsewhere
// (what went to a target written directly is gone).
void DiscardOutputFile(PendingOutput& output);

// Writes count bytes to stream's file with the system's own call, straight
// from bytes: stdio would copy them once more into its buffer and write a
// block in two pieces. What stdio holds for the file is written first, so
// that the bytes keep their order. False with errno set on failure.
bool WriteOutput(std::FILE* stream, const unsigned char* bytes, size_t count);

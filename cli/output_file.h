// An output file that appears under its name only when it is complete.
//
// The data goes to a temporary file in the target's directory (so that the
// final rename stays on one file system), which replaces the target only
// after its last byte has reached the disk. A run that fails at any point
// leaves the target, and any input of the same name, as they were.
#pragma once

#include <cstdio>
#include <string>

struct PendingOutput {
    std::FILE* stream = nullptr;  // where the data is written
    std::string targetPath;
    std::string temporaryPath;
};

// Creates the temporary file. On failure returns false with the system's
// reason and leaves nothing behind.
bool BeginOutputFile(const std::string& targetPath, PendingOutput& output, std::string& reason);

// Flushes and closes the temporary file and renames it over the target. On
// failure returns false with the system's reason, having removed the
// temporary file.
bool CommitOutputFile(PendingOutput& output, std::string& reason);

// Closes and removes the temporary file, for a run that failed elsewhere.
void DiscardOutputFile(PendingOutput& output);

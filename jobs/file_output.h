// Where a file job writes: a temporary file beside the input when the input
// is to be replaced, else the file the user names in a save dialog.
#pragma once

#include <windows.h>

// Fills outputName (FilePathBufferSize bytes) and returns 1, or returns 0
// when the job ends here: the user cancelled, answered No, or has been told
// why. inPlace is the job's overwrite flag; choosing the input's own name
// in the save dialog turns it on. When inPlace is on at the return, the
// output is an empty temporary file that the job must replace the input
// with or delete.
int ChooseOutput(HWND window, const char* path, int& inPlace, char* outputName);

// True when path names a file marked read-only: one that the user does not
// want replaced.
bool IsReadOnlyFile(const char* path);

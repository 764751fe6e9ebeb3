// Where a file job writes. The plan is made once, before a byte is
// written: the converted text goes into a temporary file beside its
// destination and replaces the destination only once it is whole, so that
// a job that fails or is cancelled leaves the destination as it was.
#pragma once

#include <windows.h>

#include "file_paths.h"

struct OutputPlan {
    // The input itself in place, else the file named in the save dialog.
    char destination[FilePathBufferSize];
    // A new, empty file in the destination's folder; "" once it is gone.
    char temporary[FilePathBufferSize];
    int inPlace;
};

// Fills plan and returns 1, or returns 0 when the job ends here: the user
// cancelled, answered No, or has been told why. inPlace is the job's
// overwrite flag; choosing the input's own name in the save dialog turns
// it on. On 1 the temporary file exists, and the job must replace the
// destination with it or discard it.
int PlanOutput(HWND window, const char* path, int inPlace, OutputPlan& plan);

// Moves the temporary file over the destination in one rename; 0 when it
// cannot (the destination is left as it was, the temporary file too).
int ReplaceDestination(OutputPlan& plan);

// Deletes the temporary file, if it is still there.
void DiscardTemporary(OutputPlan& plan);

// True when path names a file marked read-only: one that the user does not
// want replaced.
bool IsReadOnlyFile(const char* path);

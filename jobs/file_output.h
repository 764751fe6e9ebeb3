// Where a file job writes. The plan is made once, before a byte is
// written: the converted text goes into a temporary file beside its
// destination and replaces the destination only once it is whole, so that
// a job that fails or is cancelled leaves the destination as it was.
#pragma once

#include <windows.h>

#include "file_paths.h"

struct OutputPlan {
    // The input itself in place, else the file named in the save dialog.
    FilePath destination;
    // A new, empty file in the destination's folder; empty once it is gone.
    FilePath temporary;
    int inPlace;
};

// Fills plan and returns 1, or returns 0 when the job ends here: the user
// cancelled, answered No, or has been told why. inPlace is the job's
// overwrite flag; choosing the input's own name in the save dialog turns
// it on. On 1 the temporary file exists, and the job must replace the
// destination with it or discard it.
int PlanOutput(HWND window, const FilePath& path, int inPlace, OutputPlan& plan);

enum Replacement {
    Replaced,
    NotReplaced,  // the destination as it was; the temporary file can go
    // The system took the destination away and could not put the temporary
    // file in its place: the converted text is there, under its own name.
    LeftInTemporary,
};

// Puts the temporary file in the destination's place, in one step: a file
// that was there keeps its attributes, its creation time and, where the
// file system has them, its other streams and its security.
Replacement ReplaceDestination(OutputPlan& plan);

// Deletes the temporary file, if it is still there.
void DiscardTemporary(OutputPlan& plan);

// True when path names a file marked read-only: one that the user does not
// want replaced.
bool IsReadOnlyFile(const FilePath& path);

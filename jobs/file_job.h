// One file's conversion from start to end, without the guard against a
// second job that the entry points of file_conversion.h put around it.
#pragma once

#include <windows.h>

#include "file_paths.h"

// ConvertFile's work: 1 when the file was converted (and, in place, the
// input replaced), else 0 after the user has been told why.
int RunFileJob(HWND window, const FilePath& path);

// At the end of a run of files: how many characters the files written since
// the last call had no place for in the destination code page, and were
// written as stand-ins, goes to the window (WM_STANDINS).
void TellStandInsOfRun(HWND window);

// The session ends: a temporary file made for a job that still waits in a
// dialog goes now, since the program may not run again to delete it.
void DiscardUnfinishedOutput();

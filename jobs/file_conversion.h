// Converting whole files: chosen in the open dialog, or dropped on the
// main window; to a new file named in a save dialog, or in place.
#pragma once

#include <windows.h>

#include <vector>

#include "file_paths.h"

// 1 = ask before converting in place while the preview is shown.
extern int AskConfirmation;

// Command 101: the open dialog, then each chosen file in turn.
void OpenAndConvertFiles(HWND window);

// Converts one file; 1 when it was converted, 0 when the job ended before
// that for any reason (the user has been told what went wrong).
int ConvertFile(HWND window, const FilePath& path);

// WM_DROPFILES: each dropped file in turn, until one fails.
void OnDropFiles(HWND window, HDROP drop);

// Files named on the command line or handed over by a second start: each
// in turn, with the questions that files chosen in the open dialog get,
// until one fails.
void ConvertFiles(HWND window, const std::vector<FilePath>& paths);

// Whether a run of files (or the open dialog before it) is going on now: a
// second run would be refused until it ends.
bool FileJobsRunning();

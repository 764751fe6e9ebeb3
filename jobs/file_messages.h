// How a file job tells the user that it ended early: an error box with an
// OK button, owned by the main window.
#pragma once

#include <windows.h>

#include "file_paths.h"

// What went wrong with one file: its path is the box's text and the
// problem (a text of the string table, IDS_CANT_...) its title, so that a
// long path stays readable. The path is shown as it is, in whatever script
// its name is written.
void ReportFileProblem(HWND window, UINT problem, const FilePath& path);

// Anything else: the message (a text of the string table) as the text, the
// program's name as the title.
void ReportProblem(HWND window, UINT message);

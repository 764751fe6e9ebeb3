// Files given to tarvo.exe on its command line: by "Open with", "Send To"
// and a drop on the program's icon. The first instance converts them as
// files chosen in the open dialog; a second start hands its files to the
// first and ends.
#pragma once

#include <windows.h>

#include <vector>

#include "file_paths.h"

// The command line's files as full paths: the instance that converts them
// may have another current folder.
std::vector<FilePath> FilesOnCommandLine();

// A second start: gives files to the running instance's window; false when
// it did not take them.
bool HandFilesToRunningInstance(HWND running, const std::vector<FilePath>& files);

// Queues files to be converted once the window is idle and no other run of
// files is going on.
void ConvertFilesSoon(HWND window, const std::vector<FilePath>& files);

// WM_COPYDATA: the files a second start handed over.
BOOL OnCopyData(HWND window, const COPYDATASTRUCT* data);

// What the open and the save dialog have in common: the structure's
// original form, the filter and its remembered index.
#pragma once

#include <windows.h>
#include <commdlg.h>

// Fills dialog, all else zero, for a dialog owned by owner (NULL for none)
// that returns its names in file, a buffer of FilePathBufferSize bytes;
// initialDirectory may be empty for none.
void PrepareFileDialog(OPENFILENAMEA& dialog, HWND owner, char* file, const char* initialDirectory);

// Remembers the filter that the user chose in the open dialog.
void KeepFilterIndex(const OPENFILENAMEA& dialog);

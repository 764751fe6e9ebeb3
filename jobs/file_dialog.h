// What the open and the save dialog have in common: the structure's
// original form, the filter and its remembered index.
#pragma once

#include <windows.h>
#include <commdlg.h>

// Fills dialog, all else zero, for a dialog owned by owner (NULL for none)
// that returns its names in file, a buffer of size characters;
// initialDirectory may be empty for none.
void PrepareFileDialog(OPENFILENAMEW& dialog, HWND owner, wchar_t* file, DWORD size, const wchar_t* initialDirectory);

// Remembers the filter that the user chose in the open dialog.
void KeepFilterIndex(const OPENFILENAMEW& dialog);

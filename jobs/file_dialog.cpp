#include "file_dialog.h"

#include <cstddef>

#include "file_paths.h"
#include "settings.h"

namespace {

// The first form of the structure, without the fields added since: every
// version of the dialogs accepts it, and the program needs none of the rest.
const DWORD OriginalDialogSize = 76;
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == OriginalDialogSize,
              "the original OPENFILENAMEA ends after lpTemplateName");

const char Filter[] = "Text files\0*.txt\0All files\0*.*\0";

} // namespace

void PrepareFileDialog(OPENFILENAMEA& dialog, HWND owner, char* file, const char* initialDirectory)
{
    dialog = OPENFILENAMEA();
    dialog.lStructSize = OriginalDialogSize;
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleA(nullptr);
    dialog.lpstrFilter = Filter;
    dialog.nFilterIndex = (Settings.Parameters & ParamFilterIndexMask) >> ParamFilterIndexShift;
    dialog.lpstrFile = file;
    dialog.nMaxFile = FilePathBufferSize;
    dialog.lpstrInitialDir = initialDirectory[0] ? initialDirectory : nullptr;
}

void KeepFilterIndex(const OPENFILENAMEA& dialog)
{
    Settings.Parameters = (Settings.Parameters & ~ParamFilterIndexMask) |
                          ((dialog.nFilterIndex << ParamFilterIndexShift) & ParamFilterIndexMask);
}

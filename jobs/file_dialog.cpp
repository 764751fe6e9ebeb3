#include "file_dialog.h"

#include <cstddef>

#include "settings.h"

namespace {

// The first form of the structure, without the fields added since: every
// version of the dialogs accepts it, and the program needs none of the rest.
const DWORD OriginalDialogSize = 76;
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == OriginalDialogSize,
              "the original OPENFILENAMEW ends after lpTemplateName");

const wchar_t Filter[] = L"Text files\0*.txt\0All files\0*.*\0";

} // namespace

void PrepareFileDialog(OPENFILENAMEW& dialog, HWND owner, wchar_t* file, DWORD size, const wchar_t* initialDirectory)
{
    dialog = OPENFILENAMEW();
    dialog.lStructSize = OriginalDialogSize;
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = Filter;
    dialog.nFilterIndex = (Settings.Parameters & ParamFilterIndexMask) >> ParamFilterIndexShift;
    dialog.lpstrFile = file;
    dialog.nMaxFile = size;
    dialog.lpstrInitialDir = initialDirectory[0] ? initialDirectory : nullptr;
}

void KeepFilterIndex(const OPENFILENAMEW& dialog)
{
    Settings.Parameters = (Settings.Parameters & ~ParamFilterIndexMask) |
                          ((dialog.nFilterIndex << ParamFilterIndexShift) & ParamFilterIndexMask);
}

#include "file_dialog.h"

#include <cstddef>

#include "interface_language.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

// The first form of the structure, without the fields added since: every
// version of the dialogs accepts it, and the program needs none of the rest.
const DWORD OriginalDialogSize = 76;
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == OriginalDialogSize,
              "the original OPENFILENAMEW ends after lpTemplateName");

// The filter in the interface language: pairs of a name and its pattern,
// each ending in a NUL, and a NUL after the last. Kept until the next
// dialog is prepared.
std::wstring Filter;

void PrepareFilter()
{
    Filter = LoadText(IDS_FILE_FILTER);
    for (wchar_t& character : Filter)
        if (character == L'|')
            character = L'\0';
    Filter.push_back(L'\0');
}

} // namespace

void PrepareFileDialog(OPENFILENAMEW& dialog, HWND owner, wchar_t* file, DWORD size, const wchar_t* initialDirectory)
{
    PrepareFilter();
    dialog = OPENFILENAMEW();
    dialog.lStructSize = OriginalDialogSize;
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = Filter.c_str();
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

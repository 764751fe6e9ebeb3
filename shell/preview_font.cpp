// The preview font: the icon title font by default, or the one the user
// picks in the font dialog.
#include "preview.h"

#include <commdlg.h>
#include <initializer_list>

#include "preview_font.h"
#include "settings.h"

// What the 32-bit dialog expects in lStructSize.
static_assert(sizeof(CHOOSEFONTA) == 60, "the 32-bit CHOOSEFONTA");

namespace {

const DWORD FontDialogFlags = CF_SCREENFONTS | CF_SCRIPTSONLY | CF_LIMITSIZE;
const int SmallestPointSize = 4;
const int LargestPointSize = 20;

} // namespace

void MakeDefaultPreviewFont()
{
    if (PreviewFont)
        return;
    // Zeroed: the whole description is saved, also past the face's NUL.
    LOGFONTA iconTitle = {};
    if (!SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof iconTitle, &iconTitle, 0))
        return;
    PreviewFontDescription = iconTitle;
    PreviewFont = CreateFontIndirectA(&PreviewFontDescription);
}

void SetPaneFonts()
{
    for (HWND pane : {SourcePane, ResultPane})
        if (pane)
            SendMessageA(pane, WM_SETFONT, reinterpret_cast<WPARAM>(PreviewFont), TRUE);
}

HFONT ChoosePreviewFont(HWND owner, LOGFONTA* description, int initialise)
{
    LOGFONTA chosen = *description;
    CHOOSEFONTA dialog;
    ZeroMemory(&dialog, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpLogFont = &chosen;
    dialog.Flags = FontDialogFlags | (initialise ? CF_INITTOLOGFONTSTRUCT : 0);
    dialog.nSizeMin = SmallestPointSize;
    dialog.nSizeMax = LargestPointSize;
    if (!ChooseFontA(&dialog))
        return nullptr;
    // The description is what is saved at exit: it changes only together
    // with a font that was really made from it.
    HFONT font = CreateFontIndirectA(&chosen);
    if (font)
        *description = chosen;
    return font;
}

void OnPreviewFontItem(HWND window)
{
    HFONT previous = PreviewFont;
    HFONT chosen = ChoosePreviewFont(window, &PreviewFontDescription, previous != nullptr);
    if (!chosen)
        return;
    PreviewFont = chosen;
    // The panes let go of the old font before it is deleted.
    SetPaneFonts();
    if (previous)
        DeleteObject(previous);
}

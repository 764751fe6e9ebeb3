// The preview font: the icon title font by default, or the one the user
// picks in the font dialog.
#include "preview.h"

#include <commdlg.h>
#include <initializer_list>

#include "preview_font.h"
#include "screen_scale.h"
#include "settings.h"

// What the 32-bit dialog expects in lStructSize.
static_assert(sizeof(CHOOSEFONTA) == 60, "the 32-bit CHOOSEFONTA");

namespace {

const DWORD FontDialogFlags = CF_SCREENFONTS | CF_SCRIPTSONLY | CF_LIMITSIZE;
const int SmallestPointSize = 4;
const int LargestPointSize = 20;

// The preview font made anew for the window's DPI where that is not the
// system's; NULL while the panes take the preview font itself.
HFONT ScaledPaneFont;

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

// The description measures the font in pixels at the system's DPI, as the
// font dialog and the icon title font do; on a screen of another scale the
// panes get it in proportion, and the description stays as it is saved.
void SetPaneFonts()
{
    HFONT previous = ScaledPaneFont;
    ScaledPaneFont = nullptr;
    const int systemDpi = SystemDpi();
    if (PreviewFont && WindowDpi != systemDpi) {
        LOGFONTA scaled = PreviewFontDescription;
        scaled.lfHeight = MulDiv(scaled.lfHeight, WindowDpi, systemDpi);
        scaled.lfWidth = MulDiv(scaled.lfWidth, WindowDpi, systemDpi);
        ScaledPaneFont = CreateFontIndirectA(&scaled);
    }
    HFONT font = ScaledPaneFont ? ScaledPaneFont : PreviewFont;
    for (HWND pane : {SourcePane, ResultPane})
        if (pane)
            SendMessageA(pane, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // The panes let go of it first.
    if (previous)
        DeleteObject(previous);
}

void DestroyPaneFont()
{
    if (ScaledPaneFont)
        DeleteObject(ScaledPaneFont);
    ScaledPaneFont = nullptr;
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

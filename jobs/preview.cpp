#include "preview.h"

#include "settings.h"
#include "toolbars.h"

HWND SourcePane;
HWND ResultPane;

void RefreshPreview(HWND, int)
{
    if (!SourcePane)
        return;
}

void OnSize(HWND, int, int width, int height)
{
    // The toolbars lay themselves out along the new client area.
    SendMessageA(CommandBar, WM_SIZE, width, height);
    SendMessageA(CodePageBar, WM_SIZE, width, height);
    if (!(Settings.Parameters & ParamPreview))
        return;
}

void ShowPreview(HWND, int) {}
HFONT ChoosePreviewFont(HWND, LOGFONTA*, int) { return nullptr; }
void OnPreviewItem(HWND) {}
void OnPreviewCp1251Item(HWND) {}
void OnPreviewFontItem(HWND) {}

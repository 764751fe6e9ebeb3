#include "system_menu.h"

#include "hot_keys.h"
#include "interface_language.h"
#include "language_menu.h"
#include "menu_checks.h"
#include "preview.h"
#include "resource_ids.h"
#include "settings.h"
#include "tarvo_version.h"
#include "tray.h"

namespace {

// From the top; a separator follows them. Detection and repair came later
// than the others and go last, so that every other item keeps its place,
// and the Language submenu after them. An item's text is the string of its
// number, in the interface language.
const UINT Items[] = {
    IDM_ALWAYS_ON_TOP, IDM_PREVIEW, IDM_PREVIEW_CP1251, IDM_PREVIEW_FONT, IDM_SAVE_PATHS,
    IDM_SAME_PATHS,    IDM_HOTKEYS, IDM_ABOUT,          IDM_DETECT_SOURCE, IDM_REPAIR_TEXT,
};
const int ItemCount = sizeof Items / sizeof Items[0];

void SetParameter(DWORD bit, int on)
{
    Settings.Parameters = on ? Settings.Parameters | bit : Settings.Parameters & ~bit;
}

void ToggleAlwaysOnTop(HWND window, HMENU menu)
{
    const int on = ToggleMenuCheck(menu, IDM_ALWAYS_ON_TOP);
    SetParameter(ParamAlwaysOnTop, on);
    SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// The preview shows at once what the clipboard's text becomes.
void ToggleTextRepair(HWND window, HMENU menu)
{
    SetParameter(ParamRepairText, ToggleMenuCheck(menu, IDM_REPAIR_TEXT));
    RefreshPreview(window, 1);
}

// wsprintfW's %s is a wide string; the text stays far below its 1024
// characters.
void ShowAbout(HWND window)
{
    wchar_t version[32], text[1024];
    MultiByteToWideChar(CP_ACP, 0, TARVO_VERSION, -1, version, sizeof version / sizeof *version);
    wsprintfW(text, LoadText(IDS_ABOUT_TEXT).c_str(), version);
    MessageBoxW(window, text, LoadText(IDS_ABOUT_TITLE).c_str(), MB_OK);
}

} // namespace

void InsertSystemMenuItems(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    for (int position = 0; position < ItemCount; ++position)
        InsertMenuW(menu, position, MF_BYPOSITION | MF_STRING, Items[position], LoadText(Items[position]).c_str());
    InsertLanguageMenu(menu, ItemCount);
}

BOOL OnSysCommand(HWND window, WPARAM wParam)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    // The low four bits of the code are the system's own.
    switch (wParam & 0xFFF0) {
    case IDM_ALWAYS_ON_TOP: ToggleAlwaysOnTop(window, menu); break;
    case IDM_PREVIEW: OnPreviewItem(window); break;
    case IDM_PREVIEW_CP1251: OnPreviewCp1251Item(window); break;
    case IDM_PREVIEW_FONT: OnPreviewFontItem(window); break;
    case IDM_SAVE_PATHS: SetParameter(ParamSavePaths, ToggleMenuCheck(menu, IDM_SAVE_PATHS)); break;
    case IDM_SAME_PATHS: SetParameter(ParamSamePaths, ToggleMenuCheck(menu, IDM_SAME_PATHS)); break;
    case IDM_HOTKEYS: OnHotKeysItem(window); break;
    case IDM_DETECT_SOURCE: SetParameter(ParamDetectSource, ToggleMenuCheck(menu, IDM_DETECT_SOURCE)); break;
    case IDM_REPAIR_TEXT: ToggleTextRepair(window, menu); break;
    case IDM_ABOUT: ShowAbout(window); break;
    case IDM_LANGUAGE_ENGLISH:
    case IDM_LANGUAGE_RUSSIAN:
    case IDM_LANGUAGE_UKRAINIAN: OnLanguageItem(window, static_cast<UINT>(wParam & 0xFFF0)); break;
    case SC_MINIMIZE: return MinimizeToTray(window);
    }
    return FALSE;
}

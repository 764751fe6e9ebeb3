#include "system_menu.h"

#include "commands.h"
#include "hot_keys.h"
#include "preview.h"
#include "resource_ids.h"
#include "settings.h"
#include "tarvo_version.h"
#include "tray.h"

namespace {

struct SystemMenuItem {
    UINT id;
    const char* text;
};

// From the top; a separator follows them. Detection and repair came later
// than the others and go last, so that every other item keeps its place.
const SystemMenuItem Items[] = {
    {IDM_ALWAYS_ON_TOP, "&Always on the Top"},
    {IDM_PREVIEW, "&Preview"},
    {IDM_PREVIEW_CP1251, "&Preview in cp-1251"},
    {IDM_PREVIEW_FONT, "Preview &font"},
    {IDM_SAVE_PATHS, "Save paths on &exit"},
    {IDM_SAME_PATHS, "&In/Out paths are same"},
    {IDM_HOTKEYS, "&Hot Keys"},
    {IDM_ABOUT, "About"},
    {IDM_DETECT_SOURCE, "&Detect source code page"},
    {IDM_REPAIR_TEXT, "&Repair garbled text"},
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

const char AboutText[] =
    "Tarvo, the 32-bit version\n"
    "Version " TARVO_VERSION "\n"
    "\n"
    "Written by the Tarvo developers for Olvendar\n"
    "tarvo@olvendar.invalid\n"
    "https://olvendar.invalid/tarvo\n"
    "\n"
    "Press Ok, then F1 to get Help";

} // namespace

void InsertSystemMenuItems(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    InsertMenuA(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    for (int position = 0; position < ItemCount; ++position)
        InsertMenuA(menu, position, MF_BYPOSITION | MF_STRING, Items[position].id, Items[position].text);
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
    case IDM_ABOUT: MessageBoxA(window, AboutText, "About tarvo", MB_OK); break;
    case SC_MINIMIZE: return MinimizeToTray(window);
    }
    return FALSE;
}

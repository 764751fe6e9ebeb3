#include "language_menu.h"

#include <string>

#include "interface_language.h"
#include "main_window.h"
#include "resource_ids.h"
#include "settings.h"

namespace {

struct LanguageItem {
    UINT item;
    LANGID language;
};

const LanguageItem Languages[] = {
    {IDM_LANGUAGE_ENGLISH, EnglishLanguage},
    {IDM_LANGUAGE_RUSSIAN, RussianLanguage},
    {IDM_LANGUAGE_UKRAINIAN, UkrainianLanguage},
};

void SetItemText(HMENU menu, UINT item, BOOL byPosition, const std::wstring& text)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    SetMenuItemInfoW(menu, item, byPosition, &info);
}

// The radio mark on the interface language.
void CheckLanguage(HMENU languages)
{
    for (const LanguageItem& language : Languages)
        if (language.language == InterfaceLanguage)
            CheckMenuRadioItem(languages, IDM_LANGUAGE_ENGLISH, IDM_LANGUAGE_UKRAINIAN, language.item, MF_BYCOMMAND);
}

// The program's items are numbered below the system's own (SC_SIZE and
// up), and each has the text of its number; the submenu is the program's
// one item without a number.
void RelabelSystemMenu(HMENU menu)
{
    for (int position = 0, count = GetMenuItemCount(menu); position < count; ++position) {
        if (HMENU submenu = GetSubMenu(menu, position)) {
            SetItemText(menu, position, TRUE, LoadText(IDS_LANGUAGE_MENU));
            CheckLanguage(submenu);
            continue;
        }
        const UINT item = GetMenuItemID(menu, position);
        if (item != 0 && item != static_cast<UINT>(-1) && item < SC_SIZE)
            SetItemText(menu, item, FALSE, LoadText(item));
    }
}

// live has the items of the menu resource id, in the same places at every
// depth: each takes the text of its place in the interface language.
void RelabelMenu(HMENU live, HMENU fresh)
{
    const int count = GetMenuItemCount(live);
    for (int position = 0; position < count && position < GetMenuItemCount(fresh); ++position) {
        wchar_t text[256];
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text / sizeof *text;
        if (GetMenuItemInfoW(fresh, position, TRUE, &info) && !(info.fType & MFT_SEPARATOR))
            SetItemText(live, position, TRUE, text);
        if (HMENU submenu = GetSubMenu(live, position))
            RelabelMenu(submenu, GetSubMenu(fresh, position));
    }
}

void RelabelMenu(HMENU live, UINT id)
{
    if (HMENU fresh = LoadLanguageMenu(id)) {
        RelabelMenu(live, fresh);
        DestroyMenu(fresh);
    }
}

} // namespace

void InsertLanguageMenu(HMENU systemMenu, UINT position)
{
    HMENU languages = CreatePopupMenu();
    for (const LanguageItem& language : Languages)
        AppendMenuW(languages, MF_STRING, language.item, LoadText(language.item).c_str());
    CheckLanguage(languages);
    InsertMenuW(systemMenu, position, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(languages),
                LoadText(IDS_LANGUAGE_MENU).c_str());
}

void OnLanguageItem(HWND window, UINT item)
{
    for (const LanguageItem& language : Languages) {
        if (language.item != item)
            continue;
        Settings.Language = language.language;
        UseInterfaceLanguage(language.language);
        RelabelSystemMenu(GetSystemMenu(window, FALSE));
        RelabelMenu(CommandMenu, IDR_TRAY_MENU);
        RelabelMenu(CodePageMenu, IDR_CODEPAGE_MENU);
    }
}

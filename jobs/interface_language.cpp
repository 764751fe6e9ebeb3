#include "interface_language.h"

#include <initializer_list>

LANGID InterfaceLanguage = EnglishLanguage;

namespace {

HMODULE Resources() { return GetModuleHandleW(nullptr); }

// A resource type by number, for the wide calls.
const wchar_t* Wide(LPCSTR type) { return reinterpret_cast<const wchar_t*>(type); }

// The resource in the interface language, else in English.
const void* FindLocalResource(const wchar_t* type, UINT id, DWORD* size = nullptr)
{
    HMODULE module = Resources();
    for (const LANGID language : {InterfaceLanguage, EnglishLanguage}) {
        HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        if (const void* data = loaded ? LockResource(loaded) : nullptr) {
            if (size)
                *size = SizeofResource(module, found);
            return data;
        }
    }
    return nullptr;
}

// A string table is kept in blocks of 16, each string its length in UTF-16
// units and then its characters; an empty one is a length of 0.
bool TextInBlock(LANGID language, UINT id, std::wstring& text)
{
    HMODULE module = Resources();
    HRSRC found = FindResourceExW(module, Wide(RT_STRING), MAKEINTRESOURCEW(id / 16 + 1),
                                  language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const WCHAR* unit = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!unit)
        return false;
    const WCHAR* const end = unit + SizeofResource(module, found) / sizeof(WCHAR);
    for (UINT index = 0; index < id % 16; ++index) {
        if (unit >= end)
            return false;
        unit += 1 + *unit;
    }
    if (unit >= end || *unit == 0 || *unit > end - unit - 1)
        return false;
    text.assign(unit + 1, *unit);
    return true;
}

} // namespace

LANGID ChosenLanguage(DWORD stored)
{
    if (stored == EnglishLanguage || stored == RussianLanguage || stored == UkrainianLanguage)
        return static_cast<LANGID>(stored);
    switch (PRIMARYLANGID(GetUserDefaultUILanguage())) {
    case LANG_RUSSIAN: return RussianLanguage;
    case LANG_UKRAINIAN: return UkrainianLanguage;
    default: return EnglishLanguage;
    }
}

void UseInterfaceLanguage(LANGID language)
{
    InterfaceLanguage = language;
}

std::wstring LoadText(UINT id)
{
    std::wstring text;
    if (!TextInBlock(InterfaceLanguage, id, text))
        TextInBlock(EnglishLanguage, id, text);
    return text;
}

UINT PluralForm(unsigned long count)
{
    if (InterfaceLanguage == EnglishLanguage)
        return count == 1 ? 0 : 1;
    const unsigned long last = count % 10, lastTwo = count % 100;
    if (last == 1 && lastTwo != 11)
        return 0;
    return last >= 2 && last <= 4 && (lastTwo < 10 || lastTwo >= 20) ? 1 : 2;
}

HMENU LoadLanguageMenu(UINT id)
{
    const void* menu = FindLocalResource(Wide(RT_MENU), id);
    return menu ? LoadMenuIndirectW(menu) : nullptr;
}

INT_PTR ShowLanguageDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter)
{
    const void* dialog = FindLocalResource(Wide(RT_DIALOG), id);
    if (!dialog)
        return -1;
    return DialogBoxIndirectParamW(Resources(), static_cast<const DLGTEMPLATE*>(dialog), owner, procedure,
                                   parameter);
}

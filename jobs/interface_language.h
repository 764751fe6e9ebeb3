// The language of the program's texts, menus and dialogs: English, Russian
// or Ukrainian, each a resource language of its own in tarvo.exe. Until
// the start-up picks one, and in tests that pick none, it is English.
#pragma once

#include <windows.h>

#include <string>

const LANGID EnglishLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LANGID RussianLanguage = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
const LANGID UkrainianLanguage = MAKELANGID(LANG_UKRAINIAN, SUBLANG_DEFAULT);

extern LANGID InterfaceLanguage;

// The language for the stored choice: the choice when it is one of the
// three; else (0, nothing chosen) the Windows display language when it is
// Russian or Ukrainian, whatever the country; else English.
LANGID ChosenLanguage(DWORD stored);

// Texts, menus and dialogs come in language from now on.
void UseInterfaceLanguage(LANGID language);

// A text of the string table in the interface language; a text that
// language lacks comes in English, and a missing one is empty.
std::wstring LoadText(UINT id);

// The first of the forms of a text for count (IDS_STANDINS_TIP and its
// like) plus this is the form for count: in English 0 for one and 1 for
// more, in Russian and Ukrainian 0 for 1, 21, 101, 1 for 2 to 4, 22 to 24,
// and 2 for the rest.
UINT PluralForm(unsigned long count);

// A menu or a modal dialog of the resources, in the interface language.
HMENU LoadLanguageMenu(UINT id);
INT_PTR ShowLanguageDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter);

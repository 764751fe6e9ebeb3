// The language of a help file. Our help compiler writes every help file as
// English, in Windows-1252; a Russian or Ukrainian help is the same bytes
// in Windows-1251, which the viewer reads as such only when the help file
// says so: its |SYSTEM names the language (LCID) and the character set of
// its fonts. HTML Help likewise takes the code page of a .chm's index and
// popups from the language its header and #SYSTEM name.
#pragma once

#include "byte_fields.h"

#include <string>

struct HelpLanguage {
    std::uint16_t lcid;      // 0x0409 English, 0x0419 Russian, 0x0422 Ukrainian
    std::uint8_t charset;    // of the fonts: ANSI_CHARSET 0, RUSSIAN_CHARSET 204
    bool cyrillic;           // the text is in Windows-1251
};

// "en", "ru" or "uk"; anything else is an error.
HelpLanguage HelpLanguageNamed(const std::string& name);

// The help file with |SYSTEM's LCID and CHARSET records set to language's
// (added where the file has none).
Bytes SetHelpLanguage(const Bytes& helpFile, const HelpLanguage& language);

// The language a help file's |SYSTEM names: English where it names none.
HelpLanguage HelpLanguageOf(const Bytes& helpFile);

// A .chm with its header's and #SYSTEM's language set to lcid, in place:
// both lie in the file's uncompressed part.
Bytes SetChmLanguage(const Bytes& chm, std::uint16_t lcid);

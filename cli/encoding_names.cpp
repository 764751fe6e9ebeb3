#include "code_page_names.h"

#include "code_page_tables.h"

namespace {

const char* const Cp866Names[] = {"cp866", "866", "ibm866", "dos", nullptr};
const char* const Cp1251Names[] = {"cp1251", "1251", "windows-1251", "windows1251", "win", nullptr};
const char* const Koi8rNames[] = {"koi8-r", "koi8r", "koi8", "unix", nullptr};
const char* const MacNames[] = {"mac", "maccyrillic", "mac-cyrillic", "x-mac-cyrillic", "macintosh",
                                nullptr};
const char* const Iso88595Names[] = {"iso-8859-5", "iso8859-5", "iso88595", "iso_8859-5", nullptr};

// In CodePageIndex order.
const char* const* const NamesByPage[CodePageCount] = {
    Cp866Names, Cp1251Names, Koi8rNames, MacNames, Iso88595Names,
};

// ASCII only: the C locale's tolower would do the same, and a user's locale
// must not change which names are accepted.
std::string AsciiLowercase(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

} // namespace

int CodePageFromName(const std::string& name)
{
    if (name.size() == 1 && name[0] >= '0' && name[0] < '0' + CodePageCount)
        return name[0] - '0';
    const std::string lower = AsciiLowercase(name);
    for (int page = 0; page < CodePageCount; ++page)
        for (const char* const* alias = NamesByPage[page]; *alias != nullptr; ++alias)
            if (lower == *alias)
                return page;
    return -1;
}

const char* const* CodePageNames(int page)
{
    static const char* const None[] = {nullptr};
    if (page < 0 || page >= CodePageCount)
        return None;
    return NamesByPage[page];
}

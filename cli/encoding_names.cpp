#include "encoding_names.h"

#include <cstdio>

#include "unicode_conversion.h"

namespace {

const char* const Cp866Names[] = {"cp866", "866", "ibm866", "dos", nullptr};
const char* const Cp1251Names[] = {"cp1251", "1251", "windows-1251", "windows1251", "win", nullptr};
const char* const Koi8rNames[] = {"koi8-r", "koi8r", "koi8", "unix", nullptr};
const char* const MacNames[] = {"mac", "maccyrillic", "mac-cyrillic", "x-mac-cyrillic", "macintosh",
                                nullptr};
const char* const Iso88595Names[] = {"iso-8859-5", "iso8859-5", "iso88595", "iso_8859-5", nullptr};
const char* const Utf8Names[] = {"utf-8", "utf8", nullptr};
const char* const Utf16Names[] = {"utf-16", "utf16", "utf-16le", "unicode", nullptr};
const char* const Koi8uNames[] = {"koi8-u", "koi8u", nullptr};
const char* const Cp1125Names[] = {"cp1125", "1125", "ibm1125", "ruscii", nullptr};

// In encoding order.
const char* const* const NamesByEncoding[EncodingCount] = {
    Cp866Names, Cp1251Names, Koi8rNames, MacNames, Iso88595Names, Utf8Names, Utf16Names, Koi8uNames, Cp1125Names,
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

int EncodingFromName(const std::string& name)
{
    if (name.size() == 1 && name[0] >= '0' && name[0] < '0' + CodePageCount)
        return name[0] - '0';
    const std::string lower = AsciiLowercase(name);
    for (int encoding = 0; encoding < EncodingCount; ++encoding)
        for (const char* const* alias = NamesByEncoding[encoding]; *alias != nullptr; ++alias)
            if (lower == *alias)
                return encoding;
    return -1;
}

const char* const* EncodingNames(int encoding)
{
    static const char* const None[] = {nullptr};
    if (encoding < 0 || encoding >= EncodingCount)
        return None;
    return NamesByEncoding[encoding];
}

void PrintEncodings(std::FILE* stream)
{
    for (int encoding = 0; encoding < EncodingCount; ++encoding) {
        const char* const* names = EncodingNames(encoding);
        if (encoding < CodePageCount)
            std::fprintf(stream, "  %d  %-12s", encoding, names[0]);
        else
            std::fprintf(stream, "     %-12s", names[0]);
        for (const char* const* alias = names + 1; *alias != nullptr; ++alias)
            std::fprintf(stream, "%s%s", alias == names + 1 ? "" : ", ", *alias);
        std::fputc('\n', stream);
    }
}

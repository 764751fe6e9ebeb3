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
const char* const Utf16Names[] = {"utf-16", "utf16", "unicode", nullptr};
const char* const Utf16LeNames[] = {"utf-16le", "utf16le", nullptr};
const char* const Utf16BeNames[] = {"utf-16be", "utf16be", nullptr};
const char* const Koi8uNames[] = {"koi8-u", "koi8u", nullptr};
const char* const Cp1125Names[] = {"cp1125", "1125", "ibm1125", "ruscii", nullptr};

struct NamedEncoding {
    int encoding;
    int order;
    const char* const* names;
};

// In encoding order, as --list shows them.
const NamedEncoding Encodings[] = {
    {CodePageCp866, Utf16ByMark, Cp866Names},       {CodePageCp1251, Utf16ByMark, Cp1251Names},
    {CodePageKoi8r, Utf16ByMark, Koi8rNames},       {CodePageMac, Utf16ByMark, MacNames},
    {CodePageIso88595, Utf16ByMark, Iso88595Names}, {EncodingUtf8, Utf16ByMark, Utf8Names},
    {EncodingUtf16, Utf16ByMark, Utf16Names},       {EncodingUtf16, Utf16Little, Utf16LeNames},
    {EncodingUtf16, Utf16Big, Utf16BeNames},        {EncodingKoi8u, Utf16ByMark, Koi8uNames},
    {EncodingCp1125, Utf16ByMark, Cp1125Names},
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

int EncodingFromName(const std::string& name, int& order)
{
    order = Utf16ByMark;
    if (name.size() == 1 && name[0] >= '0' && name[0] < '0' + CodePageCount)
        return name[0] - '0';
    const std::string lower = AsciiLowercase(name);
    for (const NamedEncoding& named : Encodings) {
        for (const char* const* alias = named.names; *alias != nullptr; ++alias) {
            if (lower == *alias) {
                order = named.order;
                return named.encoding;
            }
        }
    }
    return -1;
}

const char* const* EncodingNames(int encoding, int order)
{
    static const char* const None[] = {nullptr};
    for (const NamedEncoding& named : Encodings)
        if (named.encoding == encoding && (encoding != EncodingUtf16 || named.order == order))
            return named.names;
    return None;
}

void PrintEncodings(std::FILE* stream)
{
    for (const NamedEncoding& named : Encodings) {
        const char* const* names = named.names;
        if (named.encoding < CodePageCount)
            std::fprintf(stream, "  %d  %-12s", named.encoding, names[0]);
        else
            std::fprintf(stream, "     %-12s", names[0]);
        for (const char* const* alias = names + 1; *alias != nullptr; ++alias)
            std::fprintf(stream, "%s%s", alias == names + 1 ? "" : ", ", *alias);
        std::fputc('\n', stream);
    }
}

#include "page_characters.h"

#include <array>
#include <cstring>
#include <utility>

#include "code_page_tables.h"
#include "repair_page_tables.h"
#include "stand_ins.h"
#include "unicode_conversion.h"
#include "unicode_tables.h"
#include "unicode_units.h"

namespace {

// Every 8-bit encoding the engine converts, by its number, with the
// characters of its upper half. Another page is another row.
struct PageRow {
    int encoding;
    const unsigned short* upperHalf;
};
const PageRow Pages[] = {
    {CodePageCp866, UnicodeOfByte[CodePageCp866]},   {CodePageCp1251, UnicodeOfByte[CodePageCp1251]},
    {CodePageKoi8r, UnicodeOfByte[CodePageKoi8r]},   {CodePageMac, UnicodeOfByte[CodePageMac]},
    {CodePageIso88595, UnicodeOfByte[CodePageIso88595]},
    {EncodingKoi8u, UnicodeOfRepairPageByte[RepairPageKoi8u]},
    {EncodingCp1125, UnicodeOfRepairPageByte[RepairPageCp1125]},
};
const int PageCount = sizeof Pages / sizeof Pages[0];

// Gives the character a byte unless it has one already: the lowest byte of
// a page that has two for one character wins.
void PutByte(pages::CharacterBytes& bytes, char32_t character, unsigned char byte)
{
    if (character == 0 || character > 0xFFFF || bytes.ByteOf(character) != 0)
        return;
    unsigned char& block = bytes.blockOf[character >> 8];
    if (block == 0) {
        if (bytes.used == pages::CharacterBytes::MaxBlocks)
            return;
        block = static_cast<unsigned char>(++bytes.used);
    }
    bytes.blocks[block - 1][character & 0xFF] = byte;
}

pages::EncodedByte Encoded(char32_t c, bool utf16)
{
    unsigned char bytes[4] = {};
    unsigned char* end = bytes;
    if (utf16)
        EachUtf16Unit(c, [&end](char32_t unit) {
            *end++ = static_cast<unsigned char>(unit & 0xFF);
            *end++ = static_cast<unsigned char>(unit >> 8);
        });
    else
        end = PutUtf8(end, c);
    return {{bytes[0], bytes[1], bytes[2]}, static_cast<unsigned char>(end - bytes)};
}

void Build(pages::PageTables& page, const unsigned short* upperHalf)
{
    std::memset(&page, 0, sizeof page);
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t c = byte < 0x80 ? static_cast<char16_t>(byte) : upperHalf[byte - 0x80];
        page.character[byte] = c;
        if (c == 0 && byte != 0) {
            if (page.undefinedCount < pages::PageTables::MaxUndefined)
                page.undefined[page.undefinedCount] = static_cast<unsigned char>(byte);
            ++page.undefinedCount;
            continue;
        }
        page.utf8[byte] = Encoded(c, false);
        page.utf16[byte] = Encoded(c, true);
    }
    for (int byte = 0x80; byte < 256; ++byte) {
        const pages::EncodedByte& utf8 = page.utf8[byte];
        const bool two = utf8.length == 2;
        page.planes.lead[byte - 0x80] = two ? utf8.bytes[0] : 0;
        page.planes.trail[byte - 0x80] = two ? utf8.bytes[1] : 0;
        page.planes.other[byte - 0x80] = two ? 0 : 1;
        PutByte(page.bytes, page.character[byte], static_cast<unsigned char>(byte));
    }
    // Every character with a stand-in that the page lacks gets it, the
    // same as a conversion from another code page writes, so that a quote
    // or a frame comes out the same whichever way the text arrives.
    page.withStandIns = page.bytes;
    for (int n = 0; n < StandInRangeCount; ++n) {
        const StandInRange& range = StandInRanges[n];
        for (char32_t character = range.first; character <= range.last; ++character)
            PutByte(page.withStandIns, character, range.byte);
    }
}

const unsigned short NoCharacters[128] = {};

// The tables of Pages[K], or for K = PageCount of a page with no characters
// above ASCII: each built on its first use, by whichever thread comes
// first, so that a conversion builds the pages it reads and no others.
template <int K>
const pages::PageTables& BuiltPage()
{
    struct Built {
        pages::PageTables tables;
        Built() { Build(tables, K < PageCount ? Pages[K].upperHalf : NoCharacters); }
    };
    static const Built built;
    return built.tables;
}

using PageBuilder = const pages::PageTables& (*)();

template <int... K>
constexpr std::array<PageBuilder, sizeof...(K)> Builders(std::integer_sequence<int, K...>)
{
    return {{BuiltPage<K>...}};
}

constexpr std::array<PageBuilder, PageCount + 1> PageBuilders = Builders(std::make_integer_sequence<int, PageCount + 1>());

} // namespace

const pages::PageTables* pages::TablesOf(int encoding)
{
    for (int k = 0; k < PageCount; ++k)
        if (Pages[k].encoding == encoding)
            return &PageBuilders[k]();
    return nullptr;
}

const pages::PageTables& pages::AsciiOnly()
{
    return PageBuilders[PageCount]();
}

#include "repair_encodings.h"

#include <cstring>

#include "repair_page_tables.h"
#include "unicode_tables.h"

namespace repair {

namespace {

// The table of each single-byte encoding, in RepairEncoding order.
const unsigned short* const PageTables[RepairEncodingCount] = {
    nullptr,
    UnicodeOfByte[CodePageCp1251],
    UnicodeOfByte[CodePageKoi8r],
    UnicodeOfRepairPageByte[RepairPageCp1252],
    UnicodeOfByte[CodePageCp866],
    UnicodeOfRepairPageByte[RepairPageLatin1],
    UnicodeOfByte[CodePageIso88595],
    UnicodeOfByte[CodePageMac],
    UnicodeOfRepairPageByte[RepairPageKoi8u],
    UnicodeOfRepairPageByte[RepairPageCp437],
    UnicodeOfRepairPageByte[RepairPageCp850],
};

// Gives the character a byte in the encoding (unless it has one already).
void AddByte(EncodingTables& tables, int& used, int encoding, char32_t c, unsigned byte)
{
    unsigned char& block = tables.blockOf[c >> 8];
    if (block == 0)
        block = static_cast<unsigned char>(++used);
    // Where a page has a character twice, the first byte stays.
    unsigned char& slot = tables.byte[block - 1][encoding][c & 0xFF];
    if (slot == 0)
        slot = static_cast<unsigned char>(byte);
    tables.holders[block - 1][c & 0xFF] |= static_cast<uint16_t>(1u << encoding);
}

EncodingTables Build()
{
    EncodingTables tables;
    std::memset(&tables, 0, sizeof tables);
    int used = 0;
    for (int encoding = 1; encoding < RepairEncodingCount; ++encoding) {
        for (unsigned byte = 0x80; byte < 0x100; ++byte) {
            char32_t c = PageTables[encoding][byte - 0x80];
            if (c == 0)
                c = byte;  // undefined: the C1 control of its number
            tables.character[encoding][byte - 0x80] = c;
            AddByte(tables, used, encoding, c, byte);
        }
    }
    // Macintosh Cyrillic's 0xFF is the euro sign since Mac OS 8.5 and the
    // currency sign before (as the C library's iconv still reads it): text
    // read as either goes back to the same byte, cp1251's я.
    AddByte(tables, used, RepairMac, 0x20AC, 0xFF);
    AddByte(tables, used, RepairMac, 0xA4, 0xFF);
    return tables;
}

} // namespace

const EncodingTables& Tables()
{
    static const EncodingTables tables = Build();
    return tables;
}

} // namespace repair

const char* RepairEncodingName(int encoding)
{
    static const char* const Names[RepairEncodingCount] = {
        "UTF-8", "cp1251", "KOI8-R", "cp1252", "cp866", "Latin-1", "ISO-8859-5", "Macintosh Cyrillic", "KOI8-U",
        "cp437", "cp850",
    };
    return encoding >= 0 && encoding < RepairEncodingCount ? Names[encoding] : "";
}

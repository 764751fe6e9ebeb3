// The encodings of the repair (text_repair.h) as tables: the character of
// each byte of the single-byte ones, and each one's byte for a character.
// Only the repair's own files include this.
#pragma once

#include <cstdint>

#include "text_repair.h"

namespace repair {

// A byte that its page leaves undefined travels in the wild as the C1
// control of its number (U+0080..U+009F): that is how Windows and the web's
// decoders pass cp1252's 0x81 or cp1251's 0x98 on, and the way back.
const int MaxBlocks = 16;

struct EncodingTables {
    // [encoding][byte - 0x80]; nothing for RepairUtf8.
    char32_t character[RepairEncodingCount][128];
    // Characters from 0x80 to 0xFFFF in blocks of 256 found through the
    // character's high byte: block + 1, or 0 where no page has any.
    unsigned char blockOf[256];
    // [block][encoding][low byte]: the byte, 0 where the page has none.
    unsigned char byte[MaxBlocks][RepairEncodingCount][256];
    // [block][low byte]: the single-byte encodings that hold the character,
    // bit 1 << encoding.
    uint16_t holders[MaxBlocks][256];
};

// Built on first use, then only read: safe from any thread.
const EncodingTables& Tables();

// Every single-byte encoding, as holders bits.
const uint16_t SingleByteEncodings = static_cast<uint16_t>(((1u << RepairEncodingCount) - 1) & ~1u);

inline bool IsCyrillicPage(int encoding)
{
    return encoding == RepairCp1251 || encoding == RepairKoi8r || encoding == RepairCp866 ||
           encoding == RepairIso88595 || encoding == RepairMac || encoding == RepairKoi8u;
}

// The encodings that hold a character, ASCII in all.
inline uint16_t HoldersOf(const EncodingTables& tables, char32_t c)
{
    if (c < 0x80)
        return SingleByteEncodings;
    if (c > 0xFFFF)
        return 0;
    const int block = tables.blockOf[c >> 8];
    return block != 0 ? tables.holders[block - 1][c & 0xFF] : 0;
}

// The character's byte in a single-byte encoding, 0 where it has none.
inline unsigned ByteOf(const EncodingTables& tables, int encoding, char32_t c)
{
    if (c < 0x80)
        return static_cast<unsigned>(c);
    if (c > 0xFFFF)
        return 0;
    const int block = tables.blockOf[c >> 8];
    return block != 0 ? tables.byte[block - 1][encoding][c & 0xFF] : 0;
}

} // namespace repair

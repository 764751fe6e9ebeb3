// The characters of each 8-bit page and the byte of each character in it,
// in the forms the conversions read: derived once from unicode_tables.cpp
// on first use, whichever thread comes first, and read-only afterwards, so
// that every converter on every thread shares them. Internal to the engine.
#pragma once

#include "unicode_vector.h"

namespace pages {

// A page's byte for each character from U+0080 to U+FFFF: blocks of 256
// characters found through the character's high byte. The five pages use
// eight blocks between them, their stand-ins no others.
struct CharacterBytes {
    static const int MaxBlocks = 16;
    unsigned char blockOf[256];  // block number + 1; 0: the page has nothing there
    unsigned char blocks[MaxBlocks][256];
    int used;

    // 0 where the page has no byte for c.
    unsigned char ByteOf(char32_t c) const
    {
        if (c > 0xFFFF)
            return 0;
        const int block = blockOf[c >> 8];
        return block != 0 ? blocks[block - 1][c & 0xFF] : 0;
    }
};

// A byte of the page as UTF-8 or UTF-16 (little-endian), for the fast
// paths: all four bytes are written, the length among them, to be
// overwritten by the next. Every character of a page takes three bytes of
// UTF-8 at most, one unit of UTF-16.
struct EncodedByte {
    unsigned char bytes[3];
    unsigned char length;  // 0 for a byte without a character
};
static_assert(sizeof(EncodedByte) == 4, "one load and one store each");

struct PageTables {
    char16_t character[256];  // 0 where a byte has none, but for 0 itself
    EncodedByte utf8[256];
    EncodedByte utf16[256];
    // The bytes without a character, which the fast paths look for eight
    // at a time; where there are more than MaxUndefined, they look at the
    // character of each byte instead.
    static const int MaxUndefined = 2;
    int undefinedCount;
    unsigned char undefined[MaxUndefined];
    unicode::Utf8Planes planes;   // for the vector path into UTF-8
    CharacterBytes bytes;         // the page's own bytes
    CharacterBytes withStandIns;  // and the stand-ins of what it lacks (stand_ins.h)
};

// The tables of an 8-bit encoding; null for any other number.
const PageTables* TablesOf(int encoding);

// Those of a page with ASCII alone, for a number that is no encoding.
const PageTables& AsciiOnly();

} // namespace pages

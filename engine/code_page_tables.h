// The five Cyrillic code pages and the common alphabet they share.
//
// Every character of the common alphabet has a canonical index 1..80:
// 1..32 the uppercase letters А..Я, 33..64 the lowercase а..я, 65 Ё, 66 ё,
// 67..80 fourteen punctuation and typographic symbols. 0 means "not in the
// alphabet". The converter no longer goes through this alphabet: it maps
// each byte by its character (unicode_tables.h), and the plain forms of the
// symbols here live on as stand-ins (stand_ins.h). The tables stay for
// whatever reads the alphabet as such.
#pragma once

enum CodePageIndex {
    CodePageCp866 = 0,     // MS-DOS
    CodePageCp1251 = 1,    // Windows
    CodePageKoi8r = 2,     // "Unix", the one code page with LF line ends
    CodePageMac = 3,       // Macintosh Cyrillic
    CodePageIso88595 = 4,  // ISO-8859-5
};

const int CodePageCount = 5;
const int CanonicalCount = 80;

// Byte value to canonical index, per code page. Only entries from 0x80 up are
// converted; the few entries below 0x80 are ASCII stand-ins for symbols that
// a code page lacks, and only feed ByteTable.
extern const unsigned char IndexTable[CodePageCount][256];

// Canonical index i to byte value, at [page][i - 1]; 0 where the page has no
// byte for that index. Derived from IndexTable when the engine is compiled:
// where a page gives one index several bytes, the highest byte wins.
extern const unsigned char (&ByteTable)[CodePageCount][CanonicalCount];

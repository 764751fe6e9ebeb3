// What the bytes of the five code pages are in Unicode.
//
// Below 0x80 every page is ASCII: a byte is the character of the same
// number. From 0x80 up each page follows its real code page as the C
// library's iconv has it (CP866, CP1251, KOI8-R, MAC-CYRILLIC, ISO-8859-5),
// which is what other programs on both systems read and write; the
// canonical alphabet of code_page_tables.h is a smaller thing, the
// characters the pages share.
//
// One byte departs from iconv: Macintosh Cyrillic 0xFF is the euro sign
// (U+20AC), as in Apple's table since Mac OS 9, in WHATWG's x-mac-cyrillic
// that every browser reads and in Python's mac_cyrillic. glibc's iconv
// keeps the currency sign (U+00A4) of the older table there. Text written
// on a Macintosh these twenty years means the euro; where a choice between
// readings matters (detection, repair), both are worth a look.
#pragma once

#include "code_page_tables.h"

// At [page][byte - 0x80]; 0 where the page gives the byte no character
// (only cp1251's 0x98).
extern const unsigned short UnicodeOfByte[CodePageCount][128];

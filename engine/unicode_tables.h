// What the bytes of the five code pages are in Unicode.
//
// Below 0x80 every page is ASCII: a byte is the character of the same
// number. From 0x80 up each page follows its real code page as the C
// library's iconv has it (CP866, CP1251, KOI8-R, MAC-CYRILLIC, ISO-8859-5),
// which is what other programs on both systems read and write; the
// canonical alphabet of code_page_tables.h is a smaller thing, the
// characters the pages share.
#pragma once

#include "code_page_tables.h"

// At [page][byte - 0x80]; 0 where the page gives the byte no character
// (only cp1251's 0x98).
extern const unsigned short UnicodeOfByte[CodePageCount][128];

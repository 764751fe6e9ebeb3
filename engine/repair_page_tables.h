// What the bytes of the code pages that garbled Cyrillic text also passes
// through are in Unicode: the neighbours of the five (unicode_tables.h) that
// text is wrongly read as, or was written in, on its way, and the pages of
// Ukrainian text on Unix and in DOS, which tarvoconv converts and detects.
//
// From 0x80 up each page follows its real code page as the C library's
// iconv has it (KOI8-U, CP1252, ISO-8859-1, CP437, CP850, CP1125); below
// 0x80 every page is ASCII.
#pragma once

enum RepairPageIndex {
    RepairPageKoi8u,
    RepairPageCp1252,
    RepairPageLatin1,
    RepairPageCp437,
    RepairPageCp850,
    RepairPageCp1125,
};

const int RepairPageCount = 6;

// At [page][byte - 0x80]; 0 where the page gives the byte no character
// (cp1252's 0x81, 0x8D, 0x8F, 0x90 and 0x9D).
extern const unsigned short UnicodeOfRepairPageByte[RepairPageCount][128];

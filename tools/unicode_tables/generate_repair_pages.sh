#!/usr/bin/env bash
# Writes engine/repair_page_tables.cpp: the Unicode character of every byte
# from 0x80 up in each of the code pages that garbled Cyrillic text passes
# through besides the five (engine/unicode_tables.cpp has those), and that
# Ukrainian text is written in (KOI8-U, cp1125), as the C library's iconv
# has them.
#   tools/unicode_tables/generate_repair_pages.sh > engine/repair_page_tables.cpp
set -euo pipefail

# In the order of repair_page_tables.h, with the name each page has in the
# tables' comments.
iconv_names=(KOI8-U CP1252 ISO-8859-1 CP437 CP850 CP1125)
titles=("KOI8-U (Ukrainian Unix)" "cp1252 (Windows Western)" "ISO-8859-1 (Latin-1)" "cp437 (MS-DOS US)"
        "cp850 (MS-DOS Western)" "cp1125 (Ukrainian MS-DOS)")

. "$(dirname "$0")/page_rows.sh"

cat <<'HEAD'
// Generated from the C library's iconv by tools/unicode_tables/generate_repair_pages.sh;
// rerun it rather than editing:
//   tools/unicode_tables/generate_repair_pages.sh > engine/repair_page_tables.cpp
#include "repair_page_tables.h"

const unsigned short UnicodeOfRepairPageByte[RepairPageCount][128] = {
HEAD
page_rows
echo "};"

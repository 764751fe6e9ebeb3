#!/usr/bin/env bash
# Writes engine/repair_page_tables.cpp: the Unicode character of every byte
# from 0x80 up in each of the code pages that garbled Cyrillic text passes
# through besides the five (engine/unicode_tables.cpp has those), as the C
# library's iconv has them.
#   tools/unicode_tables/generate_repair_pages.sh > engine/repair_page_tables.cpp
set -euo pipefail

# In the order of repair_page_tables.h, with the name each page has in the
# tables' comments.
iconv_names=(KOI8-U CP1252 ISO-8859-1 CP437 CP850)
titles=("KOI8-U (Ukrainian Unix)" "cp1252 (Windows Western)" "ISO-8859-1 (Latin-1)" "cp437 (MS-DOS US)"
        "cp850 (MS-DOS Western)")

# The character of one byte as four hex digits, or 0000 where iconv has none.
character() {
    local hex
    hex=$(printf "\\x$2" | iconv -f "$1" -t UTF-16BE 2>/dev/null | od -An -tx1 | tr -d ' \n') || true
    [ ${#hex} -eq 4 ] && echo "$hex" || echo 0000
}

cat <<'HEAD'
// Generated from the C library's iconv by tools/unicode_tables/generate_repair_pages.sh;
// rerun it rather than editing:
//   tools/unicode_tables/generate_repair_pages.sh > engine/repair_page_tables.cpp
#include "repair_page_tables.h"

const unsigned short UnicodeOfRepairPageByte[RepairPageCount][128] = {
HEAD
for page in "${!iconv_names[@]}"; do
    echo "    // $page: ${titles[$page]}, iconv's ${iconv_names[$page]}"
    echo "    {"
    for row in $(seq 128 8 255); do
        printf '        /* 0x%02X */' "$row"
        for byte in $(seq "$row" $((row + 7))); do
            printf ' 0x%s,' "$(character "${iconv_names[$page]}" "$(printf %02x "$byte")" | tr a-f A-F)"
        done
        echo
    done
    echo "    },"
done
echo "};"

#!/usr/bin/env bash
# Writes engine/unicode_tables.cpp: the Unicode character of every byte from
# 0x80 up in each of the five code pages, as the C library's iconv has them.
#   tools/unicode_tables/generate.sh > engine/unicode_tables.cpp
set -euo pipefail

# In CodePageIndex order, with the name each page has in the tables' comments.
iconv_names=(CP866 CP1251 KOI8-R MAC-CYRILLIC ISO-8859-5)
titles=("cp866 (MS-DOS)" "cp1251 (Windows)" "KOI8-R (Unix)" "Macintosh Cyrillic" "ISO-8859-5")

# The character of one byte as four hex digits, or 0000 where iconv has none.
character() {
    local hex
    hex=$(printf "\\x$2" | iconv -f "$1" -t UTF-16BE 2>/dev/null | od -An -tx1 | tr -d ' \n') || true
    [ ${#hex} -eq 4 ] && echo "$hex" || echo 0000
}

cat <<'HEAD'
// Generated from the C library's iconv by tools/unicode_tables/generate.sh;
// rerun it rather than editing:
//   tools/unicode_tables/generate.sh > engine/unicode_tables.cpp
#include "unicode_tables.h"

const unsigned short UnicodeOfByte[CodePageCount][128] = {
HEAD
for page in 0 1 2 3 4; do
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

#!/usr/bin/env bash
# Writes engine/unicode_tables.cpp: the Unicode character of every byte from
# 0x80 up in each of the five code pages, as the C library's iconv has them
# but for one byte: Macintosh Cyrillic 0xFF is the euro sign (U+20AC), as in
# Apple's table since Mac OS 9, WHATWG's x-mac-cyrillic and Python's
# mac_cyrillic, where glibc's iconv still has the currency sign (U+00A4) of
# the table before it.
#   tools/unicode_tables/generate.sh > engine/unicode_tables.cpp
set -euo pipefail

# In CodePageIndex order, with the name each page has in the tables' comments.
iconv_names=(CP866 CP1251 KOI8-R MAC-CYRILLIC ISO-8859-5)
titles=("cp866 (MS-DOS)" "cp1251 (Windows)" "KOI8-R (Unix)" "Macintosh Cyrillic" "ISO-8859-5")

notes=("" "" "" " but 0xFF, the euro sign" "")

. "$(dirname "$0")/page_rows.sh"

page_character() {
    if [ "$1" -eq 3 ] && [ "$2" = ff ]; then
        echo 20ac
    else
        character "${iconv_names[$1]}" "$2"
    fi
}

cat <<'HEAD'
// Generated from the C library's iconv by tools/unicode_tables/generate.sh,
// with Macintosh Cyrillic 0xFF the euro sign (see unicode_tables.h); rerun
// it rather than editing:
//   tools/unicode_tables/generate.sh > engine/unicode_tables.cpp
#include "unicode_tables.h"

const unsigned short UnicodeOfByte[CodePageCount][128] = {
HEAD
page_rows
echo "};"

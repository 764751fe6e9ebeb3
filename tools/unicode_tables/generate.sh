#!/usr/bin/env bash
# Writes engine/unicode_tables.cpp: the Unicode character of every byte from
# 0x80 up in each of the five code pages, as the C library's iconv has them.
#   tools/unicode_tables/generate.sh > engine/unicode_tables.cpp
set -euo pipefail

# In CodePageIndex order, with the name each page has in the tables' comments.
iconv_names=(CP866 CP1251 KOI8-R MAC-CYRILLIC ISO-8859-5)
titles=("cp866 (MS-DOS)" "cp1251 (Windows)" "KOI8-R (Unix)" "Macintosh Cyrillic" "ISO-8859-5")

. "$(dirname "$0")/page_rows.sh"

cat <<'HEAD'
// Generated from the C library's iconv by tools/unicode_tables/generate.sh;
// rerun it rather than editing:
//   tools/unicode_tables/generate.sh > engine/unicode_tables.cpp
#include "unicode_tables.h"

const unsigned short UnicodeOfByte[CodePageCount][128] = {
HEAD
page_rows
echo "};"

// The keyword index that the viewer's Index shows: |KWBTREE holds each
// keyword with the number of places it leads to and where their topic
// offsets start in |KWDATA; |KWMAP lists the tree's leaf pages.
#pragma once

#include "byte_fields.h"

#include <string>

// Whether a comes before b in the index as the viewer orders and searches
// it: letters without regard to case, and any other character before
// letters and digits. In a Cyrillic help (Windows-1251) the Cyrillic
// letters follow the Latin ones in the order of the Russian and Ukrainian
// alphabets, where the byte values would put Ё, Є, І, Ї and Ґ first.
bool KeywordBefore(const std::string& a, const std::string& b, bool cyrillic = false);

// The help file again, with its keywords in the viewer's order and the page
// map to match. Our help compiler sorts them by character code, capitals
// first, where the viewer would list them out of order and miss some when
// it searches. A file without keywords is returned as it is.
Bytes SortKeywordIndex(const Bytes& helpFile, bool cyrillic = false);

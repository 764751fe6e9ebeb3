// The names a user may give a code page on the command line.
#pragma once

#include <string>

// The CodePageIndex that name stands for, or -1. Names are compared without
// regard to case; the digits 0..4 name the pages by index.
int CodePageFromName(const std::string& name);

// The names of one page, the canonical one first, ending with a null pointer.
// For the usage text, so that it never lists a name the parser rejects.
const char* const* CodePageNames(int page);

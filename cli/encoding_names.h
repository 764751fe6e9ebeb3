// The names a user may give an encoding on the command line.
#pragma once

#include <cstdio>
#include <string>

// The encoding (CodePageIndex, EncodingUtf8 or EncodingUtf16) that name
// stands for, or -1. Names are compared without regard to case; the digits
// 0..4 name the code pages by the numbers the program gives them.
int EncodingFromName(const std::string& name);

// The names of one encoding, the canonical one first, ending with a null
// pointer. For the usage text and --list, so that they never show a name
// the parser rejects.
const char* const* EncodingNames(int encoding);

// Lists every encoding with its names, one a line.
void PrintEncodings(std::FILE* stream);

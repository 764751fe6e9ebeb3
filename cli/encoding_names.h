// The names a user may give an encoding on the command line.
#pragma once

#include <cstdio>
#include <string>

// How UTF-16 lies in bytes. Plain "utf-16" is read by its byte order mark
// (little-endian where it has none) and written little-endian after one,
// as Windows writes "Unicode" text; "utf-16le" and "utf-16be" are read and
// written in their own byte order without a mark, as iconv has them, so
// that a U+FEFF at their start is a character like any other.
enum Utf16Order { Utf16ByMark, Utf16Little, Utf16Big };

// The encoding (CodePageIndex, EncodingUtf8 or EncodingUtf16) that name
// stands for, or -1; order is set to the byte order it names (Utf16ByMark
// for all but utf-16le and utf-16be). Names are compared without regard to
// case; the digits 0..4 name the code pages by the numbers the program
// gives them.
int EncodingFromName(const std::string& name, int& order);

// The names of one encoding in one byte order, the canonical one first,
// ending with a null pointer. For messages, the usage text and --list, so
// that they never show a name the parser rejects.
const char* const* EncodingNames(int encoding, int order = Utf16ByMark);

// Lists every encoding with its names, one a line.
void PrintEncodings(std::FILE* stream);

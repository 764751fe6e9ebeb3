// The Russian prose the code page detector learns from and is measured on:
// the fortunes of Debian's fortunes-ru package (GPL-2 or later, see
// /usr/share/doc/fortunes-ru/copyright), in its UTF-8 files *.u8.
//
// The corpus is split once and for all: the fortunes are numbered in the
// order of their files' names and of their place in the file, each distinct
// text once, and every tenth (number % 10 == 0) is held out for the
// benchmark. Training and tuning see only the other nine tenths.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "code_page_tables.h"

using Text = std::u32string;
using Bytes = std::vector<unsigned char>;

extern const char* const DefaultCorpusDir;
extern const char* const IconvNames[CodePageCount];

// Every fortune, trimmed, each distinct text once. Exits with a message when
// the folder holds no fortunes.
std::vector<Text> ReadFortunes(const std::string& dir);

enum CorpusPart { TrainingPart, HeldOutPart };
std::vector<Text> PartOf(const std::vector<Text>& fortunes, CorpusPart part);

// Joins the fortunes with line ends and cuts the whole into pieces of
// shortest..longest characters (each length drawn at random from seed) that
// start and end at white space. Keeps the pieces that are Russian: at least
// eight Cyrillic letters, and more of them than Latin ones.
std::vector<Text> CutPieces(const std::vector<Text>& fortunes, size_t shortest, size_t longest, unsigned seed);

// The text in a code page; a character the page lacks becomes what iconv's
// //TRANSLIT makes of it, as a converter would write it.
Bytes Encode(const Text& text, int page);

// The character each byte is in a code page, U+FFFD where it is none.
std::array<char32_t, 256> DecodingOf(int page);

// Whether two code pages read bytes as the same characters.
bool ReadTheSame(const Bytes& bytes, const std::array<char32_t, 256>& one, const std::array<char32_t, 256>& other);

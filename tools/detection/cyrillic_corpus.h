// The text in six languages that the code page detector learns from and is
// measured on, from sources that Debian packages ship under licences that
// allow it (see Sources in cyrillic_corpus.cpp and docs/detection.md).
//
// Every source is split once and for all into units (a fortune, a line of
// a manual page, a dictionary entry with its forms, a thesaurus entry with
// its phrases), numbered in the order they are read, each distinct unit
// once; every tenth unit (number % 10 == 0) is held out for the benchmark.
// Training sees only the other nine tenths: the statistics are counted in
// eight of them, and the confidence is calibrated on the ninth (number %
// 10 == 5), text the statistics have not seen, as the text users detect.
// A dictionary entry goes to a part with all its forms, so no form of a
// held-out word trains.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "code_page_tables.h"
#include "detection_model.h"
#include "utf8_text.h"

using Text = std::u32string;
using Bytes = std::vector<unsigned char>;

extern const char* const LanguageNames[LanguageCount];
extern const char* const IconvNames[ReadingCount];  // of each reading (detection_model.h)

enum CorpusPart { CountingPart, CalibrationPart, HeldOutPart };

// One language's part of the corpus, as text: the prose of its sources, and
// its words (dictionaries, thesauri) set in sentences, with punctuation,
// capitals and quotes, the way prose has them.
struct LanguageText {
    std::vector<Text> prose;
    std::vector<Text> sentences;
    size_t proseCharacters = 0, sentenceCharacters = 0;
};

// Reads every source of a language. Exits with a message naming the package
// to install when a source is missing.
LanguageText ReadLanguage(int language, CorpusPart part);

// The packages the sources come from, for the generated file's header.
std::string DescribeSources();

// Half of the texts (by their place) get the language's typography: ASCII
// double quotes become « » (Russian, Ukrainian, Belarusian) or „ “
// (Bulgarian, Macedonian) or „ ” (Serbian) by where they stand, and a
// spaced hyphen a dash.
Text WithTypography(const Text& text, int language);

// Joins texts with line ends and cuts the whole into pieces of
// shortest..longest characters (each length drawn at random from seed) that
// start and end at white space, keeping the pieces that are Cyrillic: at
// least three Cyrillic letters (eight from 16 characters on), and more of
// them than Latin ones.
std::vector<Text> CutPieces(const std::vector<Text>& texts, size_t shortest, size_t longest, unsigned seed);

// The text in a reading's code page; false when the page cannot hold every
// character.
bool Encode(const Text& text, int page, Bytes& bytes);

// The character each byte is in a reading's code page, U+FFFD where it is
// none.
std::array<char32_t, 256> DecodingOf(int page);

// Whether two code pages read bytes as the same characters.
bool ReadTheSame(const Bytes& bytes, const std::array<char32_t, 256>& one, const std::array<char32_t, 256>& other);


// The word forms of a hunspell dictionary: each entry of the .dic file with
// the forms its affix flags make by the rules of the .aff file (prefixes,
// suffixes and their cross products; continuation classes are left out).
#pragma once

#include <string>
#include <vector>

// One dictionary entry and its forms, the entry first, all UTF-8.
using WordForms = std::vector<std::string>;

// Exits with a message when the files cannot be read.
std::vector<WordForms> ExpandHunspell(const std::string& dicPath, const std::string& affPath);

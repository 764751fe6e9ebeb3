// Characters as UTF-8, for the corpus tools' files and reports.
#pragma once

#include <string>

std::string ToUtf8(const std::u32string& text);

// Well-formed UTF-8 as characters.
std::u32string FromUtf8Text(const std::string& utf8);

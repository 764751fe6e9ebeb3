// How sure a well-formed UTF-8 text is UTF-8, for -f auto and --detect.
//
// Short code page text can be well-formed UTF-8 by chance: ISO-8859-5
// "ЧАЩА" (C7 B0 C9 B0) reads as two Latin letters, "ǰɰ". Such a reading
// yields characters that Cyrillic text never holds, which a real UTF-8 text
// of Tarvo's users, Cyrillic letters and their typography, does not.
#pragma once

// The percentage of the characters from U+0080 up in count bytes of
// well-formed UTF-8 (a character cut off at count is not looked at) that
// Cyrillic text holds: letters, typographic quotes, dashes and spaces, the
// signs of the five code pages, box drawing. 0 without such characters.
int Utf8Confidence(const unsigned char* bytes, unsigned count);

// Which of the five code pages a Cyrillic text of unknown origin is in.
//
// The detector reads the text in each of the five code pages and asks how
// likely each reading is as Russian: letter pairs (with the start and end of
// words as a letter of their own), the case of each letter after what came
// before it, and how rare the non-letter bytes of the reading are (cp866's
// box drawing, the gaps of ISO-8859-5, the capitals of Macintosh Cyrillic
// seen as cp1251 punctuation). The most likely reading wins.
//
// Portable, allocation-free and reentrant: it keeps no state between calls.
#pragma once

#include "code_page_tables.h"

// No code page of the five fits: too little Cyrillic to tell (empty, pure
// ASCII, a word or two), binary data, or text that is UTF-8.
const int NoDecision = -1;

// Only the first DetectionWindow bytes are looked at; that many bytes of
// text decide as surely as any more would.
const unsigned DetectionWindow = 65536;

// A detection at least this sure is acted on, by the program and by
// tarvoconv -f auto; below it a short text reads almost as well in another
// page, and guessing would garble it.
const int ConfidentEnough = 90;

struct Detection {
    int page;        // a CodePageIndex, or NoDecision
    int confidence;  // 0..100: roughly the percentage of texts so scored that are in page
};

// Whether count bytes are well-formed UTF-8 with at least one character from
// U+0080 up; a character cut off at count counts as well-formed.
bool IsUtf8Text(const unsigned char* bytes, unsigned count);

// Names the code page of count bytes at bytes (bytes may be null when count
// is 0). Where two code pages read the text as the same characters, names
// the more common one: cp1251 before Macintosh Cyrillic (lower-case text
// without я or ё), cp866 before Macintosh Cyrillic (all capitals); the
// confidence then counts both as right.
Detection DetectCodePage(const unsigned char* bytes, unsigned count);

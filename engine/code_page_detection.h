// Which of the five code pages a Cyrillic text of unknown origin is in.
//
// The detector reads the text in each of the five code pages and asks how
// likely each reading is as Russian, Ukrainian, Belarusian, Bulgarian,
// Serbian or Macedonian: letter pairs (with the start and end of words, the
// quotes and dashes around them as symbols of their own), the case of each
// letter where it stands (a word in capitals pays once, as a word), and how
// rare the non-letter characters of the reading are (cp866's box drawing,
// the gaps of ISO-8859-5). The most likely reading wins; the language is
// only a means to that end.
//
// Portable, allocation-free and reentrant: it keeps no state between calls.
// detection_model.h opens the scoring; text_encoding_detection.h tells the
// code pages from ASCII, UTF-8 and UTF-16.
#pragma once

#include "code_page_tables.h"

// No code page of the five fits: too little Cyrillic to tell (empty, pure
// ASCII, a word or two), binary data, or text that is UTF-8 or UTF-16.
const int NoDecision = -1;

// The first DetectionWindow bytes are read whole: that many bytes of text
// decide as surely as any more would. Where they hold too little Cyrillic
// (a long head of ASCII), the detector reads from a little before the first
// byte from 0x80 up, and on by whole windows while those still hold too
// little, up to DetectionReach bytes (detection_model.h,
// FindDetectionRegion).
const unsigned DetectionWindow = 65536;
const unsigned DetectionReach = 1048576;

// A detection at least this sure is acted on, by the program and by
// tarvoconv -f auto; below it a short text reads almost as well in another
// page, and guessing would garble it.
const int ConfidentEnough = 90;

struct Detection {
    int page;        // a CodePageIndex, or NoDecision
    int confidence;  // 0..100: the percentage of decisions so made that are right
};

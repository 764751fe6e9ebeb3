// Which encoding a text of unknown origin is in: plain ASCII, UTF-8,
// UTF-16 in either byte order (with a byte order mark or without), or one
// of the five code pages (code_page_detection.h).
//
// Portable, allocation-free and reentrant, like the code page detector.
#pragma once

#include "code_page_detection.h"
#include "unicode_conversion.h"

// Answers beyond the encodings that the engine converts.
enum DetectedEncoding {
    EncodingAscii = EncodingCount,  // no byte from 0x80 up (or none at all): every page reads it the same
    EncodingUtf16Be,                // UTF-16 big-endian (EncodingUtf16 is little-endian)
};

struct TextEncoding {
    int encoding;    // a CodePageIndex, EncodingUtf8, EncodingUtf16, a DetectedEncoding, or NoDecision
    int confidence;  // 0..100, as with Detection
    int byteOrderMark;  // the length of the byte order mark the text starts with, 0 without
};

// Looks at the bytes DetectCodePage looks at (at most DetectionReach).
// NoDecision for binary data and too little Cyrillic text.
TextEncoding DetectTextEncoding(const unsigned char* bytes, unsigned count);

// Names the code page of count bytes at bytes (bytes may be null when count
// is 0). Where two code pages read the text as the same characters, names
// the more common one: cp1251 before Macintosh Cyrillic (lower-case text
// without я and the like), cp866 before Macintosh Cyrillic (all capitals),
// cp866 before ISO-8859-5 (small letters from р on); the confidence then
// counts both as right. Text that is UTF-8 or UTF-16 is NoDecision here.
Detection DetectCodePage(const unsigned char* bytes, unsigned count);

// Which encoding an input is in, for -f auto and --detect: one of the five
// code pages, UTF-8, UTF-16 or ASCII, as the engine's detector reads the
// text (text_encoding_detection.h).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

struct EncodingGuess {
    int encoding;    // an encoding, or -1 when there is no telling
    int confidence;  // 0..100
    // Text of ASCII characters only, which reads the same in every
    // encoding: given as UTF-8, the reading that a later non-ASCII byte
    // cannot silently get wrong.
    bool ascii = false;
    // UTF-16 big-endian without a byte order mark: read as utf-16be.
    bool bigEndian = false;
};

EncodingGuess DetectEncoding(const unsigned char* head, size_t length);

// Reads the bytes the detector looks at into head: the first 64 KiB (fewer
// where the input ends), on up to 1 MiB when those hold too little
// Cyrillic, and on by a MiB at a time up to 16 MiB while all of it is ASCII.
// False when reading failed, with errno set.
bool ReadHead(std::FILE* input, std::vector<unsigned char>& head);

// Why there was no telling, for the user.
extern const char NoDecisionText[];

// Why a guess below ConfidentEnough is not acted on, naming it.
std::string UnsureText(const EncodingGuess& guess);

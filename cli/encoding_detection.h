// Which encoding an input is in, for -f auto and --detect: one of the five
// code pages as the detector reads the text, UTF-16 by its byte order mark,
// UTF-8 by its well-formed characters, ASCII by having nothing else.
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
};

EncodingGuess DetectEncoding(const unsigned char* head, size_t length);

// Reads the bytes the detector looks at, the first 64 KiB (fewer where the
// input ends), into head. False when reading failed, with errno set.
bool ReadHead(std::FILE* input, std::vector<unsigned char>& head);

// Why there was no telling, for the user.
extern const char NoDecisionText[];

// Why a guess below ConfidentEnough is not acted on, naming it.
std::string UnsureText(const EncodingGuess& guess);

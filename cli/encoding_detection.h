// Which encoding an input is in, for -f auto and --detect: one of the five
// code pages as the detector reads the text, UTF-16 by its byte order mark,
// UTF-8 by its well-formed characters.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

struct EncodingGuess {
    int encoding;    // an encoding, or -1 when there is no telling
    int confidence;  // 0..100
};

EncodingGuess DetectEncoding(const unsigned char* head, size_t length);

// Reads the bytes the detector looks at, the first 64 KiB (fewer where the
// input ends), into head. False when reading failed, with errno set.
bool ReadHead(std::FILE* input, std::vector<unsigned char>& head);

// Why there was no telling, for the user.
extern const char NoDecisionText[];

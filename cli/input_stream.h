// An input whose first bytes may have been read already, for a look at
// them before it is converted: the converters read through it.
//
// Inputs are read unbuffered (OpenToRead, and main for standard input), so
// that stdio reads straight into the caller's block with the system's own
// call rather than copying every byte once more through a buffer of its own.
#pragma once

#include <cstddef>
#include <cstdio>

class BinaryScan;

struct InputStream {
    std::FILE* file;
    const unsigned char* head = nullptr;  // read already, to be converted first
    size_t headLength = 0;
    // Bytes put in front of the input's own, a byte order mark that tells
    // the converter the order of UTF-16 named by its order: left out of the
    // offsets that messages give.
    size_t added = 0;
    // Where not nullptr, sees every byte read, and once it finds data,
    // ends the input: there is no use converting the rest.
    BinaryScan* scan = nullptr;
};

// Like fread from the file, but the head comes first.
size_t ReadInput(InputStream& input, unsigned char* buffer, size_t size);

// The size of a block that the rest of the input fits into with a byte to
// spare, where that is less than largest: the read that fills less than
// the whole block then tells that the input has ended. No less than a page,
// so that a block always has room beyond a character carried over from the
// one before.
size_t InputBlockSize(const InputStream& input, size_t largest);

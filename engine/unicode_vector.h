// The vector path from a code page into UTF-8: internal to the engine.
#pragma once

namespace unicode {

// A code page's upper half in UTF-8, byte by byte: the two bytes of each
// character that takes two, and a mark on the others (no character, or one
// of three bytes), which the vector path leaves to the general one.
struct Utf8Planes {
    alignas(64) unsigned char lead[128];
    alignas(64) unsigned char trail[128];
    alignas(64) unsigned char other[128];
};

// Converts blocks of 64 bytes from in into UTF-8 at out, advancing it, for
// as long as no byte of a block is marked in planes; counts the LFs and
// returns how many bytes it converted. It may write up to 64 bytes past
// its output, within four bytes for each byte of count.
using PageToUtf8Function = unsigned (*)(const Utf8Planes& planes, unsigned char*& out, const unsigned char* in,
                                        unsigned count, unsigned& lineEnds);

// The one of a conversion path (ConversionPath) that has one (AVX-512,
// x86-64); else null.
PageToUtf8Function VectorPageToUtf8(int path);

#if defined(__x86_64__)
unsigned PageToUtf8Avx512(const Utf8Planes& planes, unsigned char*& out, const unsigned char* in, unsigned count,
                          unsigned& lineEnds);
#endif

} // namespace unicode

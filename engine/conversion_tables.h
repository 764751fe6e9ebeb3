// What a conversion between two code pages is made of: its line ends, its
// tables and the state of its vector look-ups, which a PageConverter holds
// by value (stream_converter.h) and its kernels read.
#pragma once

enum NewlineMode {
    Keep = 0,     // line ends pass unchanged
    AddCr = 1,    // LF becomes CR LF; an existing CR LF stays as it is
    StripCr = 2,  // CR LF becomes LF; a CR run before another byte becomes one CR
};

namespace conversion {

struct Kernel;  // one way of converting (conversion_kernel.h)

struct Tables {
    // Byte by byte result of the conversion. Bytes below 0x80 always
    // stay as they are.
    unsigned char map[256];
    // The vector kernels' form of map[0x80..0xFF]. With delta[h][low] =
    // map[b] ^ b for b = 0x80 + 16 h + low, row 7 is delta[7] and row k < 7
    // is delta[k] ^ delta[k + 1], so that the rows from h up XOR to
    // delta[h]. Each row twice, once for each 16-byte lane.
    alignas(32) unsigned char steps[8][32];
};

// Whether the vector look-up stops after the rows for 0xC0..0xFF. Russian
// letters lie there, and most blocks of Russian text have no byte in
// 0x80..0xBF, the other rows' only users (ё, typography in cp1251). So the
// kernels convert a group of blocks that way, note the blocks where a byte
// was left over and convert those again in full after the group, without a
// branch per block that the clustered ё of real prose would mislead. Where
// more than a quarter of a group's blocks had to be done again (typography
// in cp1251, any bytes at all), doing them twice costs more than the four
// rows saved on the others: the next groups go in full, and the kernels try
// again after RestGroups of them.
struct Shortcut {
    static const unsigned RestGroups = 16;

    unsigned resting = 0;  // groups still to go in full

    bool Trying() const { return resting == 0; }

    void AfterGroup(unsigned misses, unsigned blocks)
    {
        if (resting != 0)
            --resting;
        else if (4 * misses > blocks)
            resting = RestGroups;
    }
};

} // namespace conversion

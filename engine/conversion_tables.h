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

// Whether the vector look-up tries to stop after the rows for 0xC0..0xFF.
// Russian letters lie there, and most blocks of Russian text have no byte in
// 0x80..0xBF, the other rows' only users; but where such bytes are common
// (typography in cp1251, any bytes at all) a branch that often goes either
// way costs more than the four rows. So the kernels try it for a while, and
// stop trying for longer where it fails more than once in sixteen blocks.
struct Shortcut {
    static const unsigned TryBlocks = 64, RestBlocks = 4096, MissesAllowed = 4;

    bool trying = true;
    unsigned left = TryBlocks;  // blocks before the next decision
    unsigned misses = 0;        // blocks tried in vain since the last one

    void AfterBlock()
    {
        if (--left != 0)
            return;
        trying = !trying || misses <= MissesAllowed;
        left = trying ? TryBlocks : RestBlocks;
        misses = 0;
    }
};

} // namespace conversion

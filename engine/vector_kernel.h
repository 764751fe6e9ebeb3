// The vector kernels' one algorithm, written once for a vector type V of
// V::Width bytes (see ssse3_kernel.cpp and avx2_kernel.cpp, the only files
// that include this). Everything here has internal linkage, like
// conversion_kernel.h, so that each kernel file keeps its own copy built for
// its own instruction set.
#pragma once

#include "conversion_kernel.h"

namespace {

// The eight rows of Tables::steps as Map reads them. x86-64 has sixteen
// vector registers and keeps them all there for the whole call; the 32-bit
// build has eight, and reads each row from memory at its step, which costs
// a load but no spills.
template <class V>
struct StepRows {
#if defined(__x86_64__)
    explicit StepRows(const conversion::Tables& tables)
        : row0(V::Load(tables.steps[0])), row1(V::Load(tables.steps[1])), row2(V::Load(tables.steps[2])),
          row3(V::Load(tables.steps[3])), row4(V::Load(tables.steps[4])), row5(V::Load(tables.steps[5])),
          row6(V::Load(tables.steps[6])), row7(V::Load(tables.steps[7]))
    {
    }
    // Named rather than an array, which the compiler keeps in memory.
    typename V::Vector operator[](int k) const
    {
        switch (k) {
        case 0: return row0;
        case 1: return row1;
        case 2: return row2;
        case 3: return row3;
        case 4: return row4;
        case 5: return row5;
        case 6: return row6;
        default: return row7;
        }
    }
    typename V::Vector row0, row1, row2, row3, row4, row5, row6, row7;
#else
    explicit StepRows(const conversion::Tables& tables) : tables(tables) {}
    typename V::Vector operator[](int k) const { return V::Load(tables.steps[k]); }
    const conversion::Tables& tables;
#endif
};

// Keeps the compiler from regrouping a chain of XORs into a tree, whose
// partial results would take registers the rows need.
template <class Vector>
inline void KeepChained(Vector& v)
{
    asm("" : "+x"(v));
}

// One look-up step of Map: bytes whose high nibble, counted from 0x80, is at
// most k find row k; the others find 0. delta collects what they find.
template <class V>
inline void LookUpRow(const StepRows<V>& rows, int k, typename V::Vector index, typename V::Vector& delta)
{
    delta = V::Xor(delta, V::Lookup(rows[k], index));
    KeepChained(delta);
}

// The whole map applied to every byte of v. v ^ 0x80 puts the high half of
// the byte values below 0x80, where a 16-entry look-up answers, and ASCII
// above it, where the look-up answers 0. Each step adds 0x10 with
// saturation, so one more high nibble drops out of range, and XORs in the
// next row: the rows a byte finds telescope to map[b] ^ b. ASCII finds
// nothing, and stays as it is. After the rows for 0xC0..0xFF, a block with
// no byte left in range is done, when the shortcut is being tried.
template <class V>
inline typename V::Vector Map(const StepRows<V>& rows, typename V::Vector v, conversion::Shortcut& shortcut)
{
    using Vector = typename V::Vector;
    const Vector step = V::Splat(0x10);
    Vector index = V::Xor(v, V::Splat(0x80));
    Vector delta = V::Lookup(rows[7], index);
#pragma GCC unroll 3
    for (int k = 6; k >= 4; --k) {
        index = V::AddSaturated(index, step);
        LookUpRow<V>(rows, k, index, delta);
    }
    index = V::AddSaturated(index, step);
    shortcut.AfterBlock();
    if (shortcut.trying) {
        const std::uint32_t all = V::Width == 32 ? ~0u : (1u << V::Width) - 1;
        if (V::HighBits(index) == all)
            return V::Xor(v, delta);
        ++shortcut.misses;
    }
    LookUpRow<V>(rows, 3, index, delta);
#pragma GCC unroll 3
    for (int k = 2; k >= 0; --k) {
        index = V::AddSaturated(index, step);
        LookUpRow<V>(rows, k, index, delta);
    }
    return V::Xor(v, delta);
}

inline unsigned LowestBit(std::uint32_t mask)
{
    return static_cast<unsigned>(__builtin_ctz(mask));
}

inline unsigned HighestBit(std::uint32_t mask)
{
    return 31 - static_cast<unsigned>(__builtin_clz(mask));
}

// Shuffle controls for V::ShiftDown: from ShiftRamp + 16 + k, sixteen
// bytes pick bytes k, k + 1, ... of a 16-byte lane and zero past its end;
// from ShiftRamp + k, they pick what comes from the next lane.
alignas(16) constexpr unsigned char ShiftRamp[64] = {
    0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,
    0,    1,    2,    3,    4,    5,    6,    7,    8,    9,    10,   11,   12,   13,   14,   15,
    0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,
    0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,
};

// 0 or 1, as the compiler cannot foresee: knowing that the 0 case writes
// nothing new, it would branch around it, and mispredict at every other
// line end.
inline unsigned Opaque(bool b)
{
    unsigned value = b;
    asm("" : "+r"(value));
    return value;
}

// The place of the first byte mask marks when found, else 0.
inline unsigned FirstOrZero(std::uint32_t mask, unsigned found)
{
    return LowestBit(mask | (found ^ 1));
}

// Whether the block at next holds enough bytes other than CR, each of which
// writes one, to cover what moving the CRs out of the block before it (all
// followed by their LF, none its last byte) writes past that block's output:
// as many as the place after its last CR, and one more when a CR that ends
// the block goes too. With one CR at most, that is always so.
template <class V>
inline bool RoomAfter(const unsigned char* next, std::uint32_t crs, std::uint32_t last)
{
    const std::uint32_t crsNext = V::Matches(V::Load(next), CR);
    return (crsNext & (crsNext - 1)) == 0 || crs == 0 ||
           V::Width - __builtin_popcount(crsNext) >= HighestBit(crs) + 1 + last;
}

// Whole blocks of V::Width bytes go through vectors, at fixed places in the
// input; the reference converts the tail, and under StripCr the blocks whose
// CRs are not plain line ends.
//
// A line end that changes shifts the rest of its block by one byte: the
// block's bytes from there on are stored again one place on (or back).
// Every block does so once, a block without such a line end in place, so
// that no branch waits on where the lines end. These stores reach up to a
// block past the block's own output, and are made only where at least that
// much more output is sure to follow: callers size their buffers exactly
// (PageConverter::Estimate, the header's sizes), and none of that room may be
// touched.
template <class V, int Mode>
Run ConvertBlocks(Run run, const unsigned char* input, unsigned count)
{
    using Vector = typename V::Vector;
    const unsigned Width = V::Width;
    // A block, and under AddCr and StripCr the block after it, whose output
    // covers what the first one writes past itself.
    const unsigned Reach = Mode == Keep ? Width : 2 * Width;
    const StepRows<V> rows(*run.tables);
    conversion::Shortcut shortcut = run.shortcut;
    unsigned char* out = run.out;
    bool afterCr = run.previous == CR;  // a CR pending, under StripCr
    unsigned n = 0;
    while (count - n >= Reach) {
        const Vector v = V::Load(input + n);
        const Vector mapped = Map<V>(rows, v, shortcut);
        if (Mode == Keep) {
            V::Store(out, mapped);
            out += Width;
            n += Width;
            if (count - n < Width && n < count) {
                // The last bytes as one block that overlaps the ones
                // before: under Keep every byte's place in the output is
                // fixed, and writing it again changes nothing.
                out -= Width - (count - n);
                n = count - Width;
            }
            continue;
        }
        const std::uint32_t lfs = V::Matches(v, LF), crs = V::Matches(v, CR);
        if (Mode == AddCr) {
            // Every LF without a CR before it gains one: the bytes from the
            // LF on are stored again, a place further on each time. Every
            // byte of the next block writes at least one more.
            std::uint32_t lone = lfs & ~(crs << 1 | static_cast<std::uint32_t>(afterCr));
            V::Store(out, mapped);
            unsigned inserted = Opaque(lone != 0);
            unsigned at = FirstOrZero(lone, inserted);
            out[at] = CR;  // or, with none found, the first byte again
            V::Store(out + at + inserted, V::ShiftDown(mapped, at));
            for (lone &= lone - 1; lone != 0; lone &= lone - 1) {  // short lines
                at = LowestBit(lone);
                out[at + inserted] = CR;
                ++inserted;
                V::Store(out + at + inserted, V::ShiftDown(mapped, at));
            }
            out += Width + inserted;
            n += Width;
            afterCr = crs >> (Width - 1) != 0;
            continue;
        }
        // StripCr, the common case: every CR in the block is followed by its
        // LF (the last one's may start the next block), and the next block
        // holds enough bytes other than CR (each of which writes one) to
        // cover what the last move writes past the block. Before the block a
        // pending CR is written unless the block starts with an LF.
        const std::uint32_t lfsAfter = lfs >> 1 | static_cast<std::uint32_t>(input[n + Width] == LF) << (Width - 1);
        const std::uint32_t last = crs >> (Width - 1);  // a CR that needs no move
        std::uint32_t rest = crs & ~(last << (Width - 1));
        if ((lfsAfter & crs) == crs && !(afterCr && (crs & 1) != 0) && RoomAfter<V>(input + n + Width, rest, last)) {
            *out = CR;
            out += afterCr && (lfs & 1) == 0;
            V::Store(out, mapped);
            unsigned removed = Opaque(rest != 0);
            unsigned at = FirstOrZero(rest, removed);
            V::Store(out + at, V::ShiftDown(mapped, at + removed));
            for (rest &= rest - 1; rest != 0; rest &= rest - 1) {  // short lines
                at = LowestBit(rest);
                V::Store(out + at - removed, V::ShiftDown(mapped, at + 1));
                ++removed;
            }
            removed += last;
            out += Width - removed;
            n += Width;
            afterCr = false;
            continue;
        }
        // CR runs, a CR before anything but LF, a CR ending the block.
        run.out = out;
        run.previous = n > 0 ? input[n - 1] : run.previous;
        run = ConvertBytes<StripCr, false>(run, input + n, Width);
        out = run.out;
        n += Width;
        afterCr = run.previous == CR;
    }
    run.out = out;
    run.shortcut = shortcut;
    if (n > 0)
        run.previous = input[n - 1];
    run = ConvertBytes<Mode, false>(run, input + n, count - n);
    V::Leave();
    return run;
}

// How many bytes of input a text has: up to and with its first NUL, or all.
template <class V>
unsigned TextLength(const unsigned char* input, unsigned count)
{
    unsigned n = 0;
    for (; count - n >= V::Width; n += V::Width) {
        const std::uint32_t nuls = V::Matches(V::Load(input + n), 0);
        if (nuls != 0)
            return n + LowestBit(nuls) + 1;
    }
    for (; n < count; ++n)
        if (input[n] == 0)
            return n + 1;
    return count;
}

// The text form: the stream form up to the end of the text, whose last
// byte, if it is not the last of the input, is the NUL.
template <class V, int Mode>
Run ConvertText(Run run, const unsigned char* input, unsigned count)
{
    return ConvertBlocks<V, Mode>(run, input, TextLength<V>(input, count));
}

template <class V>
constexpr conversion::Kernel KernelOf()
{
    return {{
        {ConvertBlocks<V, Keep>, ConvertBlocks<V, AddCr>, ConvertBlocks<V, StripCr>},
        {ConvertText<V, Keep>, ConvertText<V, AddCr>, ConvertText<V, StripCr>},
    }};
}

} // namespace

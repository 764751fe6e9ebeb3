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
// nothing, and stays as it is.
template <class V>
inline typename V::Vector Map(const StepRows<V>& rows, typename V::Vector v)
{
    using Vector = typename V::Vector;
    const Vector step = V::Splat(0x10);
    Vector index = V::Xor(v, V::Splat(0x80));
    Vector delta = V::Lookup(rows[7], index);
#pragma GCC unroll 7
    for (int k = 6; k >= 0; --k) {
        index = V::AddSaturated(index, step);
        LookUpRow<V>(rows, k, index, delta);
    }
    return V::Xor(v, delta);
}

inline unsigned LowestBit(std::uint32_t mask)
{
    return static_cast<unsigned>(__builtin_ctz(mask));
}

// Whole blocks of V::Width bytes go through vectors; the kernel leaves to
// the reference what a block cannot do: a short tail, a block with the NUL
// that ends a text, and, under StripCr, a block whose store could reach past
// what the call will write in the end.
//
// Blocks restart after every line end that changes, so that each block has
// at most one event: the vector store writes the whole block, and the bytes
// past the line end are written again by the next block. Such a store may
// write up to a block past the output so far, so it is made only where at
// least that much output is sure to follow: callers size their buffers
// exactly (EstimateOutputSize, the header's sizes), and none of that room
// may be used.
template <class V, int Mode, bool StopAtNul>
Run ConvertBlocks(Run run, const unsigned char* input, unsigned count)
{
    using Vector = typename V::Vector;
    const unsigned Width = V::Width;
    const conversion::Tables& tables = *run.tables;
    const StepRows<V> rows(tables);
    unsigned char* out = run.out;
    bool afterCr = run.previous == CR;  // a CR pending, under StripCr
    unsigned n = 0;
    while (count - n >= Width) {
        const Vector v = V::Load(input + n);
        if (StopAtNul && V::Matches(v, 0) != 0)
            break;
        const Vector mapped = Map<V>(rows, v);
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
            // Every byte after this block writes at least one more, and the
            // block has no NUL: the store's excess is always overwritten.
            V::Store(out, mapped);
            const std::uint32_t lone = lfs & ~(crs << 1 | static_cast<std::uint32_t>(afterCr));
            if (lone == 0) {
                out += Width;
                n += Width;
                afterCr = crs >> (Width - 1) != 0;
                continue;
            }
            const unsigned at = LowestBit(lone);
            out[at] = CR;
            out[at + 1] = LF;
            out += at + 2;
            n += at + 1;
            afterCr = false;
            continue;
        }
        // StripCr.
        if (crs == 0) {
            if (afterCr && (lfs & 1) == 0)
                *out++ = CR;
            afterCr = false;
            V::Store(out, mapped);
            out += Width;
            n += Width;
            continue;
        }
        // What follows the CRs may be CRs as well, which write nothing: the
        // store is safe when the next block holds enough other bytes.
        bool roomAhead = false;
        if (count - n >= 2 * Width) {
            const Vector next = V::Load(input + n + Width);
            roomAhead = !(StopAtNul && V::Matches(next, 0) != 0) &&
                        __builtin_popcount(crs) + __builtin_popcount(V::Matches(next, CR)) <= static_cast<int>(Width);
        }
        if (!roomAhead) {
            run.out = out;
            run.previous = n > 0 ? input[n - 1] : run.previous;
            run = ConvertBytes<StripCr, StopAtNul>(run, input + n, Width);
            out = run.out;
            n += Width;
            afterCr = run.previous == CR;
            continue;
        }
        if (afterCr && (crs & 1) == 0 && (lfs & 1) == 0)
            *out++ = CR;
        V::Store(out, mapped);
        const unsigned at = LowestBit(crs);
        const std::uint32_t afterRun = ~(crs >> at);  // 0 for a block of CRs alone
        const unsigned end = afterRun != 0 ? at + LowestBit(afterRun) : Width;  // past the run
        out += at;
        if (end == Width) {
            n += Width;
            afterCr = true;
            continue;
        }
        // The run ends in the block: it is one line end, or one CR kept
        // before whatever else follows it.
        const unsigned char following = input[n + end];
        if (following != LF)
            *out++ = CR;
        *out++ = tables.map[following];
        n += end + 1;
        afterCr = false;
    }
    run.out = out;
    if (n > 0)
        run.previous = input[n - 1];
    run = ConvertBytes<Mode, StopAtNul>(run, input + n, count - n);
    V::Leave();
    return run;
}

template <class V>
constexpr conversion::Kernel KernelOf()
{
    return {{
        {ConvertBlocks<V, Keep, false>, ConvertBlocks<V, AddCr, false>, ConvertBlocks<V, StripCr, false>},
        {ConvertBlocks<V, Keep, true>, ConvertBlocks<V, AddCr, true>, ConvertBlocks<V, StripCr, true>},
    }};
}

} // namespace

// The vector kernels' one algorithm, written once for a vector type V of
// V::Width bytes (see ssse3_kernel.cpp and avx2_kernel.cpp, the only files
// that include this). Everything here has internal linkage, like
// conversion_kernel.h, so that each kernel file keeps its own copy built for
// its own instruction set.
#pragma once

#include "conversion_kernel.h"

namespace {

// One look-up step of Map: bytes whose high nibble, counted from 0x80, is at
// most k find row k; the others find 0.
template <class V>
inline typename V::Vector LookUpRow(const conversion::Tables& tables, int k, typename V::Vector index)
{
    return V::Lookup(V::Row(tables, k), index);
}

// The whole map applied to every byte of v. v ^ 0x80 puts the high half of
// the byte values below 0x80, where a 16-entry look-up answers, and ASCII
// above it, where the look-up answers 0. Each step adds 0x10 with
// saturation, so one more high nibble drops out of range, and XORs in the
// next row: the rows a byte finds telescope to map[b] ^ b. ASCII finds
// nothing, and stays as it is.
template <class V>
inline typename V::Vector Map(const conversion::Tables& tables, typename V::Vector v)
{
    using Vector = typename V::Vector;
    const Vector step = V::Splat(0x10);
    Vector index = V::Xor(v, V::Splat(0x80));
    Vector delta = LookUpRow<V>(tables, 7, index);
    index = V::AddSaturated(index, step);
    delta = V::Xor(delta, LookUpRow<V>(tables, 6, index));
    index = V::AddSaturated(index, step);
    delta = V::Xor(delta, LookUpRow<V>(tables, 5, index));
    index = V::AddSaturated(index, step);
    delta = V::Xor(delta, LookUpRow<V>(tables, 4, index));
    index = V::AddSaturated(index, step);
    delta = V::Xor(delta, LookUpRow<V>(tables, 3, index));
    index = V::AddSaturated(index, step);
    delta = V::Xor(delta, LookUpRow<V>(tables, 2, index));
    index = V::AddSaturated(index, step);
    delta = V::Xor(delta, LookUpRow<V>(tables, 1, index));
    index = V::AddSaturated(index, step);
    delta = V::Xor(delta, LookUpRow<V>(tables, 0, index));
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
    unsigned char* out = run.out;
    bool afterCr = run.previous == CR;  // a CR pending, under StripCr
    unsigned n = 0;
    while (count - n >= Width) {
        const Vector v = V::Load(input + n);
        if (StopAtNul && V::Matches(v, 0) != 0)
            break;
        const Vector mapped = Map<V>(tables, v);
        if (Mode == Keep) {
            V::Store(out, mapped);
            out += Width;
            n += Width;
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
    if (Mode == Keep && n < count && count - n < Width && count >= Width) {
        // The last bytes as one block that overlaps the ones before: under
        // Keep every byte's place in the output is fixed.
        const Vector last = V::Load(input + count - Width);
        if (!StopAtNul || V::Matches(last, 0) == 0) {
            V::Store(out - (n - (count - Width)), Map<V>(tables, last));
            out += count - n;
            n = count;
        }
    }
    run.out = out;
    if (n > 0)
        run.previous = input[n - 1];
    return ConvertBytes<Mode, StopAtNul>(run, input + n, count - n);
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

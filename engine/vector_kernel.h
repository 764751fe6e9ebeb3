// The vector kernels' one algorithm, written once for a vector type V of
// V::Width bytes (see ssse3_kernel.cpp and avx2_kernel.cpp, the only files
// that include this). Everything here has internal linkage, like
// conversion_kernel.h, so that each kernel file keeps its own copy built for
// its own instruction set.
#pragma once

#include <cstddef>

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

// One look-up step: bytes whose high nibble, counted from 0x80, is at most k
// find row k; the others find 0. delta collects what they find.
template <class V>
inline void LookUpRow(const StepRows<V>& rows, int k, typename V::Vector index, typename V::Vector& delta)
{
    delta = V::Xor(delta, V::Lookup(rows[k], index));
    KeepChained(delta);
}

// The look-up of the map, in two halves. v ^ 0x80 puts the high half of the
// byte values below 0x80, where a 16-entry look-up answers, and ASCII above
// it, where the look-up answers 0. Each step adds 0x10 with saturation, so
// one more high nibble drops out of range, and XORs in the next row: the
// rows a byte finds telescope to map[b] ^ b. ASCII finds nothing, and stays
// as it is. The first half, the rows for 0xC0..0xFF, leaves in index the
// bytes that the second half still has to look up: those below 0x80.
template <class V>
inline typename V::Vector LookUpUpperRows(const StepRows<V>& rows, typename V::Vector v, typename V::Vector& index)
{
    const typename V::Vector step = V::Splat(0x10);
    index = V::Xor(v, V::Splat(0x80));
    typename V::Vector delta = V::Lookup(rows[7], index);
#pragma GCC unroll 3
    for (int k = 6; k >= 4; --k) {
        index = V::AddSaturated(index, step);
        LookUpRow<V>(rows, k, index, delta);
    }
    index = V::AddSaturated(index, step);
    return delta;
}

template <class V>
inline typename V::Vector LookUpLowerRows(const StepRows<V>& rows, typename V::Vector index,
                                          typename V::Vector delta)
{
    const typename V::Vector step = V::Splat(0x10);
    LookUpRow<V>(rows, 3, index, delta);
#pragma GCC unroll 3
    for (int k = 2; k >= 0; --k) {
        index = V::AddSaturated(index, step);
        LookUpRow<V>(rows, k, index, delta);
    }
    return delta;
}

// The whole map applied to every byte of v.
template <class V>
inline typename V::Vector Map(const StepRows<V>& rows, typename V::Vector v)
{
    typename V::Vector index;
    const typename V::Vector delta = LookUpUpperRows<V>(rows, v, index);
    return V::Xor(v, LookUpLowerRows<V>(rows, index, delta));
}

// Bytes of a call converted a group at a time: as much as a look-up's
// shortcut is judged on, and, where line ends change, as much as is
// converted before they are moved.
const unsigned GroupBytes = 4096;

// Converts blocks whole blocks from in to out, both at the same places. See
// conversion::Shortcut. The rows are its own: the compiler would load them
// again after every store into bytes that might be them.
template <class V>
void MapBlocks(const conversion::Tables& tables, conversion::Shortcut& shortcut, unsigned char* out,
               const unsigned char* in, unsigned blocks)
{
    const unsigned Width = V::Width;
    const StepRows<V> rows(tables);
    // Pointers rather than indexes, which the processor may split into
    // more operations.
    const unsigned char* const end = in + blocks * Width;
    if (!shortcut.Trying()) {
        for (unsigned char* to = out; in != end; in += Width, to += Width)
            V::Store(to, Map<V>(rows, V::Load(in)));
        shortcut.AfterGroup(0, blocks);
        return;
    }
    const std::uint32_t all = Width == 32 ? ~0u : (1u << Width) - 1;
    unsigned char missed[GroupBytes / Width];  // the blocks to do again
    unsigned misses = 0;
    unsigned char* to = out;
    unsigned i = 0;
    for (const unsigned char* from = in; from != end; from += Width, to += Width, ++i) {
        const typename V::Vector v = V::Load(from);
        typename V::Vector index;
        const typename V::Vector delta = LookUpUpperRows<V>(rows, v, index);
        V::Store(to, V::Xor(v, delta));
        missed[misses] = static_cast<unsigned char>(i);
        misses += V::HighBits(index) < all;
    }
    for (unsigned k = 0; k < misses; ++k) {
        const unsigned i = missed[k];
        V::Store(out + i * Width, Map<V>(rows, V::Load(in + i * Width)));
    }
    shortcut.AfterGroup(misses, blocks);
}

// Keep: every byte's place in the output is its place in the input.
template <class V>
Run ConvertKeep(Run run, const unsigned char* input, unsigned count)
{
    const unsigned Width = V::Width;
    if (count < Width)
        return ConvertBytes<Keep, false>(run, input, count);
    const unsigned whole = count / Width;
    for (unsigned block = 0; block < whole; block += GroupBytes / Width) {
        const unsigned blocks = whole - block < GroupBytes / Width ? whole - block : GroupBytes / Width;
        MapBlocks<V>(*run.tables, run.shortcut, run.out + block * Width, input + block * Width, blocks);
    }
    // The last bytes as one block that overlaps the ones before: writing a
    // byte again changes nothing.
    if (count % Width != 0)
        V::Store(run.out + count - Width, Map<V>(StepRows<V>(*run.tables), V::Load(input + count - Width)));
    run.out += count;
    run.previous = input[count - 1];
    V::Leave();
    return run;
}

// Moves the line ends of blocks whole blocks of in (from the call that
// begins at input, after previous), whose converted bytes are at mapped, to
// out, and returns the end of the output. Up to Moves line ends of a block
// go without a branch; see ConvertLines.
template <class V, int Mode, unsigned Moves>
unsigned char* MoveLineEnds(unsigned char* out, const unsigned char* in, const unsigned char* mapped, unsigned blocks,
                            const unsigned char* input, unsigned char previous)
{
    using Lines = typename V::Lines;
    const unsigned Width = V::Width;
    const Lines absent = V::Absent(Moves);
    // Pointers and machine words, which spare the compiler's own additions
    // and widenings in every move.
    const unsigned char* from = mapped;
    for (const unsigned char* at = in; at != in + blocks * Width; at += Width, from += Width) {
        const typename V::Vector v = V::Load(at);
        V::Store(out, V::Load(from));
        if (Mode == AddCr) {
            // Every LF without a CR before it gains one: the k-th after k
            // others.
            const std::uint32_t crsBefore =
                at != input ? V::Matches(V::Load(at - 1), CR) : V::Matches(v, CR) << 1 | (previous == CR);
            const std::uint32_t lone = V::Matches(v, LF) & ~crsBefore;
            Lines lines = absent | lone;
            std::size_t k = 0;
            for (; k < Moves; ++k, lines &= lines - 1) {
                const std::size_t place = V::First(lines, k);
                out[place + k] = CR;
                V::Store(out + place + k + 1, V::Load(from + place));
            }
            for (; V::Real(lines) != 0; ++k, lines &= lines - 1) {  // short lines
                const std::size_t place = V::First(lines, k);
                out[place + k] = CR;
                V::Store(out + place + k + 1, V::Load(from + place));
            }
            out += Width + V::Count(lone);
            continue;
        }
        // StripCr: the CRs before a CR or an LF go, the k-th after k others.
        const std::uint32_t dropped = V::Matches(v, CR) & V::MatchesEither(V::Load(at + 1), CR, LF);
        Lines lines = absent | dropped;
        std::size_t k = 0;
        for (; k < Moves; ++k, lines &= lines - 1) {
            const std::size_t place = V::First(lines, k);
            V::Store(out + place - k, V::Load(from + place + 1));
        }
        for (; V::Real(lines) != 0; ++k, lines &= lines - 1) {  // short lines
            const std::size_t place = V::First(lines, k);
            V::Store(out + place - k, V::Load(from + place + 1));
        }
        out += Width - V::Count(dropped);
    }
    return out;
}

// Where lines are longer than this on average, one move a block goes
// without a branch rather than V::Moves: text with long lines then spares
// the moves its blocks seldom need.
const unsigned LineBytes = 45;

// Where line ends change, each group of blocks is converted first into a
// buffer; then each block's line ends are moved, from there to the output:
// the block is stored whole, then, for each line end that changes, the
// block's bytes from there on again, one place on (a CR goes in before an
// LF) or back (a CR before an LF goes). Each block makes V::Moves such
// stores, or one after a group of long lines, whether its line ends are
// there or not (those that are not store past the block's output), so that
// no branch waits on how many lines a block ends: V::Moves is what nearly
// all blocks of prose need. A block with more goes on in a loop.
//
// The stores reach up to a block past the block's output, and are made only
// where at least that much more output is sure to follow: callers size
// their buffers exactly (EstimateOutputSize, the header's sizes), and none
// of that room may be touched. So a group goes this way only when three
// whole blocks follow it, and under StripCr only when those three write
// two blocks at least (every byte but a CR writes one); the reference
// converts the rest.
template <class V, int Mode>
Run ConvertLines(Run run, const unsigned char* input, unsigned count)
{
    const unsigned Width = V::Width;
    const unsigned Follow = 3 * Width;  // what the room is judged on
    unsigned n = 0;
    if (count >= Width + Follow) {
        // A group converted, and what moves that are not there read past it.
        unsigned char mapped[GroupBytes + 2 * Width + V::Moves + 1];
        unsigned char* out = run.out;
        // Under StripCr a CR pending from the call before stays when no CR
        // or LF follows it. From here on every CR of the input is kept or
        // dropped by the byte after it, the next block's first for a
        // block's last: CRs go before CR and LF, as the reference drops each
        // CR of a run until one that stays.
        if (Mode == StripCr && run.previous == CR && input[0] != CR && input[0] != LF)
            *out++ = CR;
        bool manyLines = true;  // as in prose, until a group shows otherwise
        while (count - n >= Width + Follow) {
            const unsigned left = (count - n - Follow) / Width;
            const unsigned blocks = left < GroupBytes / Width ? left : GroupBytes / Width;
            const unsigned char* const in = input + n;
            unsigned crsFollowing = 0;
            for (unsigned k = 0; k < Follow; k += Width)
                crsFollowing += V::Count(V::Matches(V::Load(in + blocks * Width + k), CR));
            if (Mode == StripCr && crsFollowing > Follow - 2 * Width) {
                // CR runs: the reference, from the byte before the group as
                // it would have left it.
                run.out = out;
                run.previous = n == 0 || (in[-1] == CR && in[0] != CR && in[0] != LF) ? 0 : in[-1];
                run = ConvertBytes<StripCr, false>(run, in, blocks * Width);
                out = run.out;
                n += blocks * Width;
                if (run.previous == CR && input[n] != CR && input[n] != LF)
                    *out++ = CR;  // what the group after would keep
                continue;
            }
            MapBlocks<V>(*run.tables, run.shortcut, mapped, in, blocks);
            V::Store(mapped + blocks * Width, V::Splat(0));
            V::Store(mapped + blocks * Width + Width, V::Splat(0));
            for (unsigned at = 0; at < V::Moves + 1; ++at)
                mapped[blocks * Width + 2 * Width + at] = 0;
            unsigned char* const groupOut = out;
            out = manyLines ? MoveLineEnds<V, Mode, V::Moves>(out, in, mapped, blocks, input, run.previous)
                            : MoveLineEnds<V, Mode, 1>(out, in, mapped, blocks, input, run.previous);
            const unsigned written = static_cast<unsigned>(out - groupOut);
            const unsigned lines = Mode == AddCr ? written - blocks * Width : blocks * Width - written;
            manyLines = lines * LineBytes > blocks * Width;
            n += blocks * Width;
        }
        run.out = out;
        run.previous = input[n - 1];
        if (Mode == StripCr && input[n - 1] == CR && input[n] != CR && input[n] != LF)
            run.previous = 0;  // kept already
    }
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
            return n + static_cast<unsigned>(__builtin_ctz(nuls)) + 1;
    }
    for (; n < count; ++n)
        if (input[n] == 0)
            return n + 1;
    return count;
}

// The text form: the stream form up to the end of the text, whose last
// byte, if it is not the last of the input, is the NUL.
template <class V, int Mode>
Run ConvertBlocks(Run run, const unsigned char* input, unsigned count)
{
    return Mode == Keep ? ConvertKeep<V>(run, input, count) : ConvertLines<V, Mode>(run, input, count);
}

template <class V, int Mode>
Run ConvertText(Run run, const unsigned char* input, unsigned count)
{
    return ConvertBlocks<V, Mode>(run, input, TextLength<V>(input, count));
}

template <class V>
constexpr conversion::Kernel KernelOf()
{
    return {{
        {ConvertKeep<V>, ConvertLines<V, AddCr>, ConvertLines<V, StripCr>},
        {ConvertText<V, Keep>, ConvertText<V, AddCr>, ConvertText<V, StripCr>},
    }};
}

} // namespace

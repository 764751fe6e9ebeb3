// What the converter's kernels share: the state of one call over a
// conversion's tables (conversion_tables.h), and the byte by byte rules
// that are the reference every kernel must match. Internal to the engine.
#pragma once

#include <cstdint>
#include <cstring>

#include "conversion_tables.h"

namespace conversion {

const unsigned char CR = 0x0D;
const unsigned char LF = 0x0A;

// The converter's state while it runs through one call.
struct Run {
    const Tables* tables;
    unsigned char* out;
    unsigned char previous;  // the last input byte consumed
    Shortcut shortcut;       // carried from call to call, like previous
};

// Converts count bytes and returns the state after them, stopping after a
// NUL where the entry point does.
using KernelFunction = Run (*)(Run run, const unsigned char* input, unsigned count);

// One way of converting, per [stop at NUL][NewlineMode].
struct Kernel {
    KernelFunction convert[2][3];
};

// Defined in the files compiled for the instruction set each needs.
extern const Kernel Ssse3Kernel;
extern const Kernel Avx2Kernel;
extern const Kernel Avx512Kernel;  // x86-64 only

// The kernel of a path (conversion_paths.cpp); the scalar one for a path
// this processor or build cannot run.
const Kernel& KernelOfPath(int path);

} // namespace conversion

// Internal linkage: every file that includes this gets its own copy, compiled
// for its own instruction set, so that the linker can never make a baseline
// caller run a copy built for a newer processor.
namespace {

using conversion::CR;
using conversion::LF;
using conversion::Run;

// True when any of the eight bytes of word is below 0x0E, that is NUL, LF,
// CR or a rarer control character. Words without such a byte need no
// line-end or end-of-text test at all.
inline bool HasControlByte(std::uint64_t word)
{
    const std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    return ((word - ones * 0x0E) & ~word & highs) != 0;
}

// One byte by the full rules of the mode. Returns false after a NUL that
// ends the text.
template <int Mode, bool StopAtNul>
inline bool Step(Run& run, unsigned char b)
{
    if (Mode == AddCr) {
        if (b == LF && run.previous != CR)
            *run.out++ = CR;
    } else if (Mode == StripCr) {
        if (b == CR) {
            run.previous = CR;
            return true;
        }
        if (run.previous == CR && b != LF)
            *run.out++ = CR;
    }
    run.previous = b;
    *run.out++ = run.tables->map[b];
    return !(StopAtNul && b == 0);
}

// The reference: most text holds long stretches without control bytes, and
// those go eight at a time, straight through the map; the rest byte by byte.
template <int Mode, bool StopAtNul>
Run ConvertBytes(Run run, const unsigned char* input, unsigned count)
{
    // run is a local copy: the compiler can keep it in registers, since the
    // bytes written cannot alias it.
    const unsigned char* const map = run.tables->map;
    const bool anyByteMatters = Mode != Keep || StopAtNul;
    unsigned n = 0;
    while (count - n >= 8) {
        std::uint64_t word;
        std::memcpy(&word, input + n, 8);
        if (!anyByteMatters || !HasControlByte(word)) {
            if (Mode == StripCr && run.previous == CR)
                *run.out++ = CR;  // pending from before, and no LF follows
            for (unsigned k = 0; k < 8; ++k)
                run.out[k] = map[input[n + k]];
            run.out += 8;
            n += 8;
            run.previous = input[n - 1];
            continue;
        }
        for (const unsigned end = n + 8; n < end;)
            if (!Step<Mode, StopAtNul>(run, input[n++]))
                return run;
    }
    while (n < count)
        if (!Step<Mode, StopAtNul>(run, input[n++]))
            return run;
    return run;
}

} // namespace

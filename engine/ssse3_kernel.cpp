// The kernel for processors with SSSE3, 16 bytes at a time. Only this file
// is compiled with -mssse3; the converter calls it only where the processor
// reports SSSE3.
#if defined(__i386__) || defined(__x86_64__)

#include <tmmintrin.h>

#include <cstddef>

#include "vector_kernel.h"

namespace {

struct Ssse3 {
    using Vector = __m128i;
    static const unsigned Width = 16;

    static Vector Load(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(unsigned char* p, Vector v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static Vector Splat(int byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
    static Vector And(Vector a, Vector b) { return _mm_and_si128(a, b); }
    static Vector Xor(Vector a, Vector b) { return _mm_xor_si128(a, b); }
    static Vector AddSaturated(Vector a, Vector b) { return _mm_adds_epu8(a, b); }
    static Vector Lookup(Vector row, Vector index) { return _mm_shuffle_epi8(row, index); }
    static void Leave() {}
    // Line ends moved per block without a branch: two, as blocks of 16
    // bytes of prose rarely end more lines. Lines holds them with a bit
    // set above for each move, so that a move whose line end is not there
    // finds a place past the block.
    static const unsigned Moves = 2;
    using Lines = std::uint32_t;
    static constexpr Lines Absent(unsigned moves) { return ((1u << moves) - 1) << Width; }
    static std::size_t First(Lines lines, std::size_t) { return static_cast<unsigned>(__builtin_ctz(lines)); }
    static std::uint32_t Real(Lines lines) { return lines & 0xFFFF; }
    // The bits of a mask of 16, without the POPCNT of later processors.
    static unsigned Count(std::uint32_t mask)
    {
        mask -= mask >> 1 & 0x5555;
        mask = (mask & 0x3333) + (mask >> 2 & 0x3333);
        mask = (mask + (mask >> 4)) & 0x0F0F;
        return (mask + (mask >> 8)) & 0x1F;
    }
    static std::uint32_t HighBits(Vector v) { return static_cast<std::uint32_t>(_mm_movemask_epi8(v)); }
    static std::uint32_t Matches(Vector v, int byte)
    {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, Splat(byte))));
    }
    static std::uint32_t MatchesEither(Vector v, int a, int b)
    {
        return static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, Splat(a)), _mm_cmpeq_epi8(v, Splat(b)))));
    }
};

} // namespace

constexpr conversion::Kernel conversion::Ssse3Kernel = KernelOf<Ssse3>();

#endif

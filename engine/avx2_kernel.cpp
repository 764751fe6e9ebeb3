// The kernel for processors with AVX2, 32 bytes at a time. Only this file
// is compiled with -mavx2, -mbmi and -mpopcnt; the converter calls it only
// where the processor and the system report all three, as every processor
// with AVX2 does. Nothing here spills a 32-byte
// vector to the stack, whose alignment a 32-bit Windows caller does not
// promise.
#if defined(__i386__) || defined(__x86_64__)

#include <immintrin.h>

#include <cstddef>

#include "vector_kernel.h"

namespace {

struct Avx2 {
    using Vector = __m256i;
    static const unsigned Width = 32;

    static Vector Load(const unsigned char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(unsigned char* p, Vector v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static Vector Splat(int byte) { return _mm256_set1_epi8(static_cast<char>(byte)); }
    static Vector And(Vector a, Vector b) { return _mm256_and_si256(a, b); }
    static Vector Xor(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
    static Vector AddSaturated(Vector a, Vector b) { return _mm256_adds_epu8(a, b); }
    static Vector Lookup(Vector row, Vector index) { return _mm256_shuffle_epi8(row, index); }
    // The compiler does not always clear the upper halves on the way out,
    // and the SSE code that runs next would pay for it: the program's other
    // code, the system's, the SSSE3 kernel.
    static void Leave() { _mm256_zeroupper(); }
    // Line ends moved per block without a branch: two, as one block of 32
    // bytes of prose in three ends more than one line and one in ten more
    // than two (a branch that then goes wrong costs less than a third move
    // in every block). Where 64-bit words are at hand, Lines holds them
    // with a bit set above for each move, so that a move whose line end is
    // not there finds a place past the block; elsewhere such a move is
    // given one.
    static const unsigned Moves = 2;
#if defined(__x86_64__)
    using Lines = std::uint64_t;
    static constexpr Lines Absent(unsigned moves) { return ((1ull << moves) - 1) << Width; }
    static std::size_t First(Lines lines, std::size_t) { return _tzcnt_u64(lines); }
#else
    using Lines = std::uint32_t;
    static constexpr Lines Absent(unsigned) { return 0; }
    static std::size_t First(Lines lines, std::size_t k) { return lines != 0 ? _tzcnt_u32(lines) : Width + k; }
#endif
    static std::uint32_t Real(Lines lines) { return static_cast<std::uint32_t>(lines); }
    static unsigned Count(std::uint32_t mask) { return static_cast<unsigned>(__builtin_popcount(mask)); }
    static std::uint32_t HighBits(Vector v) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(v)); }
    static std::uint32_t Matches(Vector v, int byte)
    {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, Splat(byte))));
    }
    static std::uint32_t MatchesEither(Vector v, int a, int b)
    {
        return static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(v, Splat(a)), _mm256_cmpeq_epi8(v, Splat(b)))));
    }
};

} // namespace

constexpr conversion::Kernel conversion::Avx2Kernel = KernelOf<Avx2>();

#endif

// The kernel for processors with SSSE3, 16 bytes at a time. Only this file
// is compiled with -mssse3; the converter calls it only where the processor
// reports SSSE3.
#if defined(__i386__) || defined(__x86_64__)

#include <tmmintrin.h>

#include "vector_kernel.h"

namespace {

struct Ssse3 {
    using Vector = __m128i;
    static const unsigned Width = 16;

    static Vector Load(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void Store(unsigned char* p, Vector v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    // Read from memory at each step: the 32-bit build has eight registers.
    static Vector Row(const conversion::Tables& tables, int k) { return Load(tables.steps[k]); }
    static Vector Splat(int byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
    static Vector Xor(Vector a, Vector b) { return _mm_xor_si128(a, b); }
    static Vector AddSaturated(Vector a, Vector b) { return _mm_adds_epu8(a, b); }
    static Vector Lookup(Vector row, Vector index) { return _mm_shuffle_epi8(row, index); }
    static void Leave() {}
    // Bytes k, k + 1, ... of v, then zeros.
    static Vector ShiftDown(Vector v, unsigned k) { return _mm_shuffle_epi8(v, Load(ShiftRamp + 16 + k)); }
    static std::uint32_t HighBits(Vector v) { return static_cast<std::uint32_t>(_mm_movemask_epi8(v)); }
    static std::uint32_t Matches(Vector v, int byte)
    {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, Splat(byte))));
    }
};

} // namespace

constexpr conversion::Kernel conversion::Ssse3Kernel = KernelOf<Ssse3>();

#endif

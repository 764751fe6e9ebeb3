// The kernel for processors with AVX2, 32 bytes at a time. Only this file
// is compiled with -mavx2; the converter calls it only where the processor
// and the system report AVX2. Nothing here spills a 32-byte vector to the
// stack, whose alignment a 32-bit Windows caller does not promise.
#if defined(__i386__) || defined(__x86_64__)

#include <immintrin.h>

#include "vector_kernel.h"

namespace {

struct Avx2 {
    using Vector = __m256i;
    static const unsigned Width = 32;

    static Vector Load(const unsigned char* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void Store(unsigned char* p, Vector v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static Vector Row(const conversion::Tables& tables, int k) { return Load(tables.steps[k]); }
    static Vector Splat(int byte) { return _mm256_set1_epi8(static_cast<char>(byte)); }
    static Vector Xor(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
    static Vector AddSaturated(Vector a, Vector b) { return _mm256_adds_epu8(a, b); }
    static Vector Lookup(Vector row, Vector index) { return _mm256_shuffle_epi8(row, index); }
    // The compiler does not always clear the upper halves on the way out,
    // and the SSE code that runs next would pay for it: the program's other
    // code, the system's, the SSSE3 kernel.
    static void Leave() { _mm256_zeroupper(); }
    // Bytes k, k + 1, ... of v, then zeros: each lane's own bytes, and the
    // low lane's share of the high one.
    static Vector ShiftDown(Vector v, unsigned k)
    {
        const Vector high = _mm256_permute2x128_si256(v, v, 0x81);
        const Vector own = _mm256_broadcastsi128_si256(Load16(ShiftRamp + 16 + k));
        const Vector next = _mm256_broadcastsi128_si256(Load16(ShiftRamp + k));
        return _mm256_or_si256(_mm256_shuffle_epi8(v, own), _mm256_shuffle_epi8(high, next));
    }
    static __m128i Load16(const unsigned char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static std::uint32_t HighBits(Vector v) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(v)); }
    static std::uint32_t Matches(Vector v, int byte)
    {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, Splat(byte))));
    }
};

} // namespace

constexpr conversion::Kernel conversion::Avx2Kernel = KernelOf<Avx2>();

#endif

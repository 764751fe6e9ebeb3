// Code page bytes into UTF-8 with AVX-512, 64 at a time: byte permutes look
// up each byte's lead and trail byte, another interleaves them, and a
// compress takes out the trail bytes that ASCII does not have. Only this
// file and avx512_kernel.cpp are compiled with these instructions, and only
// for x86-64.
#if defined(__x86_64__)

#include <immintrin.h>

#include "unicode_vector.h"

namespace {

const unsigned Width = 64;

// Where the bytes of the first (from 0) or second (from 32) half block go
// when lead and trail bytes alternate: lead k is byte k, trail k byte 64 + k.
__m512i Interleaving(unsigned from)
{
    alignas(64) unsigned char order[Width];
    for (unsigned k = 0; k < Width; ++k)
        order[k] = static_cast<unsigned char>((k & 1 ? Width : 0) + from + k / 2);
    return _mm512_load_si512(order);
}

} // namespace

unsigned unicode::PageToUtf8Avx512(const Utf8Planes& planes, unsigned char*& out, const unsigned char* in,
                                   unsigned count, unsigned& lineEnds)
{
    const __m512i leadLow = _mm512_load_si512(planes.lead), leadHigh = _mm512_load_si512(planes.lead + 64);
    const __m512i trailLow = _mm512_load_si512(planes.trail), trailHigh = _mm512_load_si512(planes.trail + 64);
    const __m512i otherLow = _mm512_load_si512(planes.other), otherHigh = _mm512_load_si512(planes.other + 64);
    const __m512i firstHalf = Interleaving(0), secondHalf = Interleaving(Width / 2);
    const unsigned long long leadSlots = 0x5555555555555555ull, trailSlots = 0xAAAAAAAAAAAAAAAAull;
    unsigned char* o = out;
    unsigned lfs = 0;
    unsigned n = 0;
    for (; count - n >= Width; n += Width) {
        const __m512i v = _mm512_loadu_si512(in + n);
        const __mmask64 upper = _mm512_movepi8_mask(v);
        const __m512i other = _mm512_permutex2var_epi8(otherLow, v, otherHigh);
        if (_mm512_mask_test_epi8_mask(upper, other, other))
            break;
        // ASCII is its own lead byte, and has no trail byte.
        const __m512i lead = _mm512_mask2_permutex2var_epi8(leadLow, v, upper, leadHigh);
        const __m512i trail = _mm512_permutex2var_epi8(trailLow, v, trailHigh);
        const unsigned long long low = upper & 0xFFFFFFFFull, high = upper >> 32;
        const __m512i first = _mm512_maskz_compress_epi8(leadSlots | _pdep_u64(low, trailSlots),
                                                         _mm512_permutex2var_epi8(lead, firstHalf, trail));
        const __m512i second = _mm512_maskz_compress_epi8(leadSlots | _pdep_u64(high, trailSlots),
                                                          _mm512_permutex2var_epi8(lead, secondHalf, trail));
        // Whole stores: the second half covers the first one's spare bytes,
        // and four bytes of room for each input byte cover the second's.
        _mm512_storeu_si512(o, first);
        o += Width / 2 + _mm_popcnt_u64(low);
        _mm512_storeu_si512(o, second);
        o += Width / 2 + _mm_popcnt_u64(high);
        lfs += static_cast<unsigned>(_mm_popcnt_u64(_mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(0x0A))));
    }
    out = o;
    lineEnds += lfs;
    return n;
}

#endif

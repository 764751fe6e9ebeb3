// The kernel for processors with AVX-512 and its byte permutes and
// compresses (VBMI, VBMI2): the map's 128 upper entries sit in two
// registers, one permute converts 64 bytes, a compress takes the CRs out
// of a block and an expand puts them in. Masked loads and stores keep every
// access within the caller's bytes, so there is no tail to treat apart.
// Only this file is compiled with these instructions, and only for x86-64,
// whose 64-bit bit deposit and extract it needs too.
#if defined(__x86_64__)

#include <immintrin.h>

#include "conversion_kernel.h"

namespace {

const unsigned Width = 64;

// The first count bits, count up to 64.
inline __mmask64 FirstBits(unsigned count)
{
    return count >= Width ? ~0ull : (1ull << count) - 1;
}

struct UpperHalf {
    __m512i low, high;  // map[0x80..0xBF], map[0xC0..0xFF]

    explicit UpperHalf(const conversion::Tables& tables)
        : low(_mm512_loadu_si512(tables.map + 0x80)), high(_mm512_loadu_si512(tables.map + 0xC0))
    {
    }

    // Bytes from 0x80 up through the map; the permute reads their low seven
    // bits. The others stay as they are.
    __m512i Map(__m512i v) const { return _mm512_mask2_permutex2var_epi8(low, v, _mm512_movepi8_mask(v), high); }
};

inline __m512i Splat(unsigned char byte) { return _mm512_set1_epi8(static_cast<char>(byte)); }

// The text form stops after the first NUL, which it writes.
template <bool StopAtNul>
Run ConvertKeep(Run run, const unsigned char* input, unsigned count)
{
    const UpperHalf map(*run.tables);
    for (unsigned n = 0; n < count; n += Width) {
        __mmask64 bytes = FirstBits(count - n);
        const __m512i v = _mm512_maskz_loadu_epi8(bytes, input + n);
        const __mmask64 nuls = StopAtNul ? _mm512_testn_epi8_mask(v, v) & bytes : 0;
        if (nuls != 0) {
            bytes = nuls ^ (nuls - 1);  // up to and with the first
            count = n + static_cast<unsigned>(_mm_popcnt_u64(bytes));
        }
        _mm512_mask_storeu_epi8(run.out + n, bytes, map.Map(v));
    }
    run.out += count;
    if (count > 0)
        run.previous = input[count - 1];
    return run;
}

// Every LF without a CR before it gains one. Half a block at a time, so
// that the output, at most twice as long, fits one register: where each
// byte goes comes from interleaving "a CR here?" with "a byte here" and
// squeezing out the CRs that are not there.
Run ConvertAddCr(Run run, const unsigned char* input, unsigned count)
{
    const UpperHalf map(*run.tables);
    const unsigned long long crSlots = 0x5555555555555555ull, byteSlots = 0xAAAAAAAAAAAAAAAAull;
    const __m512i crs = Splat(conversion::CR), lfs = Splat(conversion::LF);
    unsigned long long afterCr = run.previous == conversion::CR;
    unsigned n = 0;
    // Whole blocks while a whole block follows, whose output covers what
    // whole stores write past each half's. Two blocks a turn, as under
    // StripCr.
#pragma GCC unroll 2
    for (; count - n >= 2 * Width; n += Width) {
        const __m512i v = _mm512_loadu_si512(input + n);
        const __m512i mapped = map.Map(v);
        const unsigned long long cr = _mm512_cmpeq_epi8_mask(v, crs);
        const unsigned long long lone = _mm512_cmpeq_epi8_mask(v, lfs) & ~(cr << 1 | afterCr);
        afterCr = cr >> 63;
        const unsigned long long low = lone & 0xFFFFFFFFull, high = lone >> 32;
        const __mmask64 placedLow = _pext_u64(byteSlots, _pdep_u64(low, crSlots) | byteSlots);
        const __mmask64 placedHigh = _pext_u64(byteSlots, _pdep_u64(high, crSlots) | byteSlots);
        const unsigned lengthLow = 32 + static_cast<unsigned>(_mm_popcnt_u64(low));
        const unsigned length = lengthLow + 32 + static_cast<unsigned>(_mm_popcnt_u64(high));
        _mm512_storeu_si512(run.out, _mm512_mask_expand_epi8(crs, placedLow, mapped));
        const __m512i upper = _mm512_maskz_shuffle_i64x2(0xFF, mapped, mapped, 0xEE);
        _mm512_storeu_si512(run.out + lengthLow, _mm512_mask_expand_epi8(crs, placedHigh, upper));
        run.out += length;
    }
    for (; n < count; n += Width) {
        const __mmask64 bytes = FirstBits(count - n);
        const __m512i v = _mm512_maskz_loadu_epi8(bytes, input + n);
        const __m512i mapped = map.Map(v);
        const __mmask64 cr = _mm512_cmpeq_epi8_mask(v, crs) & bytes;
        const __mmask64 lone = _mm512_cmpeq_epi8_mask(v, lfs) & bytes & ~(cr << 1 | afterCr);
        afterCr = cr >> 63;
        for (unsigned half = 0; half < 2; ++half) {
            const unsigned long long inHalf = (bytes >> 32 * half) & 0xFFFFFFFFull;
            if (inHalf == 0)
                break;
            const unsigned long long inserted = (lone >> 32 * half) & 0xFFFFFFFFull;
            const unsigned long long present = _pdep_u64(inserted, crSlots) | _pdep_u64(inHalf, byteSlots);
            const __mmask64 placed = _pext_u64(byteSlots, present);
            const __m512i source = half ? _mm512_maskz_shuffle_i64x2(0xFF, mapped, mapped, 0xEE) : mapped;
            // Counted apart from the deposit and extract, whose latency
            // would otherwise hold up every later store.
            const unsigned length = static_cast<unsigned>(_mm_popcnt_u64(inHalf) + _mm_popcnt_u64(inserted));
            const __m512i expanded = _mm512_mask_expand_epi8(crs, placed, source);
            // A whole store is quicker than a masked one across cache lines,
            // and safe where the input still to come writes the rest of the
            // 64 bytes: half a block at least.
            if (count - n >= Width + Width / 2)
                _mm512_storeu_si512(run.out, expanded);
            else
                _mm512_mask_storeu_epi8(run.out, FirstBits(length), expanded);
            run.out += length;
        }
    }
    if (count > 0)
        run.previous = input[count - 1];
    return run;
}

// Every CR goes, but one before a byte other than CR or LF: a CR stays
// exactly where the byte after it is neither. The byte after a block's last
// is the next block's first; after the input's last, a CR waits in
// previous for the next call, which writes it unless it begins with a CR
// or an LF.
Run ConvertStripCr(Run run, const unsigned char* input, unsigned count)
{
    if (count == 0)
        return run;
    const UpperHalf map(*run.tables);
    const __m512i crs = Splat(conversion::CR), lfs = Splat(conversion::LF);
    if (run.previous == conversion::CR && input[0] != conversion::CR && input[0] != conversion::LF)
        *run.out++ = conversion::CR;
    unsigned n = 0;
    // Whole blocks while a whole block follows, each block's line ends
    // found once: the block after each is the next one's. Two blocks a
    // turn, which spares the moves between registers that one a turn
    // needs (a sixth of the time).
    if (count >= 2 * Width) {
        __m512i v = _mm512_loadu_si512(input);
        unsigned long long cr = _mm512_cmpeq_epi8_mask(v, crs);
        unsigned long long lf = _mm512_cmpeq_epi8_mask(v, lfs);
#pragma GCC unroll 2
        for (; count - n >= 2 * Width; n += Width) {
            const __m512i next = _mm512_loadu_si512(input + n + Width);
            const unsigned long long crNext = _mm512_cmpeq_epi8_mask(next, crs);
            const unsigned long long lfNext = _mm512_cmpeq_epi8_mask(next, lfs);
            const unsigned long long kept = ~(cr & ((cr | lf) >> 1 | (crNext | lfNext) << 63));
            const unsigned length = static_cast<unsigned>(_mm_popcnt_u64(kept));
            const __m512i compressed = _mm512_maskz_compress_epi8(kept, map.Map(v));
            // A whole store is quicker than a masked one across cache
            // lines, and safe where the next block's bytes other than CR,
            // each of which writes one, cover the rest of the 64.
            if (_mm_popcnt_u64(crNext) <= length)
                _mm512_storeu_si512(run.out, compressed);
            else
                _mm512_mask_storeu_epi8(run.out, FirstBits(length), compressed);
            run.out += length;
            cr = crNext;
            lf = lfNext;
            v = next;
        }
    }
    for (; n < count; n += Width) {
        const __mmask64 bytes = FirstBits(count - n);
        const __m512i v = _mm512_maskz_loadu_epi8(bytes, input + n);
        const __mmask64 cr = _mm512_cmpeq_epi8_mask(v, crs) & bytes;
        const __mmask64 lf = _mm512_cmpeq_epi8_mask(v, lfs) & bytes;
        // What follows each byte: within the block, then the next block's
        // first byte; after the input's last, nothing yet, as if a CR.
        const unsigned next = n + Width;
        const unsigned long long after =
            next < count ? (input[next] == conversion::CR || input[next] == conversion::LF) : 1;
        const unsigned long long lastBit = count - n >= Width ? 63 : count - n - 1;
        const __mmask64 crOrLfAfter = ((cr | lf) >> 1) | after << lastBit;
        const __mmask64 kept = bytes & ~(cr & crOrLfAfter);
        const unsigned length = static_cast<unsigned>(_mm_popcnt_u64(kept));
        _mm512_mask_storeu_epi8(run.out, FirstBits(length), _mm512_maskz_compress_epi8(kept, map.Map(v)));
        run.out += length;
    }
    run.previous = input[count - 1];
    return run;
}

// How many bytes of input a text has: up to and with its first NUL, or all.
unsigned TextLength(const unsigned char* input, unsigned count)
{
    for (unsigned n = 0; n < count; n += Width) {
        const __mmask64 bytes = FirstBits(count - n);
        const __mmask64 nuls = _mm512_testn_epi8_mask(_mm512_maskz_loadu_epi8(bytes, input + n), Splat(0xFF)) & bytes;
        if (nuls != 0)
            return n + static_cast<unsigned>(__builtin_ctzll(nuls)) + 1;
    }
    return count;
}

template <conversion::KernelFunction Stream>
Run ConvertText(Run run, const unsigned char* input, unsigned count)
{
    return Stream(run, input, TextLength(input, count));
}

} // namespace

constexpr conversion::Kernel conversion::Avx512Kernel = {{
    {ConvertKeep<false>, ConvertAddCr, ConvertStripCr},
    {ConvertKeep<true>, ConvertText<ConvertAddCr>, ConvertText<ConvertStripCr>},
}};

#endif

// The SSE2 rows: four pixels per 16-byte load, compare, blend and store. A
// store puts back the value a byte already holds wherever the rules leave it
// alone, so the output is byte for byte what the plain rows give. Only this
// file is compiled with -msse2; the kernels call it only where the processor
// has SSE2.
//
// The loops are memory-bound only while the instructions per 16 bytes stay
// few: a shared core or a busy machine otherwise pushes them below memcpy.
// So each loop takes a 64-byte line per turn with all its loads first, and
// every blend is written in two-operand steps that need no register copies.
#include "rows.h"

#include <emmintrin.h>

// Runs pixels over whole groups of four, a 64-byte line per turn and then
// single groups; returns how many pixels it did. The constants travel as
// arguments so that one loop serves both kernels: Pixels is a template
// argument, so the compiler inlines it and nothing is called per pixel.
typedef __m128i (*PixelsProc)(__m128i source, __m128i current, __m128i first, __m128i second);

template <PixelsProc Pixels>
static inline int32_t RunGroups(const uint8_t *in, uint8_t *out, int32_t width, __m128i first,
                                __m128i second)
{
    int32_t column = 0;
    for (; column + 16 <= width; column += 16) {
        const __m128i *source = (const __m128i *)(in + 4 * column);
        __m128i *target = (__m128i *)(out + 4 * column);
        __m128i s0 = _mm_loadu_si128(source), s1 = _mm_loadu_si128(source + 1);
        __m128i s2 = _mm_loadu_si128(source + 2), s3 = _mm_loadu_si128(source + 3);
        __m128i c0 = _mm_loadu_si128(target), c1 = _mm_loadu_si128(target + 1);
        __m128i c2 = _mm_loadu_si128(target + 2), c3 = _mm_loadu_si128(target + 3);
        _mm_storeu_si128(target, Pixels(s0, c0, first, second));
        _mm_storeu_si128(target + 1, Pixels(s1, c1, first, second));
        _mm_storeu_si128(target + 2, Pixels(s2, c2, first, second));
        _mm_storeu_si128(target + 3, Pixels(s3, c3, first, second));
    }
    for (; column + 4 <= width; column += 4) {
        __m128i *target = (__m128i *)(out + 4 * column);
        __m128i source = _mm_loadu_si128((const __m128i *)(in + 4 * column));
        _mm_storeu_si128(target, Pixels(source, _mm_loadu_si128(target), first, second));
    }
    return column;
}

// kept: all ones where transparency > lastBelow. The result is
// fill ^ (kept & ((current | opaque) ^ fill)): current made opaque where
// kept, the fill colour (already opaque) elsewhere.
static inline __m128i ThresholdPixels(__m128i source, __m128i current, __m128i lastBelow,
                                      __m128i filled)
{
    const __m128i opaque = _mm_set1_epi32((int)0xFF000000u);
    __m128i kept = _mm_cmpgt_epi32(_mm_srli_epi32(source, 24), lastBelow);
    __m128i change = _mm_xor_si128(_mm_or_si128(current, opaque), filled);
    return _mm_xor_si128(filled, _mm_and_si128(kept, change));
}

void ThresholdRowSse2(const uint8_t *in, uint8_t *out, int32_t width, int32_t limit, uint32_t fill)
{
    // transparency < limit is transparency > limit - 1; clamping to 0..256
    // first keeps limit - 1 from overflowing and changes no comparison with
    // 0..255.
    const int32_t clamped = limit < 0 ? 0 : limit > 256 ? 256 : limit;
    const int32_t done = RunGroups<ThresholdPixels>(in, out, width, _mm_set1_epi32(clamped - 1),
                                                    _mm_set1_epi32((int)(fill | 0xFF000000u)));
    ThresholdRowPlain(in + 4 * done, out + 4 * done, width - done, limit, fill);
}

// Clears the transparency byte where the colour bytes equal the reference.
static inline __m128i CornerKeyPixels(__m128i source, __m128i current, __m128i wanted, __m128i)
{
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i transparency = _mm_set1_epi32((int)0xFF000000u);
    __m128i match = _mm_cmpeq_epi32(_mm_and_si128(source, colour), wanted);
    return _mm_andnot_si128(_mm_and_si128(match, transparency), current);
}

void CornerKeyRowSse2(const uint8_t *in, uint8_t *out, int32_t width, uint32_t reference)
{
    const int32_t done = RunGroups<CornerKeyPixels>(in, out, width, _mm_set1_epi32((int)reference),
                                                    _mm_setzero_si128());
    CornerKeyRowPlain(in + 4 * done, out + 4 * done, width - done, reference);
}

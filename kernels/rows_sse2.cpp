// The SSE2 rows: four pixels per 16-byte load, compare, blend and store. A
// store puts back the value a byte already holds wherever the rules leave it
// alone, so the output is byte for byte what the plain rows give. Only this
// file is compiled with -msse2; the kernels call it only where the processor
// has SSE2.
#include "rows.h"

#include <emmintrin.h>

void ThresholdRowSse2(const uint8_t *in, uint8_t *out, int32_t width, int32_t limit, uint32_t fill)
{
    const __m128i opaque = _mm_set1_epi32((int)0xFF000000u);
    const __m128i filled = _mm_set1_epi32((int)(fill | 0xFF000000u));
    const __m128i bound = _mm_set1_epi32(limit);
    int32_t column = 0;
    for (; column + 4 <= width; column += 4) {
        __m128i source = _mm_loadu_si128((const __m128i *)(in + 4 * column));
        __m128i current = _mm_loadu_si128((const __m128i *)(out + 4 * column));
        // Transparency as a signed 32-bit value 0..255, compared as the rule says.
        __m128i below = _mm_cmplt_epi32(_mm_srli_epi32(source, 24), bound);
        __m128i kept = _mm_or_si128(current, opaque);
        __m128i result = _mm_or_si128(_mm_and_si128(below, filled), _mm_andnot_si128(below, kept));
        _mm_storeu_si128((__m128i *)(out + 4 * column), result);
    }
    ThresholdRowPlain(in + 4 * column, out + 4 * column, width - column, limit, fill);
}

void CornerKeyRowSse2(const uint8_t *in, uint8_t *out, int32_t width, uint32_t reference)
{
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i transparency = _mm_set1_epi32((int)0xFF000000u);
    const __m128i wanted = _mm_set1_epi32((int)reference);
    int32_t column = 0;
    for (; column + 4 <= width; column += 4) {
        __m128i source = _mm_loadu_si128((const __m128i *)(in + 4 * column));
        __m128i current = _mm_loadu_si128((const __m128i *)(out + 4 * column));
        __m128i match = _mm_cmpeq_epi32(_mm_and_si128(source, colour), wanted);
        __m128i result = _mm_andnot_si128(_mm_and_si128(match, transparency), current);
        _mm_storeu_si128((__m128i *)(out + 4 * column), result);
    }
    CornerKeyRowPlain(in + 4 * column, out + 4 * column, width - column, reference);
}

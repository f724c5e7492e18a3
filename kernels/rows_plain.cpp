// The portable rows. They write only the bytes the rules change.
#include "rows.h"

#include <windows.h>

void ThresholdRowPlain(const uint8_t *in, uint8_t *out, int32_t width, int32_t limit, uint32_t fill)
{
    const uint8_t red = (uint8_t)fill, green = (uint8_t)(fill >> 8), blue = (uint8_t)(fill >> 16);
    for (int32_t column = 0; column < width; ++column, in += 4, out += 4) {
        if ((int32_t)in[3] < limit) {
            out[0] = red;
            out[1] = green;
            out[2] = blue;
        }
        out[3] = 255;
    }
}

void CornerKeyRowPlain(const uint8_t *in, uint8_t *out, int32_t width, uint32_t reference)
{
    const uint8_t red = (uint8_t)reference, green = (uint8_t)(reference >> 8),
                  blue = (uint8_t)(reference >> 16);
    for (int32_t column = 0; column < width; ++column, in += 4, out += 4) {
        if (in[0] == red && in[1] == green && in[2] == blue)
            out[3] = 0;
    }
}

bool KernelsHaveSse2(void)
{
    return IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0;
}

#include "kernels.h"
#include "rows.h"

int32_t threshold = 128;

OSErr ApplyThresholdKernel(FilterRecord *record)
{
    const int32_t width = record->imageSize.h;
    const int32_t height = record->imageSize.v;

    RequestWholeLayer(record);
    if (record->advanceState() != noErr)
        return memFullErr;

    const ThresholdRowProc row = KernelsHaveSse2() ? ThresholdRowSse2 : ThresholdRowPlain;
    const uint8_t *in = (const uint8_t *)record->inData;
    uint8_t *out = (uint8_t *)record->outData;
    const int32_t limit = threshold;
    // The low byte of each 16-bit component.
    const uint32_t fill = (uint32_t)(uint8_t)record->foreground.red |
                          (uint32_t)(uint8_t)record->foreground.green << 8 |
                          (uint32_t)(uint8_t)record->foreground.blue << 16;

    for (int32_t r = 0; r < height; ++r) {
        row(in, out, width, limit, fill);
        record->progressProc(r, height);
        in += record->inRowBytes;
        out += record->outRowBytes;
    }

    ReleaseLayer(record);
    return noErr;
}

#include "kernels.h"
#include "rows.h"

OSErr ApplyCornerKeyKernel(FilterRecord *record)
{
    const int32_t width = record->imageSize.h;
    const int32_t height = record->imageSize.v;

    RequestWholeLayer(record);
    if (record->advanceState() != noErr)
        return memFullErr;

    const CornerKeyRowProc row = KernelsHaveSse2() ? CornerKeyRowSse2 : CornerKeyRowPlain;
    const uint8_t *in = (const uint8_t *)record->inData;
    uint8_t *out = (uint8_t *)record->outData;
    // The reference comes from the output buffer, once, before any write.
    const uint32_t reference = (uint32_t)out[0] | (uint32_t)out[1] << 8 | (uint32_t)out[2] << 16;

    for (int32_t r = 0; r < height; ++r) {
        row(in, out, width, reference);
        record->progressProc(r, height);
        in += record->inRowBytes;
        out += record->outRowBytes;
    }

    ReleaseLayer(record);
    return noErr;
}

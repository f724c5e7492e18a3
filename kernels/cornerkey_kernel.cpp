#include "kernels.h"

OSErr ApplyCornerKeyKernel(FilterRecord *record)
{
    const int32_t width = record->imageSize.h;
    const int32_t height = record->imageSize.v;

    RequestWholeLayer(record);
    if (record->advanceState() != noErr)
        return memFullErr;

    const uint8_t *inRow = (const uint8_t *)record->inData;
    uint8_t *outRow = (uint8_t *)record->outData;
    const int32_t inStep = record->inRowBytes;
    const int32_t outStep = record->outRowBytes;

    // The reference comes from the output buffer, once, before any write.
    const uint8_t *corner = outRow;
    const uint8_t red = corner[0], green = corner[1], blue = corner[2];

    for (int32_t row = 0; row < height; ++row) {
        const uint8_t *in = inRow;
        uint8_t *out = outRow;
        for (int32_t column = 0; column < width; ++column, in += 4, out += 4) {
            if (in[0] == red && in[1] == green && in[2] == blue)
                out[3] = 0;
        }
        record->progressProc(row, height);
        inRow += inStep;
        outRow += outStep;
    }

    ReleaseLayer(record);
    return noErr;
}

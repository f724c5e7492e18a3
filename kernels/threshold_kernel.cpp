#include "kernels.h"

int32_t threshold = 128;

OSErr ApplyThresholdKernel(FilterRecord *record)
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
    const int32_t limit = threshold;
    const uint8_t red = (uint8_t)record->foreground.red;
    const uint8_t green = (uint8_t)record->foreground.green;
    const uint8_t blue = (uint8_t)record->foreground.blue;

    for (int32_t row = 0; row < height; ++row) {
        const uint8_t *in = inRow;
        uint8_t *out = outRow;
        for (int32_t column = 0; column < width; ++column, in += 4, out += 4) {
            if ((int32_t)in[3] < limit) {
                out[0] = red;
                out[1] = green;
                out[2] = blue;
            }
            out[3] = 255;
        }
        record->progressProc(row, height);
        inRow += inStep;
        outRow += outStep;
    }

    ReleaseLayer(record);
    return noErr;
}

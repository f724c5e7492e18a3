#include "kernels.h"

static void SetRect16(Rect *rect, int16_t top, int16_t left, int16_t bottom, int16_t right)
{
    rect->top = top;
    rect->left = left;
    rect->bottom = bottom;
    rect->right = right;
}

void RequestWholeLayer(FilterRecord *record)
{
    int16_t height = record->imageSize.v;
    int16_t width = record->imageSize.h;
    SetRect16(&record->inRect, 0, 0, height, width);
    SetRect16(&record->outRect, 0, 0, height, width);
    record->inLoPlane = 0;
    record->inHiPlane = 3;
    record->outLoPlane = 0;
    record->outHiPlane = 3;
    record->inputPadding = 0;
    record->outputPadding = 0;
    record->maskPadding = 0;
    record->inputRate = FIXED_ONE;
    record->maskRate = FIXED_ONE;
}

void ReleaseLayer(FilterRecord *record)
{
    SetRect16(&record->inRect, 0, 0, 0, 0);
    SetRect16(&record->outRect, 0, 0, 0, 0);
}

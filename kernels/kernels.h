// The per-pixel work of the two plug-ins over the whole layer.
#ifndef QUILLMERE_KERNELS_H
#define QUILLMERE_KERNELS_H

#include "frame/hostapi.h"

// The transparency threshold of the hard-edge filter: 128 at every load, set
// only by its dialog (1 to 254), read by its kernel.
extern int32_t threshold;

// Pixels with transparency below threshold take the host's foreground colour;
// every pixel becomes opaque. noErr, or memFullErr when the host cannot
// supply the pixels.
OSErr ApplyThresholdKernel(FilterRecord *record);

// Pixels whose colour equals the top-left pixel's become fully transparent.
OSErr ApplyCornerKeyKernel(FilterRecord *record);

// Shared by both kernels: ask the host for the whole layer, planes 0 to 3,
// at full rate and without padding, and tell it afterwards that no more is
// wanted.
void RequestWholeLayer(FilterRecord *record);
void ReleaseLayer(FilterRecord *record);

#endif

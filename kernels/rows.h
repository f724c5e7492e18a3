// One row of each kernel, in a plain form that runs on any i686 and an SSE2
// form chosen at run time. Internal to the kernels; the tests hold the two
// forms against each other.
#ifndef QUILLMERE_KERNEL_ROWS_H
#define QUILLMERE_KERNEL_ROWS_H

#include <stdint.h>

// fill is the packed pixel red | green << 8 | blue << 16.
typedef void (*ThresholdRowProc)(const uint8_t *in, uint8_t *out, int32_t width, int32_t limit,
                                 uint32_t fill);
// reference is the packed colour red | green << 8 | blue << 16.
typedef void (*CornerKeyRowProc)(const uint8_t *in, uint8_t *out, int32_t width,
                                 uint32_t reference);

void ThresholdRowPlain(const uint8_t *in, uint8_t *out, int32_t width, int32_t limit, uint32_t fill);
void ThresholdRowSse2(const uint8_t *in, uint8_t *out, int32_t width, int32_t limit, uint32_t fill);
void CornerKeyRowPlain(const uint8_t *in, uint8_t *out, int32_t width, uint32_t reference);
void CornerKeyRowSse2(const uint8_t *in, uint8_t *out, int32_t width, uint32_t reference);

// Whether this processor runs the SSE2 forms; asked once per run.
bool KernelsHaveSse2(void);

#endif

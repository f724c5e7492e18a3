// The plug-in frame: the exported entry, the attach/detach hook and the
// selector handlers, with the few things each plug-in supplies for itself in
// its product file.
#ifndef QUILLMERE_FRAME_H
#define QUILLMERE_FRAME_H

#include "frame/hostapi.h"

// ---- Supplied by each plug-in's product file ----

// The pixel work Start runs under the catch-all guard.
extern OSErr (*const productKernel)(FilterRecord *record);
// The question asked before every run, returning the dialog result (1 for
// OK); null for a plug-in that asks nothing.
extern INT_PTR (*const productAskParameters)(HWND owner);
// Process attach and detach beyond storing the module handle: the
// process-wide state and the window classes of this plug-in.
void ProductAttach(void);
void ProductDetach(void);

// ---- The frame's own ----

// Shift-JIS, 54 bytes: two line feeds and the Japanese text.
extern const char noTransparencyText[];

extern "C" void ENTRYPOINT(int16_t selector, void *paramBlock, intptr_t *data, int16_t *result);

void DoAbout(const AboutRecord *record);
void DoPrepare(FilterRecord *record);
OSErr DoStart(FilterRecord *record);

#endif

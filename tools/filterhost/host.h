// The host side of a filter run, as an image editor does it: the filter
// record, the pixel buffers and the two callbacks. Shared by filterhost and
// the tests, which observe what a plug-in asks of its host.
#ifndef QUILLMERE_HOST_H
#define QUILLMERE_HOST_H

#include "frame/hostapi.h"

#include <stdint.h>
#include <utility>
#include <vector>

struct HostLayer {
    int32_t width;
    int32_t height;
    int32_t planes;     // bytes per pixel, interleaved
    uint8_t *inBase;    // the layer as it was; the plug-in reads it
    int32_t inRowBytes;
    uint8_t *outBase;   // holds the current pixels and receives the result
    int32_t outRowBytes;
};

struct HostRun {
    FilterRecord *record;  // storage owned by the caller
    HostLayer layer;
    OSErr advanceAnswer;   // what advanceState answers when the request is sound
    int advanceCalls;
    std::vector<std::pair<int32_t, int32_t>> progress;
    void (*onProgress)(int32_t done, int32_t total);
    uint8_t errorText[256];
    PlatformData platform;
};

// Fills the record as a host does before Prepare and Start: sizes, planes,
// foreground, callbacks, platform data and the error-text buffer, and makes
// run the one the callbacks serve. The record's other bytes are left alone.
void HostBind(HostRun *run, HWND hostWindow, RGBColor foreground);

// The callbacks of the bound run.
OSErr HostAdvanceState(void);
void HostProgress(int32_t done, int32_t total);

// Loads a plug-in and finds its entry; null entry when either fails.
struct HostPlugin {
    HMODULE module;
    PluginEntryProc entry;
};
HostPlugin HostLoadPlugin(const char *path);

#endif

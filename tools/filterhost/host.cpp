#include "host.h"

#include <string.h>

static HostRun *boundRun;

void HostBind(HostRun *run, HWND hostWindow, RGBColor foreground)
{
    FilterRecord *record = run->record;
    boundRun = run;
    run->advanceCalls = 0;
    run->progress.clear();
    memset(run->errorText, 0, sizeof run->errorText);
    run->platform.hwnd = hostWindow;

    record->imageSize.v = (int16_t)run->layer.height;
    record->imageSize.h = (int16_t)run->layer.width;
    record->planes = (int16_t)run->layer.planes;
    record->filterRect.top = 0;
    record->filterRect.left = 0;
    record->filterRect.bottom = (int16_t)run->layer.height;
    record->filterRect.right = (int16_t)run->layer.width;
    record->foreground = foreground;
    record->background.red = record->background.green = record->background.blue = 0xFFFF;
    record->progressProc = HostProgress;
    record->advanceState = HostAdvanceState;
    record->platformData = &run->platform;
    record->errorString = run->errorText;
    record->wholeSize = record->imageSize;
    record->hostSig = 0x51484F53;  // 'QHOS'
}

static bool RectInside(const Rect &rect, const HostLayer &layer)
{
    return rect.top >= 0 && rect.left >= 0 && rect.top <= rect.bottom && rect.left <= rect.right &&
           rect.bottom <= layer.height && rect.right <= layer.width;
}

static bool RectEmpty(const Rect &rect)
{
    return rect.top == rect.bottom || rect.left == rect.right;
}

static bool PlanesInside(int16_t lo, int16_t hi, const HostLayer &layer)
{
    return lo >= 0 && lo <= hi && hi < layer.planes;
}

// Hands over the requested part of the layer. A request that does not fit
// the layer is refused as a host refuses it, with an error and no data.
OSErr HostAdvanceState(void)
{
    HostRun *run = boundRun;
    FilterRecord *record = run->record;
    const HostLayer &layer = run->layer;
    ++run->advanceCalls;

    record->inData = NULL;
    record->outData = NULL;
    if (!RectInside(record->inRect, layer) || !RectInside(record->outRect, layer))
        return -50;  // paramErr
    if (!RectEmpty(record->inRect) && !PlanesInside(record->inLoPlane, record->inHiPlane, layer))
        return -50;
    if (!RectEmpty(record->outRect) && !PlanesInside(record->outLoPlane, record->outHiPlane, layer))
        return -50;
    if (run->advanceAnswer != noErr)
        return run->advanceAnswer;

    if (!RectEmpty(record->inRect)) {
        record->inData = layer.inBase + record->inRect.top * layer.inRowBytes +
                         record->inRect.left * layer.planes + record->inLoPlane;
        record->inRowBytes = layer.inRowBytes;
    }
    if (!RectEmpty(record->outRect)) {
        record->outData = layer.outBase + record->outRect.top * layer.outRowBytes +
                          record->outRect.left * layer.planes + record->outLoPlane;
        record->outRowBytes = layer.outRowBytes;
    }
    return noErr;
}

void HostProgress(int32_t done, int32_t total)
{
    HostRun *run = boundRun;
    run->progress.push_back(std::make_pair(done, total));
    if (run->onProgress)
        run->onProgress(done, total);
}

HostPlugin HostLoadPlugin(const char *path)
{
    HostPlugin plugin = {LoadLibraryA(path), NULL};
    if (plugin.module)
        plugin.entry = (PluginEntryProc)(void *)GetProcAddress(plugin.module, "ENTRYPOINT");
    return plugin;
}

// What the plug-ins do for the selectors they act on.
#include "about/about.h"
#include "frame/frame.h"
#include "winutil/winutil.h"

#include <string.h>

const char noTransparencyText[] = "\n\n画像に透明領域が無いか、レイヤ状態になっていません。";
static_assert(sizeof noTransparencyText - 1 == 54, "the error text is 54 Shift-JIS bytes");

// A host that passes no platform data gets windows without an owner rather
// than a crash.
static HWND HostWindow(const PlatformData *platform)
{
    return platform ? platform->hwnd : NULL;
}

void DoAbout(const AboutRecord *record)
{
    ShowAboutBox(record ? HostWindow(record->platformData) : NULL);
}

void DoPrepare(FilterRecord *record)
{
    // The whole layer, once as four input planes and once as four output
    // planes. Layers above 2^28 - 1 pixels would overflow the signed 32-bit
    // field, so the budget is clamped to its largest value (and to 0 for a
    // nonsensical negative size).
    int64_t bytes = (int64_t)record->imageSize.h * record->imageSize.v * 8;
    if (bytes > INT32_MAX)
        bytes = INT32_MAX;
    if (bytes < 0)
        bytes = 0;
    record->maxSpace = (int32_t)bytes;
    record->supportsDummyChannels = 1;
}

static void ReportText(FilterRecord *record, const char *text)
{
    if (!record->errorString)
        return;
    size_t length = strlen(text);
    record->errorString[0] = (uint8_t)length;
    memcpy(record->errorString + 1, text, length + 1);
}

struct KernelRun {
    FilterRecord *record;
    OSErr result;
};

static void RunKernel(void *context)
{
    KernelRun *run = (KernelRun *)context;
    run->result = productKernel(run->record);
}

OSErr DoStart(FilterRecord *record)
{
    if (productAskParameters && productAskParameters(HostWindow(record->platformData)) != IDOK)
        return userCanceledErr;

    if (record->planes < 4) {
        ReportText(record, noTransparencyText);
        return errReportString;
    }

    KernelRun run = {record, noErr};
    if (!RunGuarded(RunKernel, &run))
        return memFullErr;
    return run.result;
}

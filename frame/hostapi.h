// The host side of the filter plug-in interface (4.0 record layout), as far
// as the plug-ins and our own host use it. On 32-bit Windows, where the
// plug-ins live, records are packed to 4 bytes with 4-byte pointers, and every
// field that code touches is pinned to the offset hosts in the field use. The
// 64-bit test build compiles the same declarations for host and plug-in alike.
#ifndef QUILLMERE_HOSTAPI_H
#define QUILLMERE_HOSTAPI_H

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

typedef int16_t OSErr;
typedef int32_t Fixed;  // 16.16

// Selectors, taken as signed 16-bit values.
enum {
    filterSelectorAbout = 0,
    filterSelectorParameters = 1,
    filterSelectorPrepare = 2,
    filterSelectorStart = 3,
    filterSelectorContinue = 4,
    filterSelectorFinish = 5,
};

// Result codes written through the entry's result pointer.
enum {
    noErr = 0,
    memFullErr = -108,
    userCanceledErr = -128,
    errReportString = -30904,
};

#define FIXED_ONE 0x00010000

typedef OSErr (*AdvanceStateProc)(void);
typedef void (*ProgressProc)(int32_t done, int32_t total);

#pragma pack(push, 4)

typedef struct Point {
    int16_t v;  // rows
    int16_t h;  // columns
} Point;

typedef struct Rect {
    int16_t top, left, bottom, right;
} Rect;

typedef struct RGBColor {
    uint16_t red, green, blue;
} RGBColor;

typedef struct PlatformData {
    HWND hwnd;  // the host's window
} PlatformData;

typedef struct AboutRecord {
    PlatformData *platformData;
    // The host allocates more; the plug-ins read only the first field.
} AboutRecord;

typedef struct FilterRecord {
    int32_t serialNumber;
    void *abortProc;
    ProgressProc progressProc;
    void *parameters;
    Point imageSize;
    int16_t planes;
    Rect filterRect;
    RGBColor background;
    RGBColor foreground;
    int32_t maxSpace;
    int32_t bufferSpace;
    Rect inRect;
    int16_t inLoPlane, inHiPlane;
    Rect outRect;
    int16_t outLoPlane, outHiPlane;
    void *inData;
    int32_t inRowBytes;
    void *outData;
    int32_t outRowBytes;
    uint8_t isFloating, haveMask, autoMask;
    Rect maskRect;
    void *maskData;
    int32_t maskRowBytes;
    uint8_t backColor[4];
    uint8_t foreColor[4];
    uint32_t hostSig;
    void *hostProcs;
    int16_t imageMode;
    Fixed imageHRes;
    Fixed imageVRes;
    Point floatCoord;
    Point wholeSize;
    Fixed monitor[10];
    PlatformData *platformData;
    void *bufferProcs;
    void *resourceProcs;
    void *processEvent;
    void *displayPixels;
    void *handleProcs;
    uint8_t supportsDummyChannels;
    uint8_t supportsAlternateLayouts;
    int16_t wantLayout;
    int16_t filterCase;
    int16_t dummyPlaneValue;
    void *premiereHook;
    AdvanceStateProc advanceState;
    uint8_t supportsAbsolute, wantsAbsolute;
    void *getPropertyObsolete;
    uint8_t cannotUndo, supportsPadding;
    int16_t inputPadding, outputPadding, maskPadding;
    uint8_t samplingSupport, reservedByte;
    Fixed inputRate;
    Fixed maskRate;
    void *colorServices;
    uint8_t unusedBlock[96];  // fields of later layouts that we never touch
    void *descriptorParameters;
    uint8_t *errorString;  // a 256-byte buffer: length byte, then the text
    void *channelPortProcs;
    void *documentInfo;
} FilterRecord;

#pragma pack(pop)

#define HOSTAPI_AT(type, field, offset) \
    static_assert(offsetof(type, field) == (offset), #type "." #field " must sit at " #offset)

#if defined(__i386__)
HOSTAPI_AT(AboutRecord, platformData, 0);
HOSTAPI_AT(PlatformData, hwnd, 0);
HOSTAPI_AT(FilterRecord, progressProc, 8);
HOSTAPI_AT(FilterRecord, imageSize, 16);
HOSTAPI_AT(FilterRecord, planes, 20);
HOSTAPI_AT(FilterRecord, filterRect, 22);
HOSTAPI_AT(FilterRecord, foreground, 36);
HOSTAPI_AT(FilterRecord, maxSpace, 44);
HOSTAPI_AT(FilterRecord, inRect, 52);
HOSTAPI_AT(FilterRecord, inLoPlane, 60);
HOSTAPI_AT(FilterRecord, inHiPlane, 62);
HOSTAPI_AT(FilterRecord, outRect, 64);
HOSTAPI_AT(FilterRecord, outLoPlane, 72);
HOSTAPI_AT(FilterRecord, outHiPlane, 74);
HOSTAPI_AT(FilterRecord, inData, 76);
HOSTAPI_AT(FilterRecord, inRowBytes, 80);
HOSTAPI_AT(FilterRecord, outData, 84);
HOSTAPI_AT(FilterRecord, outRowBytes, 88);
HOSTAPI_AT(FilterRecord, haveMask, 93);
HOSTAPI_AT(FilterRecord, maskRect, 96);
HOSTAPI_AT(FilterRecord, hostSig, 120);
HOSTAPI_AT(FilterRecord, imageMode, 128);
HOSTAPI_AT(FilterRecord, wholeSize, 144);
HOSTAPI_AT(FilterRecord, platformData, 188);
HOSTAPI_AT(FilterRecord, supportsDummyChannels, 212);
HOSTAPI_AT(FilterRecord, filterCase, 216);
HOSTAPI_AT(FilterRecord, advanceState, 224);
HOSTAPI_AT(FilterRecord, inputPadding, 238);
HOSTAPI_AT(FilterRecord, outputPadding, 240);
HOSTAPI_AT(FilterRecord, maskPadding, 242);
HOSTAPI_AT(FilterRecord, inputRate, 248);
HOSTAPI_AT(FilterRecord, maskRate, 252);
HOSTAPI_AT(FilterRecord, colorServices, 256);
HOSTAPI_AT(FilterRecord, descriptorParameters, 356);
HOSTAPI_AT(FilterRecord, errorString, 360);
HOSTAPI_AT(FilterRecord, documentInfo, 368);
#endif

// The one export of every plug-in: cdecl, undecorated.
typedef void (*PluginEntryProc)(int16_t selector, void *paramBlock, intptr_t *data,
                                int16_t *result);

#endif

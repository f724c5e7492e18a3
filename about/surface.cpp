// Off-screen 24-bit surfaces and the one pixel operation of the About face:
// a colour-keyed copy or percentage blend straight on DIB section memory.
#include "about/about.h"
#include "winutil/winutil.h"

#include <string.h>

static void FillDibHeader(BITMAPINFOHEADER *header, int32_t width, int32_t height)
{
    memset(header, 0, sizeof *header);
    header->biSize = sizeof *header;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
}

HBITMAP CreateDibBottomUp(int32_t width, int32_t height, void **bitsOut)
{
    HDC dc = CreateCompatibleDC(NULL);
    BITMAPINFOHEADER header;
    FillDibHeader(&header, width, height);
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, (BITMAPINFO *)&header, DIB_RGB_COLORS, &bits, NULL, 0);
    if (bitmap && bitsOut)
        *bitsOut = bits;
    if (dc)
        DeleteDC(dc);
    return bitmap;
}

HBITMAP CreateDibTopDown(HDC dc, int32_t width, int32_t height, void **bitsOut)
{
    BITMAPINFOHEADER header;
    FillDibHeader(&header, width, -height);
    return CreateDIBSection(dc, (BITMAPINFO *)&header, DIB_RGB_COLORS, bitsOut, NULL, 0);
}

HDC CreateSurfaceDC(int32_t width, int32_t height)
{
    HDC dc = CreateCompatibleDC(NULL);
    // The saved state is what lets DestroySurfaceDC put the DC's own 1x1
    // bitmap back before the section goes.
    SaveDC(dc);
    void *bits;
    HBITMAP bitmap = CreateDibTopDown(dc, width, height, &bits);
    if (bitmap)
        SelectObject(dc, bitmap);
    return dc;
}

HBITMAP GetSurfaceBitmap(HDC dc)
{
    return (HBITMAP)GetCurrentObject(dc, OBJ_BITMAP);
}

void DestroySurfaceDC(HDC dc)
{
    HBITMAP bitmap = GetSurfaceBitmap(dc);
    RestoreDC(dc, -1);
    DeleteDC(dc);
    // When the section could not be made this is the DC's stock 1x1 bitmap,
    // which DeleteObject leaves alone.
    DeleteObject(bitmap);
}

void *GetDibBits(HBITMAP bitmap)
{
    BITMAP info;
    memset(&info, 0, sizeof info);
    GetObjectA(bitmap, sizeof info, &info);
    return info.bmBits;
}

int GetDibHeader(HBITMAP bitmap, BITMAPINFOHEADER *header)
{
    DIBSECTION section;
    memset(&section, 0, sizeof section);
    if (!GetObjectA(bitmap, sizeof section, &section))
        return 0;
    memcpy(header, &section.dsBmih, sizeof *header);
    return 1;
}

uint32_t DibColourCount(const BITMAPINFOHEADER *header)
{
    if (header->biClrUsed)
        return header->biClrUsed;
    if (header->biBitCount <= 8)
        return 1u << header->biBitCount;
    return 0;
}

const uint8_t *PackedDibBits(const BITMAPINFOHEADER *header)
{
    return (const uint8_t *)header + header->biSize + 4 * DibColourCount(header);
}

namespace {

// Where the rows of both pictures start and how far apart they lie.
struct BlendRows {
    const uint8_t *source;
    intptr_t sourceStep;
    const uint8_t *palette;  // colour table of an 8-bit source, else null
    uint8_t *destination;
    intptr_t destinationStep;
};

int ReadDestination(HBITMAP destination, BITMAP *info)
{
    memset(info, 0, sizeof *info);
    return GetObjectA(destination, sizeof *info, info) != 0;
}

void LocateRows(const BITMAP &target, int32_t dx, int32_t dy, const BITMAPINFOHEADER *header,
                const void *bits, int32_t sx, int32_t sy, BlendRows *rows)
{
    const int eightBit = header->biBitCount == 8;
    const intptr_t stride = (((intptr_t)header->biWidth * header->biBitCount + 31) / 32) * 4;
    const uint8_t *start = (const uint8_t *)bits + (eightBit ? sx : 3 * (intptr_t)sx);
    // Source rows count from the top whatever the orientation; one signed
    // step lets both orientations share the loops.
    if (header->biHeight > 0) {
        start += (intptr_t)(header->biHeight - sy - 1) * stride;
        rows->sourceStep = -stride;
    } else {
        start += (intptr_t)sy * stride;
        rows->sourceStep = stride;
    }
    rows->source = start;
    rows->palette = eightBit ? (const uint8_t *)header + header->biSize : NULL;
    rows->destination = (uint8_t *)target.bmBits + (intptr_t)dy * target.bmWidthBytes + 3 * (intptr_t)dx;
    rows->destinationStep = target.bmWidthBytes;
}

inline uint32_t Packed(const uint8_t *bgr)
{
    return ((uint32_t)bgr[2] << 16) | ((uint32_t)bgr[1] << 8) | bgr[0];
}

}  // namespace

int CopyDibKeyed(HBITMAP destination, int32_t dx, int32_t dy, int32_t width, int32_t height,
                 const BITMAPINFOHEADER *header, const void *bits, int32_t sx, int32_t sy,
                 uint32_t key)
{
    if (width == 0 || height == 0)
        return 0;
    BITMAP target;
    if (!ReadDestination(destination, &target))
        return 0;
    BlendRows rows;
    LocateRows(target, dx, dy, header, bits, sx, sy, &rows);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t *in = rows.source;
        uint8_t *out = rows.destination;
        for (int32_t x = 0; x < width; ++x, out += 3) {
            const uint8_t *colour = rows.palette ? rows.palette + 4 * in[x] : in + 3 * x;
            if (Packed(colour) == key)
                continue;
            out[0] = colour[0];
            out[1] = colour[1];
            out[2] = colour[2];
        }
        rows.source += rows.sourceStep;
        rows.destination += rows.destinationStep;
    }
    return 1;
}

int BlendDibPercent(HBITMAP destination, int32_t dx, int32_t dy, int32_t width, int32_t height,
                    const BITMAPINFOHEADER *header, const void *bits, int32_t sx, int32_t sy,
                    uint32_t key, uint32_t percent)
{
    if (percent == 0)
        return CopyDibKeyed(destination, dx, dy, width, height, header, bits, sx, sy, key);
    if (width == 0 || height == 0)
        return 0;
    BITMAP target;
    if (!ReadDestination(destination, &target))
        return 0;
    BlendRows rows;
    LocateRows(target, dx, dy, header, bits, sx, sy, &rows);
    const uint16_t keep = (uint16_t)percent, take = (uint16_t)(100 - percent);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t *in = rows.source;
        uint8_t *out = rows.destination;
        for (int32_t x = 0; x < width; ++x, out += 3) {
            const uint8_t *colour = rows.palette ? rows.palette + 4 * in[x] : in + 3 * x;
            if (Packed(colour) == key)
                continue;
            // Each share truncates on its own, so 255 over 255 at 50 % is 254.
            for (int c = 0; c < 3; ++c)
                out[c] = (uint8_t)((uint16_t)(colour[c] * take) / 100 + (uint16_t)(out[c] * keep) / 100);
        }
        rows.source += rows.sourceStep;
        rows.destination += rows.destinationStep;
    }
    return 1;
}

namespace {

struct BlendCall {
    HBITMAP destination;
    int32_t dx, dy, width, height;
    const BITMAPINFOHEADER *header;
    const void *bits;
    int32_t sx, sy;
    uint32_t key, percent;
};

void RunBlend(void *context)
{
    const BlendCall &c = *(const BlendCall *)context;
    BlendDibPercent(c.destination, c.dx, c.dy, c.width, c.height, c.header, c.bits, c.sx, c.sy,
                    c.key, c.percent);
}

}  // namespace

int BlendDib(HBITMAP destination, int32_t dx, int32_t dy, int32_t width, int32_t height,
             const BITMAPINFOHEADER *header, const void *bits, int32_t sx, int32_t sy,
             uint32_t key, uint32_t percent, int fit)
{
    BITMAP target;
    if (!ReadDestination(destination, &target))
        return 0;
    BlendCall call = {destination, dx, dy, width, height, header, bits, sx, sy, key, percent};
    // Reading the header is part of the guarded work too: a bad header
    // pointer must not end the host.
    struct Prepare {
        BlendCall *call;
        const BITMAP *target;
        int fit;
    } prepare = {&call, &target, fit};
    int ok = RunGuarded(
        [](void *context) {
            Prepare &p = *(Prepare *)context;
            BlendCall &c = *p.call;
            if (!c.bits)
                c.bits = PackedDibBits(c.header);
            if (p.fit) {
                const int32_t sourceWidth = c.header->biWidth;
                const int32_t sourceHeight = c.header->biHeight < 0 ? -c.header->biHeight : c.header->biHeight;
                if (c.sx > sourceWidth) c.sx = sourceWidth;
                if (c.sy > sourceHeight) c.sy = sourceHeight;
                if (c.sx + c.width > sourceWidth) c.width = sourceWidth - c.sx;
                if (c.sy + c.height > sourceHeight) c.height = sourceHeight - c.sy;
                if (c.dx > p.target->bmWidth) c.dx = p.target->bmWidth;
                if (c.dy > p.target->bmHeight) c.dy = p.target->bmHeight;
                if (c.dx + c.width > p.target->bmWidth) c.width = p.target->bmWidth - c.dx;
                if (c.dy + c.height > p.target->bmHeight) c.height = p.target->bmHeight - c.dy;
            }
            if (c.percent > 100)
                c.percent = 100;
            RunBlend(&c);
        },
        &prepare);
    return ok;
}

void DrawAboutPicture(HDC dc)
{
    const BITMAPINFOHEADER *header = (const BITMAPINFOHEADER *)aboutPicture;
    SetDIBitsToDevice(dc, 0, 0, header->biWidth, header->biHeight, 0, 0, 0, header->biHeight,
                      PackedDibBits(header), (const BITMAPINFO *)header, DIB_RGB_COLORS);
}

// The off-screen surfaces and the keyed blend of the About face.
#include "about/about.h"
#include "objectcount.h"
#include "testhost.h"

#include <gtest/gtest.h>

#include <string.h>
#include <vector>

namespace {

const uint32_t key = ABOUT_KEY_COLOUR;

// A 24-bit top-down destination every pixel of which starts as one colour.
struct Destination {
    HBITMAP bitmap;
    uint8_t *bits = nullptr;
    int stride;
    Destination(int width, int height, uint8_t b, uint8_t g, uint8_t r)
    {
        HDC dc = CreateCompatibleDC(NULL);
        bitmap = CreateDibTopDown(dc, width, height, (void **)&bits);
        DeleteDC(dc);
        stride = (width * 3 + 3) & ~3;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                Set(x, y, b, g, r);
    }
    ~Destination() { DeleteObject(bitmap); }
    uint8_t *At(int x, int y) { return bits + y * stride + 3 * x; }
    void Set(int x, int y, uint8_t b, uint8_t g, uint8_t r)
    {
        At(x, y)[0] = b, At(x, y)[1] = g, At(x, y)[2] = r;
    }
    std::vector<uint8_t> Snapshot(int height) { return std::vector<uint8_t>(bits, bits + height * stride); }
};

// A source picture in memory: a header, an optional colour table and bits.
struct Source {
    std::vector<uint8_t> memory;
    BITMAPINFOHEADER *header() { return (BITMAPINFOHEADER *)memory.data(); }
    uint8_t *bits() { return PackedDibBitsMutable(); }
    uint8_t *PackedDibBitsMutable() { return (uint8_t *)PackedDibBits(header()); }
    int stride() { return ((header()->biWidth * header()->biBitCount + 31) / 32) * 4; }
    Source(int width, int height, int bitCount, int colours = 0)
    {
        int rows = height < 0 ? -height : height;
        int stride = ((width * bitCount + 31) / 32) * 4;
        memory.assign(40 + 4 * colours + stride * rows, 0);
        BITMAPINFOHEADER *h = header();
        h->biSize = 40, h->biWidth = width, h->biHeight = height, h->biPlanes = 1;
        h->biBitCount = (WORD)bitCount, h->biClrUsed = colours;
    }
    // Row y counted from the top of the picture, whatever its orientation.
    uint8_t *Row(int y)
    {
        int rows = header()->biHeight < 0 ? -header()->biHeight : header()->biHeight;
        return bits() + (header()->biHeight > 0 ? rows - 1 - y : y) * stride();
    }
    void Set24(int x, int y, uint32_t rgb)
    {
        uint8_t *p = Row(y) + 3 * x;
        p[0] = rgb & 0xFF, p[1] = (rgb >> 8) & 0xFF, p[2] = (rgb >> 16) & 0xFF;
    }
    void SetEntry(int index, uint32_t rgb, uint8_t reserved)
    {
        uint8_t *e = memory.data() + 40 + 4 * index;
        e[0] = rgb & 0xFF, e[1] = (rgb >> 8) & 0xFF, e[2] = (rgb >> 16) & 0xFF, e[3] = reserved;
    }
};

uint32_t PixelOf(Destination &d, int x, int y)
{
    const uint8_t *p = d.At(x, y);
    return ((uint32_t)p[2] << 16) | ((uint32_t)p[1] << 8) | p[0];
}

TEST(BlendDib, OnePixelArithmetic)
{
    const struct {
        const char *name;
        uint32_t source, destination, percent, expected;
    } cases[] = {
        {"percent 0 copies", 0x123456, 0xABCDEF, 0, 0x123456},
        {"percent 100 keeps", 0x123456, 0xABCDEF, 100, 0xABCDEF},
        {"percent 150 is 100", 0x123456, 0xABCDEF, 150, 0xABCDEF},
        {"percent 4294967295 is 100", 0x123456, 0xABCDEF, 4294967295u, 0xABCDEF},
        {"50: 255 over 255 is 254", 0xFFFFFF, 0xFFFFFF, 50, 0xFEFEFE},
        {"50: 255 over 0 is 127", 0xFFFFFF, 0x000000, 50, 0x7F7F7F},
        {"30: 200 over 100 is 170", 0xC8C8C8, 0x646464, 30, 0xAAAAAA},
        {"key skipped, copy", key, 0x102030, 0, 0x102030},
        {"key skipped, blend", key, 0x102030, 50, 0x102030},
        {"white is not the key", 0xFFFFFF, 0x000000, 0, 0xFFFFFF},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (int bitCount : {24, 8}) {
            SCOPED_TRACE(bitCount);
            Destination d(4, 3, (uint8_t)c.destination, (uint8_t)(c.destination >> 8),
                          (uint8_t)(c.destination >> 16));
            Source s(2, 2, bitCount, bitCount == 8 ? 2 : 0);
            if (bitCount == 8) {
                // The reserved byte of an entry takes no part in the key test.
                s.SetEntry(1, c.source, 0x5A);
                s.Row(1)[1] = 1;
            } else {
                s.Set24(1, 1, c.source);
            }
            EXPECT_EQ(1, BlendDib(d.bitmap, 2, 1, 1, 1, s.header(), s.bits(), 1, 1, key, c.percent, 0));
            EXPECT_EQ(c.expected, PixelOf(d, 2, 1));
            EXPECT_EQ(c.destination, PixelOf(d, 1, 1)) << "a neighbour changed";
            EXPECT_EQ(c.destination, PixelOf(d, 3, 1)) << "a neighbour changed";
        }
    }
}

TEST(BlendDib, ReadsRowsFromTheTopInBothOrientations)
{
    for (int height : {3, -3}) {
        SCOPED_TRACE(height);
        Source s(2, height, 24);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 2; ++x)
                s.Set24(x, y, 0x010000 * (y + 1) + x);
        Destination d(2, 3, 0, 0, 0);
        // Null bits: the source is read as a packed DIB.
        EXPECT_EQ(1, BlendDib(d.bitmap, 0, 0, 2, 2, s.header(), nullptr, 0, 1, key, 0, 0));
        EXPECT_EQ(0x020000u, PixelOf(d, 0, 0));
        EXPECT_EQ(0x020001u, PixelOf(d, 1, 0));
        EXPECT_EQ(0x030000u, PixelOf(d, 0, 1));
        EXPECT_EQ(0u, PixelOf(d, 0, 2));
    }
}

TEST(BlendDib, CasesThatWriteNothing)
{
    Source s(280, 150, 24);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 280; ++x)
            s.Set24(x, y, 0x808080);
    const struct {
        const char *name;
        int32_t dx, dy, width, height, sx, sy;
        int fit;
        int expected;
    } cases[] = {
        {"fit with sx 300 on 280 columns", 0, 0, 10, 10, 300, 0, 1, 1},
        {"fit with sy past the bottom", 0, 0, 10, 10, 0, 151, 1, 1},
        {"fit with dx past the destination", 40, 0, 10, 10, 0, 0, 1, 1},
        {"zero width", 0, 0, 0, 10, 0, 0, 0, 1},
        {"zero height", 0, 0, 10, 0, 0, 0, 0, 1},
    };
    for (const auto &c : cases) {
        for (uint32_t percent : {0u, 50u}) {
            SCOPED_TRACE(testing::Message() << c.name << ", percent " << percent);
            Destination d(40, 20, 1, 2, 3);
            auto before = d.Snapshot(20);
            EXPECT_EQ(c.expected, BlendDib(d.bitmap, c.dx, c.dy, c.width, c.height, s.header(),
                                           s.bits(), c.sx, c.sy, key, percent, c.fit));
            EXPECT_TRUE(before == d.Snapshot(20));
        }
    }
}

TEST(BlendDib, FitClipsToBothPictures)
{
    Source s(10, 10, 24);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            s.Set24(x, y, 0x00FF00);
    Destination d(8, 8, 0, 0, 0);
    EXPECT_EQ(1, BlendDib(d.bitmap, 5, 6, 100, 100, s.header(), s.bits(), 2, 3, key, 0, 1));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(x >= 5 && y >= 6 ? 0x00FF00u : 0u, PixelOf(d, x, y)) << x << "," << y;
}

TEST(BlendDib, NotABitmapOrAFaultGivesZero)
{
    Source s(4, 4, 24);
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_EQ(0, BlendDib((HBITMAP)brush, 0, 0, 1, 1, s.header(), s.bits(), 0, 0, key, 0, 0));
    DeleteObject(brush);

    Destination d(4, 4, 9, 9, 9);
    NoAccessPages guard(4096);
    // Header fine, bits unreadable: the first read faults, inside the guard.
    for (uint32_t percent : {0u, 50u}) {
        EXPECT_EQ(0, BlendDib(d.bitmap, 0, 0, 2, 2, s.header(), guard.base, 0, 0, key, percent, 0));
        EXPECT_EQ(0x090909u, PixelOf(d, 0, 0));
    }
    // An unreadable header faults inside the guard too.
    EXPECT_EQ(0, BlendDib(d.bitmap, 0, 0, 2, 2, (const BITMAPINFOHEADER *)guard.base, nullptr, 0, 0,
                          key, 0, 0));
}

TEST(Surfaces, HeadersBitsAndOwnership)
{
    void *bits = (void *)1;
    HBITMAP bottomUp = CreateDibBottomUp(280, 150, &bits);
    ASSERT_TRUE(bottomUp);
    EXPECT_EQ(bits, GetDibBits(bottomUp));
    BITMAPINFOHEADER header;
    ASSERT_EQ(1, GetDibHeader(bottomUp, &header));
    EXPECT_EQ(280, header.biWidth);
    EXPECT_EQ(150, header.biHeight);
    EXPECT_EQ(24, header.biBitCount);
    EXPECT_EQ(0u, header.biCompression);
    DeleteObject(bottomUp);

    void *untouched = (void *)1;
    EXPECT_EQ(nullptr, CreateDibBottomUp(-5, 0, &untouched));
    EXPECT_EQ((void *)1, untouched);
    memset(&header, 0x11, sizeof header);
    EXPECT_EQ(0, GetDibHeader(NULL, &header));
    EXPECT_EQ(0x11111111u, header.biSize);

    HDC surface = CreateSurfaceDC(280, 150);
    HBITMAP section = GetSurfaceBitmap(surface);
    ASSERT_EQ(1, GetDibHeader(section, &header));
    EXPECT_EQ(280, header.biWidth);
    EXPECT_EQ(24, header.biBitCount);
    EXPECT_TRUE(GetDibBits(section));
    DestroySurfaceDC(surface);
    EXPECT_EQ(0, GetObjectType(section)) << "the section went with its DC";
}

TEST(Surfaces, MakingAndDestroyingLeavesTheGdiCount)
{
    const int start = CountGdiObjects();
    ASSERT_GT(start, 0);
    // The counter sees an object made here before it is trusted to see none.
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(start + 1, CountGdiObjects());
    DeleteObject(brush);
    EXPECT_EQ(start, CountGdiObjects());

    for (int i = 0; i < 20; ++i) {
        HDC surface = CreateSurfaceDC(280, 150);
        HDC empty = CreateSurfaceDC(0, 0);  // no section: only the DC to delete
        HBITMAP bottomUp = CreateDibBottomUp(280, 150, nullptr);
        EXPECT_GE(CountGdiObjects(), start + 3);
        DeleteObject(bottomUp);
        DestroySurfaceDC(empty);
        DestroySurfaceDC(surface);
    }
    EXPECT_EQ(start, CountGdiObjects());
}

TEST(AboutPicture, HeaderAndContents)
{
    const BITMAPINFOHEADER *h = (const BITMAPINFOHEADER *)aboutPicture;
    EXPECT_EQ(40u, h->biSize);
    EXPECT_EQ(280, h->biWidth);
    EXPECT_EQ(150, h->biHeight);
    EXPECT_EQ(8, h->biBitCount);
    EXPECT_EQ((DWORD)BI_RLE8, h->biCompression);
    EXPECT_EQ(128u, h->biClrUsed);
    EXPECT_EQ(aboutPictureSize, 40 + 512 + h->biSizeImage);
    const uint8_t *bits = PackedDibBits(h);
    EXPECT_EQ(0, bits[h->biSizeImage - 2]);
    EXPECT_EQ(1, bits[h->biSizeImage - 1]) << "ends with the end-of-bitmap code";
    const RGBQUAD *table = (const RGBQUAD *)(aboutPicture + 40);
    EXPECT_EQ(0xFFFFFFu, *(const uint32_t *)&table[0] & 0xFFFFFF);
    EXPECT_EQ(0u, *(const uint32_t *)&table[127] & 0xFFFFFF);
    for (int i = 0; i < 128; ++i)
        EXPECT_NE(key, *(const uint32_t *)&table[i] & 0xFFFFFF) << i;

    // Drawn through GDI: white outside the logo's area, some ink inside it.
    HDC surface = CreateSurfaceDC(280, 150);
    DrawAboutPicture(surface);
    GdiFlush();
    const uint8_t *pixels = (const uint8_t *)GetDibBits(GetSurfaceBitmap(surface));
    int inked = 0, strays = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 280; ++x) {
            const uint8_t *p = pixels + y * 840 + 3 * x;
            bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
            bool inside = x >= 6 && x <= 122 && y >= 97 && y <= 144;
            if (!white)
                (inside ? inked : strays)++;
        }
    }
    EXPECT_EQ(0, strays);
    EXPECT_GT(inked, 500);
    DestroySurfaceDC(surface);
}

}  // namespace

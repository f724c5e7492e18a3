// The two pixel kernels, called directly as Start calls them, against the
// shared host core.
#include "kernels/kernels.h"
#include "testhost.h"
#include "winutil/winutil.h"

#include <gtest/gtest.h>

namespace {

typedef OSErr (*Kernel)(FilterRecord *);

struct KernelRunFixture {
    CanaryRecord canary;
    HostRun run = {};

    void Bind(TestLayer &layer, RGBColor foreground = Colour16(0, 0, 0))
    {
        run.record = canary.record();
        run.layer = layer.Host();
        run.advanceAnswer = noErr;
        HostBind(&run, NULL, foreground);
    }
};

void ExpectProgressPerRow(const HostRun &run, int32_t height)
{
    ASSERT_EQ(run.progress.size(), (size_t)height);
    for (int32_t row = 0; row < height; ++row)
        EXPECT_EQ(run.progress[row], std::make_pair(row, height)) << "call " << row;
}

void ExpectRequestCleared(const FilterRecord *record)
{
    const Rect zero = {0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(&record->inRect, &zero, sizeof zero));
    EXPECT_EQ(0, memcmp(&record->outRect, &zero, sizeof zero));
    EXPECT_EQ(0, record->inLoPlane);
    EXPECT_EQ(3, record->inHiPlane);
    EXPECT_EQ(0, record->outLoPlane);
    EXPECT_EQ(3, record->outHiPlane);
    EXPECT_EQ(0, record->inputPadding);
    EXPECT_EQ(0, record->outputPadding);
    EXPECT_EQ(0, record->maskPadding);
    EXPECT_EQ(FIXED_ONE, record->inputRate);
    EXPECT_EQ(FIXED_ONE, record->maskRate);
}

// ---- threshold ----

struct ThresholdCase {
    const char *label;
    int32_t threshold;
    uint8_t alpha;
    bool recoloured;
};

const ThresholdCase thresholdCases[] = {
    {"transparent at 128", 128, 0, true},
    {"just below 128", 128, 127, true},
    {"equal to 128 keeps colour", 128, 128, false},
    {"above 128", 128, 129, false},
    {"opaque at 128", 128, 255, false},
    {"transparent at 1", 1, 0, true},
    {"1 at 1 keeps colour", 1, 1, false},
    {"253 at 254", 254, 253, true},
    {"254 at 254 keeps colour", 254, 254, false},
    {"opaque at 254", 254, 255, false},
};

TEST(ThresholdKernel, RecoloursStrictlyBelowAndMakesEverythingOpaque)
{
    for (const ThresholdCase &c : thresholdCases) {
        SCOPED_TRACE(c.label);
        TestLayer layer(3, 2, 16);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                layer.Set(x, y, 10, 20, 30, c.alpha);
        KernelRunFixture fixture;
        fixture.Bind(layer, Colour16(0xFFFF, 0x8080, 0x1200));
        threshold = c.threshold;

        ASSERT_EQ(noErr, ApplyThresholdKernel(fixture.run.record));

        const uint8_t expected[4] = {(uint8_t)(c.recoloured ? 255 : 10),
                                     (uint8_t)(c.recoloured ? 128 : 20),
                                     (uint8_t)(c.recoloured ? 0 : 30), 255};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(0, memcmp(expected, layer.OutPixel(x, y), 4)) << x << "," << y;
        // The input is read, never written; padding past each row stays.
        EXPECT_EQ(c.alpha, layer.InPixel(2, 1)[3]);
        EXPECT_EQ(0x5A, layer.out[12]);
        EXPECT_EQ(0x5A, layer.out[31]);
    }
    threshold = 128;
}

TEST(ThresholdKernel, DecidesFromTheInputAndLeavesKeptColourBytesUnwritten)
{
    // Output colour differs from input: a kept pixel must keep the output's
    // bytes (the current layer), and the decision must read the input.
    TestLayer layer(2, 1);
    layer.Set(0, 0, 1, 2, 3, 200);
    layer.Set(1, 0, 4, 5, 6, 10);
    layer.OutPixel(0, 0)[0] = 99;
    layer.OutPixel(1, 0)[3] = 250;
    KernelRunFixture fixture;
    fixture.Bind(layer, Colour16(0x0011, 0x0022, 0x0033));
    threshold = 128;

    ASSERT_EQ(noErr, ApplyThresholdKernel(fixture.run.record));

    const uint8_t kept[4] = {99, 2, 3, 255};
    const uint8_t filled[4] = {0x11, 0x22, 0x33, 255};
    EXPECT_EQ(0, memcmp(kept, layer.OutPixel(0, 0), 4));
    EXPECT_EQ(0, memcmp(filled, layer.OutPixel(1, 0), 4));
}

// ---- corner key ----

TEST(CornerKeyKernel, KeysExactlyTheTopLeftColour)
{
    struct Case {
        const char *label;
        uint8_t r, g, b, a;
        uint8_t alphaAfter;
    } cases[] = {
        {"same colour, opaque", 40, 50, 60, 255, 0},
        {"same colour, partly transparent", 40, 50, 60, 77, 0},
        {"same colour, already transparent", 40, 50, 60, 0, 0},
        {"red off by one", 41, 50, 60, 255, 255},
        {"green off by one", 40, 49, 60, 77, 77},
        {"blue off by one", 40, 50, 61, 12, 12},
    };
    const int count = sizeof cases / sizeof cases[0];
    TestLayer layer(count + 1, 1, (count + 1) * 4 + 8);
    layer.Set(0, 0, 40, 50, 60, 200);
    for (int i = 0; i < count; ++i)
        layer.Set(i + 1, 0, cases[i].r, cases[i].g, cases[i].b, cases[i].a);
    KernelRunFixture fixture;
    fixture.Bind(layer);

    ASSERT_EQ(noErr, ApplyCornerKeyKernel(fixture.run.record));

    EXPECT_EQ(0, layer.OutPixel(0, 0)[3]) << "the corner matches itself";
    for (int i = 0; i < count; ++i) {
        const uint8_t *pixel = layer.OutPixel(i + 1, 0);
        EXPECT_EQ(cases[i].alphaAfter, pixel[3]) << cases[i].label;
        const uint8_t colour[3] = {cases[i].r, cases[i].g, cases[i].b};
        EXPECT_EQ(0, memcmp(colour, pixel, 3)) << cases[i].label << ": colour untouched";
    }
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(0x5A, layer.out[(count + 1) * 4 + i]) << "row padding";
}

TEST(CornerKeyKernel, ReferenceComesFromTheOutputBufferEvenWhenTransparent)
{
    TestLayer layer(2, 2, 12);
    layer.Set(0, 0, 7, 7, 7, 0);
    layer.Set(1, 0, 7, 7, 7, 255);
    layer.Set(0, 1, 9, 9, 9, 255);
    layer.Set(1, 1, 9, 9, 9, 255);
    // The host's output buffer says the corner is 9,9,9: that is the reference.
    layer.OutPixel(0, 0)[0] = layer.OutPixel(0, 0)[1] = layer.OutPixel(0, 0)[2] = 9;
    KernelRunFixture fixture;
    fixture.Bind(layer);

    ASSERT_EQ(noErr, ApplyCornerKeyKernel(fixture.run.record));

    EXPECT_EQ(255, layer.OutPixel(1, 0)[3]);
    EXPECT_EQ(0, layer.OutPixel(0, 1)[3]);
    EXPECT_EQ(0, layer.OutPixel(1, 1)[3]);
}

TEST(CornerKeyKernel, OneColourLayerBecomesTransparentWithColoursKept)
{
    TestLayer layer(5, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            layer.Set(x, y, 200, 100, 50, (uint8_t)(x * 60));
    KernelRunFixture fixture;
    fixture.Bind(layer);

    ASSERT_EQ(noErr, ApplyCornerKeyKernel(fixture.run.record));

    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const uint8_t expected[4] = {200, 100, 50, 0};
            EXPECT_EQ(0, memcmp(expected, layer.OutPixel(x, y), 4));
        }
}

// ---- what both kernels share ----

struct KernelCase {
    const char *label;
    Kernel kernel;
};

const KernelCase bothKernels[] = {
    {"threshold", ApplyThresholdKernel},
    {"corner key", ApplyCornerKeyKernel},
};

TEST(Kernels, ReportEveryRowAndClearTheRequest)
{
    const struct {
        int32_t width, height;
    } sizes[] = {{1, 1}, {3, 7}, {17, 2}};
    for (const KernelCase &k : bothKernels) {
        for (auto size : sizes) {
            SCOPED_TRACE(testing::Message() << k.label << " " << size.width << "x" << size.height);
            TestLayer layer(size.width, size.height);
            KernelRunFixture fixture;
            fixture.Bind(layer);
            threshold = 128;

            ASSERT_EQ(noErr, k.kernel(fixture.run.record));

            EXPECT_EQ(1, fixture.run.advanceCalls);
            ExpectProgressPerRow(fixture.run, size.height);
            ExpectRequestCleared(fixture.run.record);
        }
    }
}

TEST(Kernels, HostRefusalTouchesNoPixel)
{
    for (const KernelCase &k : bothKernels) {
        SCOPED_TRACE(k.label);
        TestLayer layer(4, 3);
        const std::vector<uint8_t> before = layer.out;
        KernelRunFixture fixture;
        fixture.Bind(layer);
        fixture.run.advanceAnswer = memFullErr;

        EXPECT_EQ(memFullErr, k.kernel(fixture.run.record));

        EXPECT_EQ(before, layer.out);
        EXPECT_TRUE(fixture.run.progress.empty());
        const Rect whole = {0, 0, 3, 4};
        EXPECT_EQ(0, memcmp(&fixture.run.record->inRect, &whole, sizeof whole));
        EXPECT_EQ(0, memcmp(&fixture.run.record->outRect, &whole, sizeof whole));
    }
}

struct GuardedKernel {
    Kernel kernel;
    FilterRecord *record;
    OSErr result;
};

void RunKernelGuarded(void *context)
{
    GuardedKernel *call = (GuardedKernel *)context;
    call->result = call->kernel(call->record);
}

TEST(Kernels, FaultInsideTheLoopIsCaughtAndTheProcessGoesOn)
{
    for (int round = 0; round < 3; ++round) {
        for (const KernelCase &k : bothKernels) {
            SCOPED_TRACE(k.label);
            TestLayer layer(8, 4);
            NoAccessPages forbidden(4096);
            KernelRunFixture fixture;
            fixture.Bind(layer);
            fixture.run.layer.inBase = (uint8_t *)forbidden.base;

            GuardedKernel call = {k.kernel, fixture.run.record, 1};
            EXPECT_EQ(0, RunGuarded(RunKernelGuarded, &call));
            EXPECT_TRUE(fixture.run.progress.empty()) << "the fault came in the first row";
        }
    }
}

void Throws(void *)
{
    throw 42;
}

void Returns(void *context)
{
    *(int *)context = 7;
}

TEST(Guard, CatchesExceptionsAndPassesNormalReturns)
{
    int value = 0;
    EXPECT_EQ(1, RunGuarded(Returns, &value));
    EXPECT_EQ(7, value);
    EXPECT_EQ(0, RunGuarded(Throws, NULL));
    // The chain head is back where it was: a second guard still works.
    EXPECT_EQ(0, RunGuarded(Throws, NULL));
    EXPECT_EQ(1, RunGuarded(Returns, &value));
}

}  // namespace

// ---- the SSE2 rows against the plain ones ----

#include "kernels/rows.h"

namespace {

uint32_t nextRandom = 12345;

uint8_t RandomByte()
{
    nextRandom = nextRandom * 1103515245u + 12345u;
    return (uint8_t)(nextRandom >> 16);
}

// A layer of random pixels, a fifth of them in the reference colour and a
// tenth one step off it, with the transparency edge values well represented.
std::vector<uint8_t> RandomRows(int32_t width, int32_t height, int32_t rowBytes, uint32_t reference)
{
    static const uint8_t edges[] = {0, 1, 127, 128, 129, 253, 254, 255};
    std::vector<uint8_t> bytes((size_t)rowBytes * height);
    for (uint8_t &byte : bytes)
        byte = RandomByte();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t *pixel = &bytes[y * rowBytes + x * 4];
            uint8_t pick = RandomByte() % 10;
            if (pick < 2 || pick == 2) {
                pixel[0] = (uint8_t)reference;
                pixel[1] = (uint8_t)(reference >> 8);
                pixel[2] = (uint8_t)(reference >> 16);
                if (pick == 2)
                    pixel[RandomByte() % 3] ^= 1;
            }
            if (RandomByte() % 2)
                pixel[3] = edges[RandomByte() % 8];
        }
    return bytes;
}

TEST(KernelRows, Sse2AndPlainAgreeByteForByte)
{
    if (!KernelsHaveSse2())
        GTEST_SKIP() << "no SSE2 on this processor";
    // Beyond 1..254 too: the SSE2 row turns the limit into a bound of its own.
    const int32_t limits[] = {INT32_MIN, -1, 0, 1, 128, 254, 255, 256, 257, INT32_MAX};
    const uint32_t reference = 0x00336699;
    int keyedLayers = 0;
    for (int32_t width = 1; width <= 37; width += 3) {
        for (int32_t padding : {0, 4, 12}) {
            const int32_t rowBytes = width * 4 + padding, height = 3;
            const std::vector<uint8_t> in = RandomRows(width, height, rowBytes, reference);
            const std::vector<uint8_t> current = RandomRows(width, height, rowBytes, reference);
            for (int32_t limit : limits) {
                std::vector<uint8_t> plain = current, sse2 = current;
                for (int32_t y = 0; y < height; ++y) {
                    ThresholdRowPlain(&in[y * rowBytes], &plain[y * rowBytes], width, limit, 0x00A1B2C3);
                    ThresholdRowSse2(&in[y * rowBytes], &sse2[y * rowBytes], width, limit, 0x00A1B2C3);
                }
                EXPECT_EQ(plain, sse2) << "threshold " << limit << ", width " << width << ", padding "
                                       << padding;
            }
            std::vector<uint8_t> plain = current, sse2 = current;
            for (int32_t y = 0; y < height; ++y) {
                CornerKeyRowPlain(&in[y * rowBytes], &plain[y * rowBytes], width, reference);
                CornerKeyRowSse2(&in[y * rowBytes], &sse2[y * rowBytes], width, reference);
            }
            EXPECT_EQ(plain, sse2) << "corner key, width " << width << ", padding " << padding;
            keyedLayers += current != plain;
        }
    }
    EXPECT_GT(keyedLayers, 30) << "the layers exercise the key";
}

}  // namespace

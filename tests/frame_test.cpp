// The plug-ins as a host meets them: loaded from their files and driven
// through their one export.
#include "frame/frame.h"
#include "testhost.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct Plugin {
    const char *file;
    HostPlugin loaded;
};

class LoadedPlugins : public testing::Test {
protected:
    Plugin stepedge = {"stepedge.8bf", {}};
    Plugin cornerkey = {"cornerkey.8bf", {}};

    void SetUp() override
    {
        for (Plugin *plugin : {&stepedge, &cornerkey}) {
            plugin->loaded = HostLoadPlugin(PluginPath(plugin->file).c_str());
            ASSERT_TRUE(plugin->loaded.entry) << plugin->file;
        }
    }

    void TearDown() override
    {
        for (Plugin *plugin : {&stepedge, &cornerkey}) {
            if (plugin->loaded.module)
                FreeLibrary(plugin->loaded.module);
        }
    }
};

const int16_t sentinelResult = 0x5555;

// One filter run as a host makes it: a canary-guarded record bound to a layer.
struct HostedRun {
    CanaryRecord canary;
    HostRun run = {};

    explicit HostedRun(TestLayer &layer, int32_t planes = 4)
    {
        run.record = canary.record();
        run.layer = layer.Host();
        run.layer.planes = planes;
        HostBind(&run, NULL, Colour16(0, 0, 0));
    }

    int16_t Call(const Plugin &plugin, int16_t selector)
    {
        intptr_t data = 0;
        int16_t result = sentinelResult;
        plugin.loaded.entry(selector, run.record, &data, &result);
        return result;
    }
};

TEST_F(LoadedPlugins, SelectorsWithoutWorkTouchNothing)
{
    const int16_t selectors[] = {filterSelectorParameters, filterSelectorContinue,
                                 filterSelectorFinish, 7, -1, 0x7FFF};
    for (Plugin *plugin : {&stepedge, &cornerkey}) {
        for (int16_t selector : selectors) {
            SCOPED_TRACE(testing::Message() << plugin->file << " selector " << selector);
            CanaryRecord canary;
            const std::vector<uint8_t> before = canary.memory;
            intptr_t data = 0x12345678;
            int16_t result = sentinelResult;

            plugin->loaded.entry(selector, canary.record(), &data, &result);

            EXPECT_EQ(noErr, result);
            EXPECT_EQ(0x12345678, data);
            EXPECT_TRUE(canary.ChangedSince(before).empty());
        }
    }
}

TEST_F(LoadedPlugins, PrepareAnnouncesTheBudgetAndNothingElse)
{
    const struct {
        int16_t width, height;
        int32_t maxSpace;
    } cases[] = {
        {100, 50, 40000},
        {1, 1, 8},
        {16384, 16383, 2147352576},  // just below 2^28 pixels: still exact
        {16384, 16384, 2147483647},  // 2^28 pixels: clamped, not wrapped
        {32767, 32767, 2147483647},
        {-5, 10, 0},                 // a nonsensical size never gives a negative budget
    };
    for (Plugin *plugin : {&stepedge, &cornerkey}) {
        for (auto c : cases) {
            SCOPED_TRACE(testing::Message() << plugin->file << " " << c.width << "x" << c.height);
            CanaryRecord canary;
            canary.record()->imageSize.h = c.width;
            canary.record()->imageSize.v = c.height;
            const std::vector<uint8_t> before = canary.memory;
            intptr_t data = 0;
            int16_t result = sentinelResult;

            plugin->loaded.entry(filterSelectorPrepare, canary.record(), &data, &result);

            EXPECT_EQ(noErr, result);
            EXPECT_EQ(c.maxSpace, canary.record()->maxSpace);
            EXPECT_EQ(1, canary.record()->supportsDummyChannels);
            const long budget = offsetof(FilterRecord, maxSpace);
            const std::vector<long> expected = {budget, budget + 1, budget + 2, budget + 3,
                                                offsetof(FilterRecord, supportsDummyChannels)};
            std::vector<long> changed = canary.ChangedSince(before);
            // A written byte that happens to equal the canary does not show.
            for (long offset : changed)
                EXPECT_NE(expected.end(), std::find(expected.begin(), expected.end(), offset))
                    << "offset " << offset;
        }
    }
}

TEST_F(LoadedPlugins, LayerWithoutTransparencyGetsTheJapaneseText)
{
    TestLayer layer(4, 4);
    HostedRun hosted(layer, 3);

    EXPECT_EQ(errReportString, hosted.Call(cornerkey, filterSelectorStart));

    EXPECT_EQ(0, hosted.run.advanceCalls);
    EXPECT_EQ(54, hosted.run.errorText[0]);
    const char expected[] = "\n\n画像に透明領域が無いか、レイヤ状態になっていません。";
    ASSERT_EQ(55u, sizeof expected);
    EXPECT_EQ(0, memcmp(expected, &hosted.run.errorText[1], 55));
}

TEST_F(LoadedPlugins, CornerKeyRunsEndToEnd)
{
    TestLayer layer(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            layer.Set(x, y, (uint8_t)(x == 1 ? 1 : 0), 128, 255, 255);
    HostedRun hosted(layer);

    ASSERT_EQ(noErr, hosted.Call(cornerkey, filterSelectorPrepare));
    EXPECT_EQ(noErr, hosted.Call(cornerkey, filterSelectorStart));

    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(x == 1 ? 255 : 0, layer.OutPixel(x, y)[3]) << x << "," << y;
    EXPECT_EQ(2u, hosted.run.progress.size());
}

TEST_F(LoadedPlugins, FaultInTheKernelBecomesMemFullAndTheHostCarriesOn)
{
    for (int round = 0; round < 3; ++round) {
        TestLayer layer(16, 16);
        NoAccessPages forbidden(16 * 16 * 4);
        HostedRun hosted(layer);
        hosted.run.layer.inBase = (uint8_t *)forbidden.base;

        EXPECT_EQ(memFullErr, hosted.Call(cornerkey, filterSelectorStart)) << "round " << round;
    }
    // And an ordinary run afterwards still works.
    TestLayer layer(2, 2);
    HostedRun hosted(layer);
    EXPECT_EQ(noErr, hosted.Call(cornerkey, filterSelectorStart));
}

TEST_F(LoadedPlugins, HostWithoutPlatformDataIsServedWithoutAnOwner)
{
    TestLayer layer(2, 2);
    HostedRun hosted(layer);
    hosted.run.record->platformData = NULL;

    EXPECT_EQ(noErr, hosted.Call(cornerkey, filterSelectorStart));
}

TEST(PluginFiles, LoadAndUnloadRepeatedly)
{
    for (int round = 0; round < 5; ++round) {
        for (const char *file : {"stepedge.8bf", "cornerkey.8bf"}) {
            HostPlugin plugin = HostLoadPlugin(PluginPath(file).c_str());
            ASSERT_TRUE(plugin.entry) << file << " round " << round;
            EXPECT_TRUE(FreeLibrary(plugin.module));
            EXPECT_EQ(NULL, GetModuleHandleA(PluginPath(file).c_str()));
        }
    }
}

}  // namespace

// The About box of each plug-in, opened through the About selector as a host
// does, watched from a thread timer inside its modal loop. Also writes PNG
// frames of the real window (face, a fade-in frame, a credits page) beside
// the test program.
#include "frame/hostapi.h"
#include "objectcount.h"
#include "testhost.h"

#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <string>
#include <vector>

namespace {

const int okId = 1, linkId = 11;

// What one opening looked like; filled by the timer procedure.
struct Watch {
    HWND about = NULL;
    int ticks = 0, readyTicks = 0;
    bool sawIntro = false, sawReady = false, linkShown = false, centred = false;
    int clientWidth = 0, clientHeight = 0;
    RECT ok = {};
    std::string caption;
    bool capture = false;            // write PNG frames
    int creditsTicks = 0;            // how long to let the credits run before closing
    std::vector<std::vector<uint8_t>> introFrames;
    std::vector<uint8_t> fadeFrame, faceFrame, creditsFrame;
    int frameWidth = 0, frameHeight = 0, bestCreditsInk = -1;
};
Watch watch;

BOOL CALLBACK FindAbout(HWND window, LPARAM)
{
    char name[16];
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window)) {
        watch.about = window;
        return FALSE;
    }
    return TRUE;
}

// The window's client pixels as rows of RGB from the top. Without a window
// manager nobody draws the frame, so only the client area is worth showing.
std::vector<uint8_t> Capture(HWND window, int *width, int *height)
{
    RECT r;
    GetClientRect(window, &r);
    *width = r.right, *height = r.bottom;
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = *width;
    info.bmiHeader.biHeight = -*height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    PrintWindow(window, dc, PW_CLIENTONLY);
    GdiFlush();
    std::vector<uint8_t> rgb((size_t)*width * *height * 3);
    const uint8_t *p = (const uint8_t *)bits;
    for (size_t i = 0; i < (size_t)*width * *height; ++i) {
        rgb[3 * i] = p[4 * i + 2], rgb[3 * i + 1] = p[4 * i + 1], rgb[3 * i + 2] = p[4 * i];
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return rgb;
}

// Dark pixels in the credits area (right of the icon column) of a client
// capture while the face has dimmed away (no dark pixel left of the maker's
// name in the picture, below where pages stand); -1 when the face shows.
int CreditsInk(const std::vector<uint8_t> &rgb, int width)
{
    for (int y = 106; y < 120; ++y)
        for (int x = 58; x < 121; ++x)
            if (rgb[3 * (y * width + x)] < 96)
                return -1;
    int ink = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 52; x < 280; ++x)
            ink += rgb[3 * (y * width + x)] < 96;
    return ink;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!watch.about)
        EnumThreadWindows(GetCurrentThreadId(), FindAbout, 0);
    if (!watch.about || !IsWindow(watch.about))
        return;
    HWND about = watch.about;
    ++watch.ticks;
    const bool ready = IsWindowVisible(GetDlgItem(about, okId));
    if (!ready && !watch.sawReady) {
        watch.sawIntro = true;
        if (watch.capture)
            watch.introFrames.push_back(Capture(about, &watch.frameWidth, &watch.frameHeight));
        return;
    }
    if (!watch.sawReady) {
        watch.sawReady = true;
        RECT client;
        GetClientRect(about, &client);
        watch.clientWidth = client.right, watch.clientHeight = client.bottom;
        GetWindowRect(GetDlgItem(about, okId), &watch.ok);
        MapWindowPoints(NULL, about, (POINT *)&watch.ok, 2);
        char caption[100];
        GetWindowTextA(about, caption, sizeof caption);
        watch.caption = caption;
        HWND link = GetDlgItem(about, linkId);
        watch.linkShown = link && IsWindowVisible(link);
        RECT w;
        GetWindowRect(about, &w);
        int cx = (w.left + w.right) / 2, cy = (w.top + w.bottom) / 2;
        watch.centred = abs(cx - GetSystemMetrics(SM_CXSCREEN) / 2) <= 1
                        && abs(cy - GetSystemMetrics(SM_CYSCREEN) / 2) <= 1;
        if (watch.capture) {
            watch.faceFrame = Capture(about, &watch.frameWidth, &watch.frameHeight);
            // A fade-in frame from the middle of the intro.
            if (!watch.introFrames.empty())
                watch.fadeFrame = watch.introFrames[watch.introFrames.size() / 2];
        }
        if (watch.creditsTicks)
            SendMessageA(about, WM_LBUTTONDOWN, 0, MAKELPARAM(20, 20));
    }
    if (watch.readyTicks++ < watch.creditsTicks) {
        if (watch.capture) {
            int w, h;
            std::vector<uint8_t> frame = Capture(about, &w, &h);
            int ink = CreditsInk(frame, w);
            if (ink > watch.bestCreditsInk) {
                watch.bestCreditsInk = ink;
                watch.creditsFrame = frame;
            }
        }
        return;
    }
    SendMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Sends the About selector to plugin with owner as the host window.
int16_t OpenAbout(const HostPlugin &plugin, HWND owner, bool capture = false, int creditsTicks = 0)
{
    watch = Watch();
    watch.capture = capture;
    watch.creditsTicks = creditsTicks;
    PlatformData platform = {};
    platform.hwnd = owner;
    AboutRecord record = {};
    record.platformData = &platform;
    intptr_t data = 0;
    int16_t result = 0x5555;
    UINT_PTR timer = SetTimer(NULL, 0, 15, Tick);
    plugin.entry(filterSelectorAbout, &record, &data, &result);
    KillTimer(NULL, timer);
    return result;
}

struct Loaded {
    const char *file, *caption;
    HostPlugin plugin;
};

TEST(AboutBox, EachLibraryShowsItsOwn)
{
    Loaded both[] = {{"stepedge.8bf", "Hardedge Filter Pluginについて", {}},
                     {"cornerkey.8bf", "Huedrop Filter Pluginについて", {}}};
    for (auto &l : both) {
        l.plugin = HostLoadPlugin(PluginPath(l.file).c_str());
        ASSERT_TRUE(l.plugin.entry) << l.file;
    }
    for (auto &l : both) {
        SCOPED_TRACE(l.file);
        EXPECT_EQ(noErr, OpenAbout(l.plugin, NULL));
        EXPECT_TRUE(watch.sawIntro && watch.sawReady);
        EXPECT_EQ(l.caption, watch.caption);
        EXPECT_EQ(280, watch.clientWidth);
        EXPECT_EQ(150, watch.clientHeight);
        EXPECT_TRUE(watch.centred);
        EXPECT_EQ(182, watch.ok.left);
        EXPECT_EQ(119, watch.ok.top);
        EXPECT_EQ(88, watch.ok.right - watch.ok.left);
        EXPECT_EQ(21, watch.ok.bottom - watch.ok.top);
        EXPECT_TRUE(watch.linkShown);
    }
    // Whoever registered the link class keeps it: unloading the library
    // whose registration failed leaves the first one's About link in place.
    FreeLibrary(both[1].plugin.module);
    EXPECT_EQ(noErr, OpenAbout(both[0].plugin, NULL));
    EXPECT_TRUE(watch.linkShown);
    FreeLibrary(both[0].plugin.module);
}

TEST(AboutBox, OpeningAndClosingLeavesObjectCounts)
{
    HostPlugin plugin = HostLoadPlugin(PluginPath("cornerkey.8bf").c_str());
    ASSERT_TRUE(plugin.entry);
    OpenAbout(plugin, NULL);  // the system's own caches settle on the first
    const int gdi = CountGdiObjects(), windows = CountUserWindows();
    for (int i = 0; i < 20; ++i)
        OpenAbout(plugin, NULL);
    EXPECT_EQ(gdi, CountGdiObjects());
    EXPECT_EQ(windows, CountUserWindows());
    FreeLibrary(plugin.module);
}

TEST(AboutBox, FramesOfTheRealWindow)
{
    HostPlugin plugin = HostLoadPlugin(PluginPath("stepedge.8bf").c_str());
    ASSERT_TRUE(plugin.entry);
    EXPECT_EQ(noErr, OpenAbout(plugin, NULL, true, 200));
    FreeLibrary(plugin.module);
    const struct {
        const char *name;
        const std::vector<uint8_t> &rgb;
    } frames[] = {{"about-fade-in.png", watch.fadeFrame},
                  {"about-face.png", watch.faceFrame},
                  {"about-credits.png", watch.creditsFrame}};
    for (const auto &f : frames) {
        SCOPED_TRACE(f.name);
        ASSERT_FALSE(f.rgb.empty());
        EXPECT_TRUE(stbi_write_png((ProgramFolder() + f.name).c_str(), watch.frameWidth,
                                   watch.frameHeight, 3, f.rgb.data(), watch.frameWidth * 3));
    }
    EXPECT_GT(watch.bestCreditsInk, 50) << "a credits page showed";
}

}  // namespace

// The hyperlink control, the About window and its animation, driven inside
// this test program (which links the module itself and so can step the
// animation and stand in for the shell).
#include "about/about.h"
#include "objectcount.h"
#include "testhost.h"
#include "winutil/winutil.h"

#include <gtest/gtest.h>

#include <shellapi.h>
#include <string.h>
#include <string>
#include <vector>

// The texts each plug-in's product file supplies.
extern const char aboutCaption[] = "Test Filter Pluginについて";
extern const char aboutProductLine[] = "Test Filter Plugin";
extern const char aboutErrorCaption[] = "Test Filter Plugin";

namespace {

const COLORREF normalColour = 0x00FF0000, hoverColour = 0x000000FF, visitedColour = 0x00800080;

// A parent that records the WM_COMMAND notifications its children send.
struct LoggingParent {
    static std::vector<std::pair<WPARAM, LPARAM>> commands;
    HWND window;
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_COMMAND)
            commands.push_back({wp, lp});
        return DefWindowProcA(w, m, wp, lp);
    }
    explicit LoggingParent(DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN)
    {
        WNDCLASSA c = {};
        c.lpfnWndProc = Proc;
        c.hInstance = GetModuleHandleA(NULL);
        c.lpszClassName = "LoggingParent";
        RegisterClassA(&c);
        window = CreateWindowExA(0, "LoggingParent", "", style, 100, 100, 300, 200, NULL, NULL,
                                 c.hInstance, NULL);
        commands.clear();
    }
    ~LoggingParent() { DestroyWindow(window); }
};
std::vector<std::pair<WPARAM, LPARAM>> LoggingParent::commands;

class HyperLink : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        moduleInstance = GetModuleHandleA(NULL);
        RegisterHyperLinkClass(moduleInstance);
    }
    static void TearDownTestSuite() { UnregisterHyperLinkClass(moduleInstance); }

    HWND MakeLink(HWND parent, const char *text, int id = 11)
    {
        return CreateWindowExA(0, HYPERLINK_CLASS, text, WS_CHILD | WS_VISIBLE, 10, 10, 200, 24,
                               parent, (HMENU)(INT_PTR)id, moduleInstance, NULL);
    }
};

// Counts pixels of each colour that the control paints through WM_PRINT.
struct Painted {
    int normal = 0, hover = 0, visited = 0, background = 0;
};

Painted PaintThroughPrint(HWND link)
{
    HDC surface = CreateSurfaceDC(200, 24);
    PatBlt(surface, 0, 0, 200, 24, BLACKNESS);
    SendMessageA(link, WM_PRINT, (WPARAM)surface, PRF_CLIENT);
    GdiFlush();
    const uint8_t *bits = (const uint8_t *)GetDibBits(GetSurfaceBitmap(surface));
    Painted counts;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 200; ++x) {
            const uint8_t *p = bits + y * 600 + 3 * x;
            COLORREF c = RGB(p[2], p[1], p[0]);
            counts.normal += c == normalColour;
            counts.hover += c == hoverColour;
            counts.visited += c == visitedColour;
            counts.background += c == 0x00FFFFFF;
        }
    }
    DestroySurfaceDC(surface);
    return counts;
}

TEST_F(HyperLink, EmptyTextBecomesTheMakersAddress)
{
    LoggingParent parent;
    HWND link = MakeLink(parent.window, "");
    ASSERT_TRUE(link);
    char text[100];
    GetWindowTextA(link, text, sizeof text);
    EXPECT_STREQ("https://quillmere.example/", text);
    DestroyWindow(link);
}

TEST_F(HyperLink, ColourByStateOnPrintedPixels)
{
    LoggingParent parent;
    HWND link = MakeLink(parent.window, "WWWWWW");
    SetLinkColors(link, 0x00FFFFFF, normalColour, hoverColour, visitedColour);
    const LPARAM inside = MAKELPARAM(50, 10), outside = MAKELPARAM((WORD)-5, 10);
    const struct {
        const char *name;
        UINT message;  // what the control gets before the paint
        LPARAM point;
        bool hover, visited;
    } steps[] = {
        {"normal", 0, 0, false, false},
        {"hovered", WM_MOUSEMOVE, inside, true, false},
        {"left again", WM_MOUSEMOVE, outside, false, false},
        {"clicked: visited", WM_LBUTTONUP, inside, false, true},
        {"hovered after the visit", WM_MOUSEMOVE, inside, true, false},
        {"left after the visit", WM_MOUSEMOVE, outside, false, true},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.name);
        if (s.message)
            SendMessageA(link, s.message, 0, s.point);
        Painted p = PaintThroughPrint(link);
        EXPECT_EQ(s.hover, p.hover > 0);
        EXPECT_EQ(s.visited, p.visited > 0);
        EXPECT_EQ(!s.hover && !s.visited, p.normal > 0);
        EXPECT_GT(p.background, 0) << "a clipping parent: text cells filled with the background";
    }
    ReleaseCapture();
    DestroyWindow(link);
}

TEST_F(HyperLink, TransparentOverAParentThatDoesNotClip)
{
    LoggingParent parent(WS_OVERLAPPEDWINDOW);
    HWND link = MakeLink(parent.window, "WWWWWW");
    SetLinkColors(link, 0x00FFFFFF, normalColour, hoverColour, visitedColour);
    Painted p = PaintThroughPrint(link);
    EXPECT_GT(p.normal, 0);
    EXPECT_EQ(0, p.background) << "the black below shows through";
    DestroyWindow(link);
}

TEST_F(HyperLink, ReleaseSendsTheNotificationAndTimerIdIsShared)
{
    LoggingParent parent;
    HWND first = MakeLink(parent.window, "first", 21);
    EXPECT_EQ(101u, hoverTimerId);
    HWND second = MakeLink(parent.window, "second", 22);
    EXPECT_EQ(101u, hoverTimerId);
    SendMessageA(second, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    ASSERT_EQ(1u, LoggingParent::commands.size());
    EXPECT_EQ(MAKEWPARAM(22, 0), LoggingParent::commands[0].first);
    EXPECT_EQ((LPARAM)second, LoggingParent::commands[0].second);
    // Both answer the one shared id: the first still tracks by timer.
    EXPECT_EQ(1, SendMessageA(first, WM_TIMER, hoverTimerId, 0));
    EXPECT_EQ(0, SendMessageA(first, WM_TIMER, hoverTimerId + 1, 0));
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST_F(HyperLink, TimerDoesNotHoverWhileTheParentIsDisabled)
{
    LoggingParent parent(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND link = MakeLink(parent.window, "WWWWWW");
    RECT r;
    GetWindowRect(link, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    POINT at;
    GetCursorPos(&at);
    if (!PtInRect(&r, at))
        GTEST_SKIP() << "this display does not move the pointer";
    EnableWindow(parent.window, FALSE);
    SendMessageA(link, WM_TIMER, hoverTimerId, 0);
    EXPECT_EQ(0, PaintThroughPrint(link).hover);
    EnableWindow(parent.window, TRUE);
    SendMessageA(link, WM_TIMER, hoverTimerId, 0);
    EXPECT_GT(PaintThroughPrint(link).hover, 0);
    DestroyWindow(link);
}

TEST_F(HyperLink, WindowWithoutRecordGetsDefaults)
{
    EXPECT_EQ(0, SetLinkCursor(NULL, NULL));
    EXPECT_EQ(0, SetLinkColors(NULL, 0, 0, 0, 0));
}

// An About window of this program's own, modeless, with its timer stopped so
// a test steps the animation itself.
class AboutFace : public HyperLink {
protected:
    HWND window = NULL;
    void SetUp() override
    {
        window = CreateDialogIndirectParamA(moduleInstance, (LPCDLGTEMPLATEA)aboutTemplate, NULL,
                                            AboutDlgProc, 0);
        ASSERT_TRUE(window);
        KillTimer(window, aboutTimerId);
    }
    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
    }
    // The face surface's pixel (x, y from the top) as 0x00RRGGBB, and the
    // display surface's.
    static uint32_t DisplayPixel(int x, int y)
    {
        const uint8_t *p = (const uint8_t *)GetDibBits(displayBitmap) + y * 840 + 3 * x;
        return (p[2] << 16) | (p[1] << 8) | p[0];
    }
    static uint32_t FacePixel(int x, int y)
    {
        BITMAP face;
        GetObjectA(GetCurrentObject(faceSurface, OBJ_BITMAP), sizeof face, &face);
        const uint8_t *p = (const uint8_t *)face.bmBits + (149 - y) * 840 + 3 * x;
        return (p[2] << 16) | (p[1] << 8) | p[0];
    }
};

TEST_F(AboutFace, TicksPerStageForEachStep)
{
    const struct {
        int step, fadeFrames, openingTicks, dimAtPages, pagePhaseTicks, closingFrames;
    } table[] = {
        {1, 51, 46, 55, 101, 46},
        {2, 34, 23, 55, 51, 23},
        {3, 26, 16, 57, 35, 16},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(testing::Message() << "animStep " << row.step);
        // A fresh opening each time, stepped with the step of the row.
        DestroyWindow(window);
        SetUp();
        AboutFaceDestroy();
        AboutFaceCreate();
        animStep = row.step;
        HWND ok = GetDlgItem(window, IDOK), link = GetDlgItem(window, IDC_ABOUT_LINK);

        // Each fade-in frame puts the face at fadeInLevel % over white: the
        // black square's corner is 255 * (100 - level) / 100 in each channel.
        int fadeFrames = 0;
        bool firstTick = true;
        while (!aboutReady || fadeInLevel <= 100) {
            if (!aboutReady) {
                EXPECT_FALSE(IsWindowVisible(ok));
            }
            const int level = fadeInLevel;
            fadeFrames += level <= 100;
            AboutFaceStep(window);
            if (firstTick) {
                EXPECT_EQ(0xFFFFFFu, DisplayPixel(30, 120)) << "the first frame is white";
                firstTick = false;
            }
            if (level <= 100) {
                const uint32_t grey = 255 * (100 - level) / 100;
                ASSERT_EQ(grey * 0x010101u, DisplayPixel(12, 9)) << "level " << level;
            }
        }
        EXPECT_EQ(row.fadeFrames, fadeFrames);
        EXPECT_TRUE(IsWindowVisible(ok) && IsWindowVisible(link));

        // An icon click starts the credits.
        SendMessageA(window, WM_LBUTTONDOWN, 0, MAKELPARAM(20, 20));
        ASSERT_EQ(1, creditsRunning);
        int ticks[3] = {0, 0, 0};
        int guard = 0;
        while (creditsRunning && ++guard < 10000) {
            ++ticks[creditsPhase];
            AboutFaceStep(window);
            if (creditsRunning) {
                EXPECT_FALSE(IsWindowVisible(ok));
            }
        }
        EXPECT_EQ(row.openingTicks, ticks[0]);
        EXPECT_EQ(4 * 3 * row.pagePhaseTicks + 1, ticks[1]);
        EXPECT_EQ(row.closingFrames + 1, ticks[2]);
        EXPECT_EQ(row.dimAtPages, dimLevelAtPages);
        EXPECT_TRUE(IsWindowVisible(ok) && IsWindowVisible(link));
        EXPECT_EQ(1, aboutReady);
        // The closing's end leaves the whole face on the display surface.
        for (int y = 0; y < 150; y += 7)
            for (int x = 0; x < 280; x += 5)
                ASSERT_EQ(FacePixel(x, y), DisplayPixel(x, y)) << x << "," << y;
    }
}

TEST_F(AboutFace, FaceLayoutAndWindow)
{
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(280, client.right);
    EXPECT_EQ(150, client.bottom);
    char caption[100];
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(aboutCaption, caption);
    RECT ok;
    GetChildRect(window, IDOK, &ok);
    EXPECT_EQ(182, ok.left);
    EXPECT_EQ(119, ok.top);
    EXPECT_EQ(88, ok.right - ok.left);
    EXPECT_EQ(21, ok.bottom - ok.top);
    RECT link;
    GetChildRect(window, IDC_ABOUT_LINK, &link);
    EXPECT_EQ(65, link.left);
    EXPECT_EQ(75, link.top);
    HFONT font = (HFONT)SendMessageA(window, WM_GETFONT, 0, 0);
    EXPECT_EQ(aboutFont, font);
    LOGFONTA logFont;
    ASSERT_TRUE(GetObjectA(font, sizeof logFont, &logFont));
    EXPECT_EQ(12, logFont.lfHeight);
    // The icon frame and the face's texts are on the face; the link and OK
    // pictures too.
    EXPECT_EQ(0u, FacePixel(12, 9)) << "black square";
    int dark = 0;
    for (int y = 15; y < 70; ++y)
        for (int x = 65; x < 200; ++x)
            dark += FacePixel(x, y) == 0;
    EXPECT_GT(dark, 100) << "the text lines";
}

TEST_F(AboutFace, CursorOverTheIconByState)
{
    POINT probe = {12, 9};
    ClientToScreen(window, &probe);
    SetCursorPos(probe.x, probe.y);
    POINT at;
    GetCursorPos(&at);
    if (at.x != probe.x || at.y != probe.y)
        GTEST_SKIP() << "this display does not move the pointer";
    const struct {
        const char *name;
        int x, y;
        bool ready, credits;
        bool hand;
    } cases[] = {
        {"intro, on the icon", 30, 30, false, false, false},
        {"ready, top-left of the icon", 12, 9, true, false, true},
        {"ready, last inside pixel", 51, 51, true, false, true},
        {"ready, just right of it", 52, 30, true, false, false},
        {"ready, just below it", 30, 52, true, false, false},
        {"credits, on the icon", 30, 30, true, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        aboutReady = c.ready;
        creditsRunning = c.credits;
        POINT point = {c.x, c.y};
        ClientToScreen(window, &point);
        SetCursorPos(point.x, point.y);
        SendMessageA(window, WM_SETCURSOR, (WPARAM)window, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(c.hand ? handCursor : arrowCursor, GetCursor());
    }
    creditsRunning = 0;
}

// The shell stand-in: records what the About link asks to open.
std::vector<std::string> opened;
HINSTANCE WINAPI RecordOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT show)
{
    opened.push_back(std::string(verb) + " " + file + " " + std::to_string(show));
    return (HINSTANCE)42;
}

// Runs the modal About box of this program; act(window) runs once the intro
// has finished and should close it.
struct ModalRun {
    static void (*act)(HWND);
    static bool acted, sawReadyState;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (acted || !aboutWindow || !IsWindow(aboutWindow))
            return;
        if (!aboutReady) {
            // During the intro: controls hidden, clicks on the icon ignored.
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(aboutWindow, IDOK)));
            SendMessageA(aboutWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(20, 20));
            EXPECT_EQ(0, creditsRunning);
            return;
        }
        sawReadyState = IsWindowVisible(GetDlgItem(aboutWindow, IDOK))
                        && IsWindowVisible(GetDlgItem(aboutWindow, IDC_ABOUT_LINK));
        acted = true;
        act(aboutWindow);
    }
    static INT_PTR Run(void (*what)(HWND))
    {
        act = what;
        acted = sawReadyState = false;
        aboutWindow = NULL;
        UINT_PTR timer = SetTimer(NULL, 0, 20, Tick);
        INT_PTR result = ShowAboutBox(NULL);
        KillTimer(NULL, timer);
        return result;
    }
};
void (*ModalRun::act)(HWND);
bool ModalRun::acted, ModalRun::sawReadyState;

TEST_F(HyperLink, EveryClosePathEndsWithOne)
{
    aboutShellOpen = RecordOpen;
    const struct {
        const char *name;
        void (*close)(HWND);
    } paths[] = {
        {"close box", [](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"OK", [](HWND w) { PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }},
        {"Cancel", [](HWND w) { PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, 7), 0); }},
        {"link", [](HWND w) {
             // A link command with another code is ignored; the click opens.
             EXPECT_EQ(0, SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_LINK, 1), 0));
             SendMessageA(GetDlgItem(w, IDC_ABOUT_LINK), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
         }},
    };
    // The first opening leaves the system's own caches (fonts, the dialog
    // class's resources) behind; counting starts after it.
    ModalRun::Run(paths[0].close);
    const int gdiBefore = CountGdiObjects();
    for (const auto &p : paths) {
        SCOPED_TRACE(p.name);
        opened.clear();
        EXPECT_EQ(1, ModalRun::Run(p.close));
        EXPECT_TRUE(ModalRun::sawReadyState);
        EXPECT_FALSE(IsWindow(aboutWindow));
        if (std::string(p.name) == "link") {
            ASSERT_EQ(1u, opened.size());
            EXPECT_EQ("open https://quillmere.example/ 5", opened[0]);
        } else {
            EXPECT_TRUE(opened.empty());
        }
    }
    EXPECT_EQ(gdiBefore, CountGdiObjects()) << "every opening released what it made";
    aboutShellOpen = ShellExecuteA;
}

TEST_F(HyperLink, VersionTextIsBoundedByTheBuffer)
{
    HMODULE plugin = LoadLibraryA(PluginPath("cornerkey.8bf").c_str());
    ASSERT_TRUE(plugin);
    HINSTANCE own = moduleInstance;
    moduleInstance = plugin;
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(1, GetVersionText(buffer, 3));
    EXPECT_STREQ("1.", buffer);
    EXPECT_EQ('x', buffer[3]) << "nothing written past the size given";
    EXPECT_EQ(1, GetVersionText(buffer, sizeof buffer));
    EXPECT_STREQ("1.10", buffer);
    moduleInstance = own;  // this program has no version block
    strcpy(buffer, "keep");
    EXPECT_EQ(0, GetVersionText(buffer, sizeof buffer));
    EXPECT_STREQ("?.??", buffer);
    FreeLibrary(plugin);
}

TEST_F(HyperLink, ReleasingTwiceFreesNothingTwice)
{
    HWND window = CreateDialogIndirectParamA(moduleInstance, (LPCDLGTEMPLATEA)aboutTemplate, NULL,
                                             AboutDlgProc, 0);
    ASSERT_TRUE(window);
    DestroyWindow(window);
    const int count = CountGdiObjects();
    // As after a set-up that failed before making the face: the earlier
    // opening's handles are gone and are not released again.
    AboutFaceDestroy();
    EXPECT_EQ(nullptr, displaySurface);
    EXPECT_EQ(nullptr, faceSurface);
    EXPECT_EQ(nullptr, textSurface);
    EXPECT_EQ(count, CountGdiObjects());
}

}  // namespace

// The hyperlink control, the About window and its animation, driven inside
// this test program (which links the module itself and so can step the
// animation and stand in for the shell).
#include "about/about.h"
#include "objectcount.h"
#include "testhost.h"
#include "winutil/winutil.h"

#include <gtest/gtest.h>

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

}  // namespace

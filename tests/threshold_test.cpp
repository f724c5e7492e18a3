// The threshold input against the real dialog manager and up-down control:
// the spin-edit field on its own in a logging parent window, and the
// threshold dialog as a host meets it, run from the built plug-in.
#include "threshold/threshold.h"
#include "kernels/kernels.h"
#include "testhost.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const int fieldId = IDC_THRESHOLD;

// ---- Observers ----

int beeps;

BOOL WINAPI CountBeep(UINT /*type*/)
{
    ++beeps;
    return TRUE;
}

struct Notification {
    int id, code;
    HWND from;
};
std::vector<Notification> notifications;

LRESULT CALLBACK LoggingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        notifications.push_back({LOWORD(wParam), HIWORD(wParam), (HWND)lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Handles the messages already queued, input included, for about the given
// time or until done() says so.
void Pump(int milliseconds, const std::function<bool()> &done = nullptr)
{
    DWORD until = GetTickCount() + milliseconds;
    while ((int)(until - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done && done())
            return;
        Sleep(10);
    }
}

// Real key presses, each a down and an up, through the system's input queue.
void PressKeys(const std::vector<WORD> &keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        for (DWORD flags : {0ul, (DWORD)KEYEVENTF_KEYUP}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    }
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

std::string TextOf(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Whether the edit control's whole text, and something, is selected.
bool WholeTextSelected(HWND edit)
{
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    return start == 0 && end == (DWORD)GetWindowTextLengthA(edit) && end > 0;
}

// ---- The field on its own ----

const char parentClass[] = "SpinEditTestParent";

class SpinEdit : public testing::Test {
protected:
    // One parent for the whole suite: without a window manager, Wine waits
    // for each destroyed top-level window's unmapping, about 2 s.
    static HWND parent;
    HWND field = NULL;

    static void SetUpTestSuite()
    {
        HINSTANCE instance = GetModuleHandleA(NULL);
        RegisterSpinEditClass(instance);
        WNDCLASSA parentWc = {};
        parentWc.lpfnWndProc = LoggingParentProc;
        parentWc.hInstance = instance;
        parentWc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        parentWc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        parentWc.lpszClassName = parentClass;
        RegisterClassA(&parentWc);
        parent = CreateWindowExA(0, parentClass, "", WS_POPUP | WS_VISIBLE, 100, 100, 240, 100,
                                 NULL, NULL, instance, NULL);
    }

    // The plug-in registers the same application-global name; the tests that
    // load it must meet its class, not this one.
    static void TearDownTestSuite()
    {
        DestroyWindow(parent);
        UnregisterSpinEditClass(GetModuleHandleA(NULL));
    }

    void SetUp() override
    {
        ASSERT_NE((HWND)NULL, parent);
        spinEditBeep = CountBeep;
        field = CreateWindowExA(0, SPINEDIT_CLASS, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10,
                                80, 24, parent, (HMENU)(INT_PTR)fieldId, GetModuleHandleA(NULL),
                                NULL);
        ASSERT_NE((HWND)NULL, field);
        Forget();
    }

    void TearDown() override
    {
        DestroyWindow(field);
        spinEditBeep = MessageBeep;
    }

    HWND Edit() { return GetDlgItem(field, ID_SPIN_EDIT); }
    HWND UpDown() { return GetDlgItem(field, ID_SPIN_UPDOWN); }
    SpinEditData *Data() { return (SpinEditData *)GetWindowLongPtrA(field, 0); }
    std::string Text() { return TextOf(Edit()); }
    int Position() { return (int16_t)LOWORD(SendMessageA(UpDown(), UDM_GETPOS, 0, 0)); }

    void Forget()
    {
        beeps = 0;
        notifications.clear();
    }

    void Start(int32_t lower, int32_t upper, int32_t value)
    {
        ASSERT_EQ(1, SpinEdit_SetRange(field, lower, upper));
        ASSERT_EQ(1, SpinEdit_SetValue(field, value));
        Forget();
    }

    // As a user replaces the whole text in one go (typing over a selection,
    // pasting): the edit control reports the change at once.
    void TypeOver(const char *text)
    {
        SendMessageA(Edit(), EM_SETSEL, 0, -1);
        SendMessageA(Edit(), EM_REPLACESEL, TRUE, (LPARAM)text);
    }

    bool ParentHeardOnlyFromField()
    {
        for (const Notification &n : notifications)
            if (n.id != fieldId || n.code != 0 || n.from != field)
                return false;
        return !notifications.empty();
    }
};

TEST_F(SpinEdit, TypedTextsAreKeptOrCorrected)
{
    const struct {
        const char *label;
        int32_t lower, upper, start;
        const char *typed;
        const char *shown;
        int32_t value;   // the record's own copy afterwards
        int position;    // the up-down control's
        int beeps;
        bool selected;   // the whole text selected for the next keystroke
    } cases[] = {
        {"one digit stands", 1, 254, 128, "3", "3", 128, 3, 0, false},
        {"two digits stand", 1, 254, 128, "30", "30", 128, 30, 0, false},
        {"above the range", 1, 254, 128, "300", "254", 254, 254, 1, true},
        {"empty reads as 0", 1, 254, 128, "", "1", 1, 1, 1, true},
        {"zero is below", 1, 254, 128, "0", "1", 1, 1, 1, true},
        {"leading zeros", 1, 254, 128, "007", "7", 128, 7, 1, false},
        {"plus sign", 1, 254, 128, "+5", "5", 128, 5, 1, false},
        {"trailing letter", 1, 254, 128, "12a", "12", 128, 12, 1, false},
        {"leading blank", 1, 254, 128, " 5", "5", 128, 5, 1, false},
        {"lone minus, range from 1", 1, 254, 128, "-", "1", 1, 1, 2, true},
        {"lone minus, range from -10", -10, 10, 5, "-", "-", 5, 5, 0, false},
        {"negative number", -10, 10, 5, "-7", "-7", 5, -7, 0, false},
        {"below a negative end", -10, 10, 5, "-11", "-10", -10, -10, 1, true},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.label);
        Start(c.lower, c.upper, c.start);

        TypeOver(c.typed);

        EXPECT_EQ(c.shown, Text());
        EXPECT_EQ(c.value, Data()->value);
        EXPECT_EQ(c.position, Position());
        EXPECT_EQ(c.beeps, beeps);
        EXPECT_TRUE(ParentHeardOnlyFromField());
        EXPECT_EQ(c.selected, WholeTextSelected(Edit()));
    }
}

TEST_F(SpinEdit, ArrowsStepInsideTheRangeAndBeepAtItsEnds)
{
    const struct {
        const char *label;
        int32_t start;
        WORD key;
        const char *shown;
        int beeps;
        bool notified;
    } cases[] = {
        {"up from the middle", 128, VK_UP, "129", 0, true},
        {"down from the middle", 128, VK_DOWN, "127", 0, true},
        {"down at the lower end", 1, VK_DOWN, "1", 1, false},
        {"up at the upper end", 254, VK_UP, "254", 1, false},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.label);
        Start(1, 254, c.start);

        // The up-down control hears the buddy's arrow keys (UDS_ARROWKEYS).
        SendMessageA(Edit(), WM_KEYDOWN, c.key, 1);
        SendMessageA(Edit(), WM_KEYUP, c.key, 0xC0000001);

        EXPECT_EQ(c.shown, Text());
        EXPECT_EQ(atoi(c.shown), Position());
        EXPECT_EQ(c.beeps, beeps);
        EXPECT_EQ(c.notified, !notifications.empty());
        if (c.notified) {
            EXPECT_TRUE(ParentHeardOnlyFromField());
        }
    }
}

TEST_F(SpinEdit, PrivateMessagesAnswerAsDocumented)
{
    // A fresh field: range and value 0, showing 0.
    EXPECT_EQ("0", Text());
    EXPECT_EQ(0, Data()->minValue);
    EXPECT_EQ(0, Data()->maxValue);

    const struct {
        const char *label;
        std::function<LRESULT(HWND)> send;
        LRESULT result;
        const char *shown;
        int32_t minValue, maxValue, value;
    } steps[] = {
        {"range 1..254 raises 0 to 1", [](HWND f) { return SpinEdit_SetRange(f, 1, 254); }, 1,
         "1", 1, 254, 1},
        {"value 128", [](HWND f) { return SpinEdit_SetValue(f, 128); }, 1, "128", 1, 254, 128},
        {"value 0 refused", [](HWND f) { return SpinEdit_SetValue(f, 0); }, 0, "128", 1, 254, 128},
        {"value 255 refused", [](HWND f) { return SpinEdit_SetValue(f, 255); }, 0, "128", 1, 254,
         128},
        {"read back", [](HWND f) { return SpinEdit_GetValue(f); }, 128, "128", 1, 254, 128},
        {"range 5..4 refused", [](HWND f) { return SpinEdit_SetRange(f, 5, 4); }, 0, "128", 1, 254,
         128},
        {"range 5..5 lowers the value", [](HWND f) { return SpinEdit_SetRange(f, 5, 5); }, 1, "5",
         5, 5, 5},
        {"range -20..-10 lowers the value", [](HWND f) { return SpinEdit_SetRange(f, -20, -10); },
         1, "-10", -20, -10, -10},
    };
    for (auto &s : steps) {
        SCOPED_TRACE(s.label);
        Forget();
        EXPECT_EQ(s.result, s.send(field));
        EXPECT_EQ(s.shown, Text());
        EXPECT_EQ(s.minValue, Data()->minValue);
        EXPECT_EQ(s.maxValue, Data()->maxValue);
        EXPECT_EQ(s.value, Data()->value);
        EXPECT_EQ(0, beeps);
    }
}

TEST_F(SpinEdit, ReadingTakesTheTypedNumberAndReportsUnreadableText)
{
    Start(1, 254, 128);
    TypeOver("77");
    EXPECT_EQ(128, Data()->value);

    EXPECT_EQ(77, SpinEdit_GetValue(field));
    EXPECT_EQ(77, Data()->value);

    // A lone "-" stands while the range reaches below 0, yet is no number:
    // the up-down control says so in the high word.
    Start(-10, 10, 5);
    TypeOver("-");
    LRESULT raw = SpinEdit_GetValue(field);
    EXPECT_NE(0, HIWORD(raw));
}

TEST_F(SpinEdit, EmptyOrLoneMinusIsPutBackWhenFocusLeaves)
{
    Start(-10, 10, 5);
    SetForegroundWindow(parent);
    SetFocus(field);
    TypeOver("-");
    ASSERT_EQ("-", Text());
    Forget();

    SetFocus(parent);

    EXPECT_EQ("5", Text());
    EXPECT_EQ(1, beeps);
    EXPECT_TRUE(ParentHeardOnlyFromField());
}

TEST_F(SpinEdit, EnableReachesBothChildren)
{
    EnableWindow(field, FALSE);
    EXPECT_FALSE(IsWindowEnabled(Edit()));
    EXPECT_FALSE(IsWindowEnabled(UpDown()));
    EXPECT_EQ(1, SendMessageA(field, WM_ENABLE, TRUE, 0));
    EXPECT_TRUE(IsWindowEnabled(Edit()));
    EXPECT_TRUE(IsWindowEnabled(UpDown()));
}

TEST_F(SpinEdit, FocusGoesToTheEditWithItsTextSelected)
{
    Start(1, 254, 128);
    SetForegroundWindow(parent);

    SetFocus(field);

    EXPECT_EQ(Edit(), GetFocus());
    EXPECT_TRUE(WholeTextSelected(Edit()));
}

TEST_F(SpinEdit, RealKeyPressesReplaceTheSelectedNumberAndStep)
{
    Start(1, 254, 128);
    SetForegroundWindow(parent);
    SetFocus(field);
    ASSERT_EQ(Edit(), GetFocus());

    PressKeys({'2', '0', '0'});
    Pump(2000, [&] { return Text() == "200"; });
    EXPECT_EQ("200", Text());
    EXPECT_EQ(0, beeps);

    PressKeys({VK_UP});
    Pump(2000, [&] { return Text() == "201"; });
    EXPECT_EQ("201", Text());
    EXPECT_EQ(201, SpinEdit_GetValue(field));

    PressKeys({'9'});  // 2019 is above the range
    Pump(2000, [&] { return Text() == "254"; });
    EXPECT_EQ("254", Text());
    EXPECT_EQ(1, beeps);
    EXPECT_TRUE(ParentHeardOnlyFromField());
}

HWND SpinEdit::parent;

TEST_F(SpinEdit, ALoneMinusWaitsForItsDigitsInANegativeRange)
{
    Start(-10, 10, 5);
    SetForegroundWindow(parent);
    SetFocus(field);

    PressKeys({VK_OEM_MINUS, '7'});
    Pump(2000, [&] { return Text() == "-7"; });

    EXPECT_EQ("-7", Text());
    EXPECT_EQ(-7, (int16_t)LOWORD(SpinEdit_GetValue(field)));
    EXPECT_EQ(0, beeps);
}

// ---- What OK stores ----

TEST(ThresholdFromField, KeepsTheLowWordWithinTheRange)
{
    const struct {
        LRESULT raw;
        int32_t stored;
    } cases[] = {
        {200, 200},
        {1, 1},
        {254, 254},
        {0x100C8, 200},   // the text was unreadable: the last position counts
        {0x10000, 1},
        {0, 1},
        {255, 254},
        {0xFFFF, 1},      // position -1
        {0x17FFF, 254},
    };
    for (auto c : cases)
        EXPECT_EQ(c.stored, ThresholdFromFieldValue(c.raw)) << std::hex << c.raw;
}

// ---- The dialog, run from the built plug-in ----

// Steps through a dialog from a thread timer while the plug-in's modal loop
// runs: each tick finds the dialog, then performs the next step; a step that
// returns false is asked again on the next tick.
struct DialogScript {
    std::vector<std::function<bool(HWND dialog)>> steps;
    size_t next = 0;
    int ticks = 0;
    bool timedOut = false;
    HWND dialog = NULL;
    std::string caption, shownAtOpen;
    RECT frame = {};
    bool focusOnFieldAtOpen = false, selectedAtOpen = false;
};
DialogScript *script;
const UINT tickMs = 20;
const int giveUpTicks = 10000 / tickMs;

HWND FieldEdit(HWND dialog)
{
    return GetDlgItem(GetDlgItem(dialog, IDC_THRESHOLD), ID_SPIN_EDIT);
}

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM found)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) {
        *(HWND *)found = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    DialogScript &s = *script;
    if (++s.ticks > giveUpTicks) {
        s.timedOut = true;
        if (s.dialog && IsWindow(s.dialog))
            PostMessageA(s.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    if (!s.dialog) {
        HWND found = NULL;
        EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, (LPARAM)&found);
        if (!found)
            return;
        s.dialog = found;
        s.caption = TextOf(found);
        s.shownAtOpen = TextOf(FieldEdit(found));
        s.focusOnFieldAtOpen = GetFocus() == FieldEdit(found);
        s.selectedAtOpen = WholeTextSelected(FieldEdit(found));
        GetWindowRect(found, &s.frame);
        SetForegroundWindow(found);
    }
    if (s.next < s.steps.size() && IsWindow(s.dialog) && s.steps[s.next](s.dialog))
        ++s.next;
}

std::function<bool(HWND)> Keys(std::vector<WORD> keys)
{
    return [keys](HWND) {
        PressKeys(keys);
        return true;
    };
}

std::function<bool(HWND)> WaitForField(std::string text)
{
    return [text](HWND dialog) { return TextOf(FieldEdit(dialog)) == text; };
}

std::function<bool(HWND)> Post(UINT message, WPARAM wParam)
{
    return [message, wParam](HWND dialog) {
        PostMessageA(dialog, message, wParam, 0);
        return true;
    };
}

std::function<bool(HWND)> Click(int id)
{
    return [id](HWND dialog) {
        PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
        return true;
    };
}

const uint8_t layerGrey = 100;
const uint8_t transparencies[] = {1, 127, 128, 199, 200, 254};

// The hard-edge plug-in as a host runs it: Prepare, then Start with the
// script answering the dialog.
class ThresholdDialog : public testing::Test {
protected:
    HostPlugin plugin = {};

    void SetUp() override
    {
        plugin = HostLoadPlugin(PluginPath("stepedge.8bf").c_str());
        ASSERT_TRUE(plugin.entry);
    }

    void TearDown() override
    {
        if (plugin.module)
            FreeLibrary(plugin.module);
    }

    struct Outcome {
        int16_t result;
        DialogScript seen;
        std::vector<bool> painted;  // per pixel of transparencies: took the foreground colour
        std::vector<uint8_t> text;  // the error text handed to the host
    };

    Outcome Run(std::vector<std::function<bool(HWND)>> steps, int planes = 4,
                HWND hostWindow = NULL)
    {
        TestLayer layer(sizeof transparencies, 1);
        for (size_t x = 0; x < sizeof transparencies; ++x)
            layer.Set((int)x, 0, layerGrey, layerGrey, layerGrey, transparencies[x]);
        CanaryRecord canary;
        HostRun run = {};
        run.record = canary.record();
        run.layer = layer.Host();
        run.layer.planes = planes;
        HostBind(&run, hostWindow, Colour16(7, 7, 7));
        intptr_t data = 0;
        Outcome outcome;
        outcome.result = 0x5555;

        DialogScript s;
        s.steps = steps;
        script = &s;
        UINT_PTR timer = SetTimer(NULL, 0, tickMs, ScriptTick);
        plugin.entry(filterSelectorPrepare, run.record, &data, &outcome.result);
        plugin.entry(filterSelectorStart, run.record, &data, &outcome.result);
        KillTimer(NULL, timer);
        script = NULL;

        outcome.seen = s;
        for (size_t x = 0; x < sizeof transparencies; ++x)
            outcome.painted.push_back(layer.OutPixel((int)x, 0)[0] == 7);
        outcome.text.assign(run.errorText, run.errorText + 1 + run.errorText[0]);
        return outcome;
    }

    // Which pixels a run with this threshold paints.
    static std::vector<bool> PaintedBelow(int threshold)
    {
        std::vector<bool> painted;
        for (uint8_t t : transparencies)
            painted.push_back(t < threshold);
        return painted;
    }

    // Opens the dialog, reads what it shows, and cancels.
    std::string ShownByNextRun()
    {
        Outcome o = Run({Post(WM_SYSCOMMAND, SC_CLOSE)});
        EXPECT_EQ(userCanceledErr, o.result);
        return o.seen.shownAtOpen;
    }
};

TEST_F(ThresholdDialog, FirstRunShowsTheJapaneseDialogWith128AndEnterKeepsIt)
{
    Outcome o = Run({Keys({VK_RETURN})});

    EXPECT_FALSE(o.seen.timedOut);
    EXPECT_EQ("ハードエッジ", o.seen.caption);
    EXPECT_EQ("128", o.seen.shownAtOpen);
    EXPECT_TRUE(o.seen.focusOnFieldAtOpen);
    EXPECT_TRUE(o.seen.selectedAtOpen);
    EXPECT_EQ(noErr, o.result);
    EXPECT_EQ(PaintedBelow(128), o.painted);
}

TEST_F(ThresholdDialog, Typing200AndOkStoresItForThisAndTheNextRun)
{
    // Straight after opening, as a user would: the typed digits replace 128.
    Outcome o = Run({Keys({'2', '0', '0'}), WaitForField("200"), Click(IDOK)});

    EXPECT_FALSE(o.seen.timedOut);
    EXPECT_EQ(noErr, o.result);
    EXPECT_EQ(PaintedBelow(200), o.painted);
    EXPECT_EQ("200", ShownByNextRun());
}

TEST_F(ThresholdDialog, EveryWayOfCancellingKeepsTheThreshold)
{
    const struct {
        const char *label;
        std::function<bool(HWND)> cancel;
    } ways[] = {
        {"Cancel button", Click(IDCANCEL)},
        {"Escape", Keys({VK_ESCAPE})},
        {"close box", Post(WM_SYSCOMMAND, SC_CLOSE)},
    };
    for (auto &way : ways) {
        SCOPED_TRACE(way.label);
        Outcome o = Run({Keys({'2', '0', '0'}), WaitForField("200"), way.cancel});

        EXPECT_FALSE(o.seen.timedOut);
        EXPECT_EQ("128", o.seen.shownAtOpen);  // none of the earlier ways stored 200
        EXPECT_EQ(userCanceledErr, o.result);
        EXPECT_EQ(std::vector<bool>(sizeof transparencies, false), o.painted);
    }
    EXPECT_EQ("128", ShownByNextRun());
}

TEST_F(ThresholdDialog, OutOfRangeTypingIsCorrectedBeforeOk)
{
    const struct {
        const char *label;
        std::vector<WORD> keys;
        const char *shown;
        int stored;
    } cases[] = {
        {"above the range", {'2', '5', '5'}, "254", 254},
        {"zero", {'0'}, "1", 1},
        {"cleared", {VK_BACK}, "1", 1},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.label);
        Outcome o = Run({Keys(c.keys), WaitForField(c.shown),
                         Keys({VK_RETURN})});
        EXPECT_FALSE(o.seen.timedOut);
        EXPECT_EQ(noErr, o.result);
        EXPECT_EQ(PaintedBelow(c.stored), o.painted);
    }
}

TEST_F(ThresholdDialog, LayerWithoutTransparencyAsksFirstThenReportsTheText)
{
    Outcome o = Run({Keys({VK_RETURN})}, 3);

    EXPECT_EQ("128", o.seen.shownAtOpen);
    EXPECT_EQ(errReportString, o.result);
    const char expected[] = "\n\n画像に透明領域が無いか、レイヤ状態になっていません。";
    EXPECT_EQ(std::vector<uint8_t>(1, 54), std::vector<uint8_t>(o.text.begin(), o.text.begin() + 1));
    EXPECT_EQ(0, memcmp(expected, o.text.data() + 1, 54));
}

TEST_F(ThresholdDialog, ReloadingTheLibraryStartsAgainAt128)
{
    Outcome o = Run({Keys({'2', '0', '0'}), WaitForField("200"), Keys({VK_RETURN})});
    ASSERT_EQ(noErr, o.result);
    ASSERT_EQ("200", ShownByNextRun());

    FreeLibrary(plugin.module);
    plugin = HostLoadPlugin(PluginPath("stepedge.8bf").c_str());
    ASSERT_TRUE(plugin.entry);

    EXPECT_EQ("128", ShownByNextRun());
}

TEST_F(ThresholdDialog, WithoutAVisibleHostWindowItIsCentredOnTheScreen)
{
    HWND hidden = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 300, 200, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    for (HWND host : {(HWND)NULL, hidden}) {
        SCOPED_TRACE(host ? "hidden host window" : "no host window");
        Outcome o = Run({Post(WM_SYSCOMMAND, SC_CLOSE)}, 4, host);
        RECT f = o.seen.frame;
        int width = f.right - f.left, height = f.bottom - f.top;
        EXPECT_NEAR((GetSystemMetrics(SM_CXSCREEN) - width) / 2, f.left, 1);
        EXPECT_NEAR((GetSystemMetrics(SM_CYSCREEN) - height) / 2, f.top, 1);
    }
    DestroyWindow(hidden);
}

// ---- What OK stores when the field cannot read its text ----

// Stands in for the spin-edit field: answers the range and value messages,
// reads back a chosen raw value, and presses OK as soon as the dialog has set
// it up.
LRESULT fakeFieldReading;

LRESULT CALLBACK FakeFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case SPEM_SETRANGE:
        return 1;
    case SPEM_SETVALUE:
        PostMessageA(GetParent(window), WM_COMMAND, IDOK, 0);
        return 1;
    case SPEM_GETVALUE:
        return fakeFieldReading;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A classic template: the threshold dialog's frame with only the field.
std::vector<WORD> FakeFieldTemplate()
{
    std::vector<WORD> t;
    auto dword = [&](DWORD d) { t.push_back(LOWORD(d)); t.push_back(HIWORD(d)); };
    auto text = [&](const char *s) { while (*s) t.push_back((WORD)*s++); t.push_back(0); };
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    dword(0);
    t.push_back(1);                                      // one item
    for (WORD w : {0, 0, 151, 51}) t.push_back(w);       // x, y, cx, cy
    t.push_back(0);                                      // no menu
    t.push_back(0);                                      // the dialog class
    text("fake");
    if (t.size() % 2) t.push_back(0);                    // items start on a DWORD
    dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    dword(0);
    for (WORD w : {14, 21, 30, 14}) t.push_back(w);
    t.push_back(IDC_THRESHOLD);
    text("FakeThresholdField");
    text("");
    t.push_back(0);                                      // no creation data
    return t;
}

TEST(ThresholdDialogOk, StoresAThresholdWithinTheRangeWhateverTheFieldReads)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FakeFieldProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "FakeThresholdField";
    ASSERT_TRUE(RegisterClassA(&wc));
    const std::vector<WORD> dialogTemplate = FakeFieldTemplate();

    const struct {
        LRESULT reading;
        int32_t stored;
    } cases[] = {
        {0x100C8, 200},  // unreadable text; the position is still 200
        {0x10000, 1},    // unreadable text, position 0
    };
    for (auto c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.reading);
        threshold = 128;
        fakeFieldReading = c.reading;
        INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(NULL),
                                                 (LPCDLGTEMPLATEA)dialogTemplate.data(), NULL,
                                                 ThresholdDlgProc, 0);
        EXPECT_EQ(IDOK, result);
        EXPECT_EQ(c.stored, threshold);
    }
    UnregisterClassA("FakeThresholdField", GetModuleHandleA(NULL));
}

// ---- Registration at load and unload ----

bool ClassExists(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    return GetClassInfoExA(instance, SPINEDIT_CLASS, &wc) != 0;
}

TEST(SpinEditClass, LivesWithThePluginAndSparesAnotherModulesClass)
{
    HINSTANCE own = GetModuleHandleA(NULL);
    ASSERT_FALSE(ClassExists(own));

    HostPlugin plugin = HostLoadPlugin(PluginPath("stepedge.8bf").c_str());
    ASSERT_TRUE(plugin.module);
    EXPECT_TRUE(ClassExists(plugin.module));
    FreeLibrary(plugin.module);
    EXPECT_FALSE(ClassExists(own));

    // Another module registered the name first: the plug-in's registration
    // fails, and its unload must leave that module's class alone.
    RegisterSpinEditClass(own);
    ASSERT_TRUE(ClassExists(own));
    plugin = HostLoadPlugin(PluginPath("stepedge.8bf").c_str());
    ASSERT_TRUE(plugin.module);
    FreeLibrary(plugin.module);
    EXPECT_TRUE(ClassExists(own));
    UnregisterSpinEditClass(own);
    EXPECT_FALSE(ClassExists(own));
}

}  // namespace

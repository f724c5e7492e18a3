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

}  // namespace

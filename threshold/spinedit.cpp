// The spin-edit field: a single-line edit control with a buddied up-down
// control, keeping its number inside a range. Refused input is answered with
// a beep and a corrected, selected text; every change is reported to the
// parent as WM_COMMAND (own id, code 0).
#include "threshold/threshold.h"
#include "winutil/winutil.h"

#include <commctrl.h>
#include <stdlib.h>

static const DWORD editStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;
static const DWORD upDownStyle = WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT |
                                 UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
static const UINT classStyle = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_GLOBALCLASS;
static const int textSize = 100;  // bytes of every text buffer, terminator included

MessageBeepProc spinEditBeep = MessageBeep;

// Whether this library's RegisterClassExA took effect: only then is the class
// ours to unregister.
static BOOL spinEditClassRegistered;

static SpinEditData *GetData(HWND control)
{
    return (SpinEditData *)GetWindowLongPtrA(control, 0);
}

static void Beep(void)
{
    spinEditBeep(MB_OK);
}

// Puts n into the edit control as "%d"; the edit control's EN_CHANGE is
// handled before this returns.
static void ShowNumber(SpinEditData *data, int32_t n)
{
    char text[textSize];
    wsprintfA(text, "%d", n);
    SetWindowTextA(data->hwndEdit, text);
}

static void SelectAll(SpinEditData *data)
{
    SendMessageA(data->hwndEdit, EM_SETSEL, 0, -1);
}

static void NotifyParent(HWND control)
{
    SendCommand(GetParent(control), GetDlgCtrlID(control), 0);
}

// Builds the record and the two children. 0, or -1 (creation fails) when the
// record cannot be allocated. The record is stored last, so the children's
// notifications during creation go unvalidated and reach no parent.
static LRESULT SPINEDIT_Create(HWND control)
{
    SpinEditData *data = (SpinEditData *)MemAllocZero(sizeof(SpinEditData), 1);
    if (!data)
        return -1;
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(control, GWLP_HINSTANCE);
    WPARAM font = (WPARAM)SendMessageA(GetParent(control), WM_GETFONT, 0, 0);

    data->hwndEdit = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", editStyle, 0, 0, 1, 1, control,
                                     (HMENU)ID_SPIN_EDIT, instance, NULL);
    SendMessageA(data->hwndEdit, WM_SETFONT, font, 0);
    data->hwndUpDown = CreateUpDownControl(upDownStyle, 0, 0, 1, 1, control, ID_SPIN_UPDOWN,
                                           instance, data->hwndEdit, 0, 0, 0);
    SendMessageA(data->hwndUpDown, WM_SETFONT, font, 0);
    SendMessageA(data->hwndUpDown, UDM_SETRANGE, 0, MAKELONG(data->maxValue, data->minValue));
    SendMessageA(data->hwndUpDown, UDM_SETPOS, 0, MAKELONG(data->value, 0));
    ShowNumber(data, data->value);

    SetWindowLongPtrA(control, 0, (LONG_PTR)data);
    return 0;
}

static LRESULT SPINEDIT_Destroy(HWND control, SpinEditData *data)
{
    MemFree(data);
    SetWindowLongPtrA(control, 0, 0);
    return 0;
}

// The edit control covers the client area; re-buddying puts the up-down
// control back at its right end.
static LRESULT SPINEDIT_Size(SpinEditData *data, LPARAM size)
{
    MoveWindow(data->hwndEdit, 0, 0, LOWORD(size), HIWORD(size), TRUE);
    SendMessageA(data->hwndUpDown, UDM_SETBUDDY, (WPARAM)data->hwndEdit, 0);
    return 0;
}

// The focus goes on to the edit control with its whole text selected, so the
// first keystroke replaces the number. The dialog manager selects only in
// controls that answer DLGC_HASSETSEL, which this container does not; without
// this a user typing 200 into a fresh dialog would get "2128".
static LRESULT SPINEDIT_SetFocus(SpinEditData *data)
{
    SetFocus(data->hwndEdit);
    SelectAll(data);
    return 0;
}

static LRESULT SPINEDIT_Enable(SpinEditData *data, BOOL enable)
{
    EnableWindow(data->hwndEdit, enable);
    EnableWindow(data->hwndUpDown, enable);
    return 1;
}

// An arrow step proposed by the up-down control. 1 cancels it (with a beep)
// at either end of the range; otherwise the parent hears of it before the
// up-down control moves, and 0 lets the step go ahead.
static LRESULT SPINEDIT_DeltaPos(HWND control, SpinEditData *data, const NMUPDOWN *step)
{
    if ((step->iPos == data->minValue && step->iDelta < 0) ||
        (step->iPos == data->maxValue && step->iDelta > 0)) {
        Beep();
        return 1;
    }
    data->value = step->iPos + step->iDelta;
    NotifyParent(control);
    return 0;
}

static LRESULT SPINEDIT_Notify(HWND control, SpinEditData *data, const NMHDR *header)
{
    if (header->code == (UINT)UDN_DELTAPOS)
        return SPINEDIT_DeltaPos(control, data, (const NMUPDOWN *)header);
    return 0;
}

// The edit control's text changed (typed, pasted, or shown by this control).
// Only a plain decimal number, the empty text, or a lone "-" when the range
// reaches below 0 stands; anything else is put back to value. The number read
// from the text is then held inside the range and becomes the up-down
// position (except for a lone "-", which has no number yet). Notifies the
// parent.
static void SPINEDIT_TextChanged(HWND control, SpinEditData *data)
{
    char text[textSize];
    char canonical[textSize];
    GetWindowTextA(data->hwndEdit, text, textSize);
    int32_t n = atoi(text);
    wsprintfA(canonical, "%d", n);

    BOOL accepted = text[0] == '\0' || lstrcmpA(text, canonical) == 0 ||
                    (data->minValue < 0 && lstrcmpA(text, "-") == 0);
    if (!accepted) {
        Beep();
        ShowNumber(data, data->value);
        SelectAll(data);
    }
    if (n < data->minValue) {
        Beep();
        data->value = data->minValue;
        ShowNumber(data, data->minValue);
        SelectAll(data);
    }
    if (n > data->maxValue) {
        Beep();
        data->value = data->maxValue;
        ShowNumber(data, data->maxValue);
        SelectAll(data);
    }
    // The up-down control writes every position it is given into the edit
    // control: given the 0 that a lone "-" reads as, it would replace the sign
    // the user just typed, and no negative number could be typed key by key.
    if (!(accepted && lstrcmpA(text, "-") == 0))
        SendMessageA(data->hwndUpDown, UDM_SETPOS, 0, MAKELONG(n, 0));
    NotifyParent(control);
}

// Focus left the edit control: a lone "-" or an empty text is no number to
// leave behind. The parent hears of the correction through the text change.
static void SPINEDIT_EditLostFocus(SpinEditData *data)
{
    char text[textSize];
    GetWindowTextA(data->hwndEdit, text, textSize);
    if (text[0] == '\0' || lstrcmpA(text, "-") == 0) {
        Beep();
        ShowNumber(data, data->value);
        SelectAll(data);
    }
}

static LRESULT SPINEDIT_Command(HWND control, SpinEditData *data, UINT message, WPARAM wParam,
                                LPARAM lParam)
{
    if (LOWORD(wParam) == ID_SPIN_EDIT) {
        switch (HIWORD(wParam)) {
        case EN_CHANGE:
            SPINEDIT_TextChanged(control, data);
            return 0;
        case EN_KILLFOCUS:
            SPINEDIT_EditLostFocus(data);
            return 0;
        }
    }
    return DefWindowProcA(control, message, wParam, lParam);
}

// 1 when applied; 0 (nothing changed) when lower > upper. A value left
// outside the new range is moved to its nearer end, silently.
static LRESULT SPINEDIT_SetRange(SpinEditData *data, int32_t lower, int32_t upper)
{
    if (lower > upper)
        return 0;
    data->minValue = lower;
    data->maxValue = upper;
    SendMessageA(data->hwndUpDown, UDM_SETRANGE, 0, MAKELONG(upper, lower));
    if (data->value < data->minValue) {
        data->value = data->minValue;
        ShowNumber(data, data->value);
    } else if (data->value > data->maxValue) {
        data->value = data->maxValue;
        ShowNumber(data, data->value);
    }
    InvalidateRect(data->hwndUpDown, NULL, TRUE);
    return 1;
}

// 1 when applied; 0 (nothing changed) when value lies outside the range.
static LRESULT SPINEDIT_SetValue(SpinEditData *data, int32_t value)
{
    if (value < data->minValue || value > data->maxValue)
        return 0;
    data->value = value;
    SendMessageA(data->hwndUpDown, UDM_SETPOS, 0, MAKELONG(value, 0));
    ShowNumber(data, value);
    return 1;
}

// The up-down control reads the number from the edit control's text; its
// answer is kept and returned whole, error word included.
static LRESULT SPINEDIT_GetValue(SpinEditData *data)
{
    data->value = (int32_t)SendMessageA(data->hwndUpDown, UDM_GETPOS, 0, 0);
    return data->value;
}

LRESULT CALLBACK SpinEditWndProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return SPINEDIT_Create(control);

    SpinEditData *data = GetData(control);
    if (!data) {
        switch (message) {
        case WM_DESTROY:
        case SPEM_SETRANGE:
        case SPEM_SETVALUE:
        case SPEM_GETVALUE:
            return 0;
        }
        return DefWindowProcA(control, message, wParam, lParam);
    }

    switch (message) {
    case WM_DESTROY:
        return SPINEDIT_Destroy(control, data);
    case WM_SIZE:
        return SPINEDIT_Size(data, lParam);
    case WM_SETFOCUS:
        return SPINEDIT_SetFocus(data);
    case WM_ENABLE:
        return SPINEDIT_Enable(data, (BOOL)wParam);
    case WM_NOTIFY:
        return SPINEDIT_Notify(control, data, (const NMHDR *)lParam);
    case WM_COMMAND:
        return SPINEDIT_Command(control, data, message, wParam, lParam);
    case SPEM_SETRANGE:
        return SPINEDIT_SetRange(data, (int32_t)wParam, (int32_t)lParam);
    case SPEM_SETVALUE:
        return SPINEDIT_SetValue(data, (int32_t)wParam);
    case SPEM_GETVALUE:
        return SPINEDIT_GetValue(data);
    }
    return DefWindowProcA(control, message, wParam, lParam);
}

LRESULT SpinEdit_SetRange(HWND control, int32_t lower, int32_t upper)
{
    return SendMessageA(control, SPEM_SETRANGE, (WPARAM)(INT_PTR)lower, (LPARAM)upper);
}

LRESULT SpinEdit_SetValue(HWND control, int32_t value)
{
    return SendMessageA(control, SPEM_SETVALUE, (WPARAM)(INT_PTR)value, 0);
}

LRESULT SpinEdit_GetValue(HWND control)
{
    return SendMessageA(control, SPEM_GETVALUE, 0, 0);
}

int RegisterSpinEditClass(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = SpinEditWndProc;
    wc.cbWndExtra = sizeof(SpinEditData *);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.lpszClassName = SPINEDIT_CLASS;
    spinEditClassRegistered = RegisterClassExA(&wc) != 0;
    return 1;
}

void UnregisterSpinEditClass(HINSTANCE instance)
{
    if (!spinEditClassRegistered)
        return;
    UnregisterClassA(SPINEDIT_CLASS, instance);
    spinEditClassRegistered = FALSE;
}

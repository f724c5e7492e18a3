// Threshold input of the hard-edge filter: the spin-edit field and the dialog
// that asks for the threshold.
#ifndef QUILLMERE_THRESHOLD_H
#define QUILLMERE_THRESHOLD_H

#include <windows.h>
#include <stdint.h>

// ---- The threshold dialog ----

#define IDD_THRESHOLD 101
#define IDC_THRESHOLD 1010

INT_PTR CALLBACK ThresholdDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the modal dialog owned by owner; 1 (OK) after the threshold was stored,
// anything else when the run is not to take place.
INT_PTR RunThresholdDialog(HWND owner);

// What OK stores for a raw SPEM_GETVALUE result: the position in the low word,
// kept within 1 to 254 whatever the high word says about the field's text.
int32_t ThresholdFromFieldValue(LRESULT fieldValue);

// ---- The spin-edit field (window class "ZBSpinEdit") ----

#define SPINEDIT_CLASS "ZBSpinEdit"

// The children's control ids inside the field.
#define ID_SPIN_EDIT 101
#define ID_SPIN_UPDOWN 102

// wParam = lower end, lParam = upper end (signed 32-bit): 1 when applied, 0
// when lower > upper.
#define SPEM_SETRANGE (WM_USER + 1)
// wParam = new value: 1 when applied, 0 when outside the range.
#define SPEM_SETVALUE (WM_USER + 2)
// The up-down control's UDM_GETPOS result, unchanged: position in the low
// word, nonzero high word when the text is not a number.
#define SPEM_GETVALUE (WM_USER + 3)

// One per field, behind the window's extra word 0.
struct SpinEditData {
    int32_t maxValue;  // upper end of the range
    int32_t minValue;  // lower end of the range
    int32_t value;     // last number set, stepped, clamped or read back: what refused text reverts to
    HWND hwndEdit;     // child edit control, ID_SPIN_EDIT
    HWND hwndUpDown;   // child up-down control buddied to the edit, ID_SPIN_UPDOWN
};

// Every refusal beeps through this; unit tests replace it to count beeps.
typedef BOOL(WINAPI *MessageBeepProc)(UINT type);
extern MessageBeepProc spinEditBeep;

// Registers the class for instance; returns 1. Whether this call's
// registration took effect is remembered, so that UnregisterSpinEditClass
// removes only a class this library registered (not one of the same
// application-global name that another module of the process owns).
int RegisterSpinEditClass(HINSTANCE instance);
void UnregisterSpinEditClass(HINSTANCE instance);

LRESULT CALLBACK SpinEditWndProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT SpinEdit_SetRange(HWND control, int32_t lower, int32_t upper);
LRESULT SpinEdit_SetValue(HWND control, int32_t value);
LRESULT SpinEdit_GetValue(HWND control);

#endif

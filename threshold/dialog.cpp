// The dialog that asks for the threshold before every run of the hard-edge
// filter.
#include "threshold/threshold.h"
#include "kernels/kernels.h"
#include "winutil/winutil.h"

static const int32_t lowestThreshold = 1;
static const int32_t highestThreshold = 254;

int32_t ThresholdFromFieldValue(LRESULT fieldValue)
{
    // The high word only says whether the up-down control could read the
    // field's text; the position it holds is in the low word. Stored whole,
    // an unreadable text would give a threshold of 65536 or more.
    int32_t position = (int16_t)LOWORD(fieldValue);
    if (position < lowestThreshold)
        return lowestThreshold;
    if (position > highestThreshold)
        return highestThreshold;
    return position;
}

static BOOL THRESHOLD_InitDialog(HWND dialog)
{
    CenterWindow(dialog, GetParent(dialog));
    HWND field = GetDlgItem(dialog, IDC_THRESHOLD);
    SpinEdit_SetRange(field, lowestThreshold, highestThreshold);
    SpinEdit_SetValue(field, threshold);
    return TRUE;  // the focus goes to the field, which selects its text
}

static BOOL THRESHOLD_Confirm(HWND dialog)
{
    threshold = ThresholdFromFieldValue(SpinEdit_GetValue(GetDlgItem(dialog, IDC_THRESHOLD)));
    EndDialog(dialog, IDOK);
    return TRUE;
}

INT_PTR CALLBACK ThresholdDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    switch (message) {
    case WM_INITDIALOG:
        return THRESHOLD_InitDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            return THRESHOLD_Confirm(dialog);
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR RunThresholdDialog(HWND owner)
{
    return DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(IDD_THRESHOLD), owner,
                           ThresholdDlgProc, 0);
}

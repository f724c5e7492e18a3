#include "threshold/threshold.h"
#include "kernels/kernels.h"
#include "winutil/winutil.h"

INT_PTR CALLBACK ThresholdDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog, GetParent(dialog));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, IDOK);
            return TRUE;
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

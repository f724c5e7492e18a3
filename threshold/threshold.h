// The threshold dialog of the hard-edge filter.
#ifndef QUILLMERE_THRESHOLD_H
#define QUILLMERE_THRESHOLD_H

#include <windows.h>

#define IDD_THRESHOLD 101
#define IDC_THRESHOLD 1010

INT_PTR CALLBACK ThresholdDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the modal dialog owned by owner; 1 (OK) after the threshold was stored,
// anything else when the run is not to take place.
INT_PTR RunThresholdDialog(HWND owner);

#endif

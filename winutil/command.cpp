// Kept apart from the other helpers so that a library which never sends a
// command (only the spin-edit field does) links none of it.
#include "winutil.h"

LRESULT SendCommand(HWND target, int id, UINT code)
{
    return SendMessageA(target, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)GetDlgItem(target, id));
}

#include "winutil.h"

BOOL PostCommand(HWND target, int id, UINT code)
{
    return PostMessageA(target, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)GetDlgItem(target, id));
}

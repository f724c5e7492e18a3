// Window placement: centring and rectangle conversions.
#include "winutil.h"

static const UINT moveHidden = SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW;  // 13
static const UINT moveVisible = SWP_NOSIZE | SWP_NOZORDER;                // 5

int CalcCenteredPos(HWND window, HWND parent, int *x, int *y)
{
    if (!IsWindow(window) || IsIconic(window) || IsZoomed(window))
        return 0;

    RECT area;
    if (parent && IsWindowVisible(parent) && IsWindow(parent)) {
        GetWindowRect(parent, &area);
    } else {
        area.left = 0;
        area.top = 0;
        area.right = GetSystemMetrics(SM_CXSCREEN);
        area.bottom = GetSystemMetrics(SM_CYSCREEN);
    }

    RECT own;
    GetWindowRect(window, &own);
    int w = own.right - own.left;
    int h = own.bottom - own.top;

    int px = area.left + (area.right - area.left - w) / 2;
    int py = area.top + (area.bottom - area.top - h) / 2;

    // Keep the far edges inside the full-screen area first, then the near
    // edges: a window too big for the area ends with its top-left visible.
    int maxX = GetSystemMetrics(SM_CXFULLSCREEN) - w;
    int maxY = GetSystemMetrics(SM_CYFULLSCREEN) - h;
    if (px >= maxX)
        px = maxX;
    if (py >= maxY)
        py = maxY;
    if (px <= 0)
        px = 0;
    if (py <= 0)
        py = 0;

    *x = px;
    *y = py;
    return 1;
}

void CenterWindow(HWND window, HWND parent)
{
    int x, y;
    if (!CalcCenteredPos(window, parent, &x, &y))
        return;
    SetWindowPos(window, NULL, x, y, 0, 0, IsWindowVisible(window) ? moveVisible : moveHidden);
}

void GetChildRect(HWND parent, int id, RECT *rect)
{
    GetWindowRect(GetDlgItem(parent, id), rect);
    ScreenToClient(parent, (POINT *)&rect->left);
    ScreenToClient(parent, (POINT *)&rect->right);
}

void ClientRectToScreen(HWND window, RECT *rect)
{
    ClientToScreen(window, (POINT *)&rect->left);
    ClientToScreen(window, (POINT *)&rect->right);
}

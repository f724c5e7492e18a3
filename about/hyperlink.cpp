// ZBHyperLink: the window text as an underlined, centred line in the normal,
// hover or visited colour, with a hand cursor; a click is reported to the
// parent as WM_COMMAND (own id, code 0).
#include "about/about.h"
#include "winutil/winutil.h"

#include <string.h>

// The hover check runs on a timer as well as on mouse moves: without capture
// (another window may hold it) a move off the control never arrives here.
static const UINT_PTR hoverTimerRequest = 101;
static const UINT hoverTimerPeriodMs = 200;
// Window text is read into a buffer of this size (299 bytes and the zero).
static const int linkTextBuffer = 300;

const char makerAddress[] = "https://quillmere.example/";

UINT_PTR hoverTimerId = 0;
// Whether this library's RegisterClassExA succeeded; only then may it
// unregister, since unregistering goes by name and would otherwise take the
// class away from the other loaded library that made it.
static int hyperLinkRegisteredHere = 0;

struct HyperLinkData {
    COLORREF bkColor;       // fill behind the text when the parent clips its children
    COLORREF linkColor;     // text colour when neither hovered nor visited
    COLORREF hoverColor;    // text colour while hover is set
    COLORREF visitedColor;  // text colour once visited, when not hovered
    int visited;            // set by the first click, never cleared
    int hover;              // the pointer is taken to be over the control
    int hotPainted;         // a mouse move set hover and repainted at once
    HCURSOR cursor;         // shown over the control; destroyed with it
};

static HyperLinkData *LinkData(HWND control)
{
    return control ? (HyperLinkData *)GetWindowLongPtrA(control, 0) : NULL;
}

int SetLinkCursor(HWND control, HCURSOR cursor)
{
    HyperLinkData *data = LinkData(control);
    if (!data)
        return 0;
    data->cursor = cursor;
    return 1;
}

BOOL SetLinkColors(HWND control, COLORREF bkColor, COLORREF linkColor, COLORREF hoverColor,
                   COLORREF visitedColor)
{
    HyperLinkData *data = LinkData(control);
    if (!data)
        return 0;
    data->bkColor = bkColor;
    data->linkColor = linkColor;
    data->hoverColor = hoverColor;
    data->visitedColor = visitedColor;
    return InvalidateRect(control, NULL, TRUE);
}

// Fills the record and the text; -1 refuses creation when there is no memory.
static LRESULT LINK_OnCreate(HWND control)
{
    HyperLinkData *data = (HyperLinkData *)MemAllocZero(sizeof(HyperLinkData), 1);
    if (!data)
        return -1;
    SetWindowLongPtrA(control, 0, (LONG_PTR)data);
    data->bkColor = GetSysColor(COLOR_BTNFACE);
    data->hoverColor = 0x000000FF;
    data->linkColor = 0x00FF0000;
    data->visitedColor = 0x00800080;
    char text[linkTextBuffer];
    if (GetWindowTextA(control, text, sizeof text) <= 0)
        SetWindowTextA(control, makerAddress);
    HCURSOR hand = LoadCursorA(NULL, (LPCSTR)IDC_HAND);
    SetLinkCursor(control, hand ? hand : LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
    hoverTimerId = SetTimer(control, hoverTimerRequest, hoverTimerPeriodMs, NULL);
    return 0;
}

static void LINK_OnDestroy(HWND control, HyperLinkData *data)
{
    KillTimer(control, hoverTimerId);
    DestroyCursor(data->cursor);
    SetWindowLongPtrA(control, 0, 0);
    MemFree(data);
}

static void RepaintNow(HWND control)
{
    InvalidateRect(control, NULL, FALSE);
    UpdateWindow(control);
}

// The font to underline: the control's, else the parent's, else the system font.
static HFONT LinkBaseFont(HWND control)
{
    HFONT font = (HFONT)SendMessageA(control, WM_GETFONT, 0, 0);
    if (!font)
        font = (HFONT)SendMessageA(GetParent(control), WM_GETFONT, 0, 0);
    if (!font)
        font = (HFONT)GetStockObject(SYSTEM_FONT);
    return font;
}

// Paints the text into dc; shared by WM_PAINT, WM_PRINT and WM_PRINTCLIENT.
static void LINK_Paint(HWND control, HyperLinkData *data, HDC dc)
{
    char text[linkTextBuffer];
    GetWindowTextA(control, text, sizeof text);
    // Over a clipping parent nothing behind the control shows through, so the
    // text cells are filled; otherwise the parent's pixels stay.
    if (GetWindowLongA(GetParent(control), GWL_STYLE) & WS_CLIPCHILDREN)
        SetBkColor(dc, data->bkColor);
    else
        SetBkMode(dc, TRANSPARENT);
    LOGFONTA logFont;
    memset(&logFont, 0, sizeof logFont);
    GetObjectA(LinkBaseFont(control), sizeof logFont, &logFont);
    logFont.lfUnderline = 1;
    HFONT underlined = CreateFontIndirectA(&logFont);
    SetBkColor(dc, data->bkColor);
    SetTextColor(dc, data->hover ? data->hoverColor
                                 : data->visited ? data->visitedColor : data->linkColor);
    HGDIOBJ previous = SelectObject(dc, underlined);
    RECT client;
    GetClientRect(control, &client);
    DrawTextA(dc, text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SelectObject(dc, previous);
    DeleteObject(underlined);
}

static void LINK_OnPaint(HWND control, HyperLinkData *data)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    LINK_Paint(control, data, dc);
    EndPaint(control, &paint);
}

// Hover by mouse moves: capture keeps the move that leaves the control
// coming here.
static void LINK_OnMouseMove(HWND control, HyperLinkData *data, LPARAM lParam)
{
    POINT point = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    RECT client;
    GetClientRect(control, &client);
    if (!PtInRect(&client, point)) {
        ReleaseCapture();
        data->hover = 0;
        data->hotPainted = 0;
        RepaintNow(control);
    } else if (!data->hover) {
        data->hover = 1;
        if (!data->hotPainted) {
            data->hotPainted = 1;
            RepaintNow(control);
        }
        SetCapture(control);
    }
}

// Hover by timer, from the pointer's position alone; a disabled parent (a
// modal window above it) turns no hover on.
static void LINK_OnTimer(HWND control, HyperLinkData *data)
{
    POINT cursor;
    RECT window;
    GetCursorPos(&cursor);
    GetWindowRect(control, &window);
    const int inside = PtInRect(&window, cursor);
    if (data->hover) {
        if (!inside) {
            data->hotPainted = 0;
            data->hover = 0;
            InvalidateRect(control, NULL, TRUE);
        }
    } else if (IsWindowEnabled(GetParent(control)) && inside) {
        data->hotPainted = 0;
        data->hover = 1;
        InvalidateRect(control, NULL, TRUE);
    }
}

// A release counts whatever was pressed where. The parent may not destroy
// the control while it handles the notification: the record is used after.
static void LINK_OnButtonUp(HWND control, HyperLinkData *data)
{
    data->visited = 1;
    SendMessageA(GetParent(control), WM_COMMAND,
                 MAKEWPARAM((WORD)GetDlgCtrlID(control), 0), (LPARAM)control);
    data->hotPainted = 0;
    data->hover = 0;
    RepaintNow(control);
}

LRESULT CALLBACK HyperLinkWndProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return LINK_OnCreate(control);
    HyperLinkData *data = LinkData(control);
    if (!data) {
        if (message == WM_SETCURSOR) {
            SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
            return 0;
        }
        return DefWindowProcA(control, message, wParam, lParam);
    }
    switch (message) {
    case WM_DESTROY: LINK_OnDestroy(control, data); return 0;
    case WM_PAINT: LINK_OnPaint(control, data); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETCURSOR:
        SetCursor(data->cursor ? data->cursor : LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
        return 0;
    case WM_TIMER:
        if (wParam != hoverTimerId)
            break;
        LINK_OnTimer(control, data);
        return 1;
    case WM_MOUSEMOVE: LINK_OnMouseMove(control, data, lParam); return 0;
    case WM_LBUTTONUP: LINK_OnButtonUp(control, data); return 1;
    case WM_PRINT:
    case WM_PRINTCLIENT: LINK_Paint(control, data, (HDC)wParam); return 1;
    }
    return DefWindowProcA(control, message, wParam, lParam);
}

int RegisterHyperLinkClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_GLOBALCLASS | CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = HyperLinkWndProc;
    windowClass.cbWndExtra = sizeof(HyperLinkData *);
    windowClass.hInstance = instance;
    windowClass.lpszClassName = HYPERLINK_CLASS;
    // Fails when another module of the process registered the global class
    // first; new controls then use that one.
    hyperLinkRegisteredHere = RegisterClassExA(&windowClass) != 0;
    return 1;
}

void UnregisterHyperLinkClass(HINSTANCE instance)
{
    if (hyperLinkRegisteredHere && UnregisterClassA(HYPERLINK_CLASS, instance))
        hyperLinkRegisteredHere = 0;
}

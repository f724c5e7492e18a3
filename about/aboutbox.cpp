// The About window: a modal dialog from an in-memory template whose 280 x 150
// client area always shows the animation's current frame, with an OK button
// and a link to the maker that appear once the face has faded in.
#include "about/about.h"
#include "winutil/winutil.h"

#include <shellapi.h>
#include <string.h>

static const UINT aboutTimerPeriodMs = 1;
static const int okButtonX = 182, okButtonY = 119, okButtonWidth = 88, okButtonHeight = 21;
// The plug-in's icon on the face; right and bottom exclusive, as PtInRect tests.
static const RECT iconRect = {12, 9, 52, 52};
static const char uiFontFace[] = "ＭＳ Ｐゴシック";
static const char unknownErrorText[] = "原因不明のエラーが発生しました。";

// WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, no items,
// 187 x 93 dialog units, no caption (set at run time), 9-point font. Its size
// and font only matter until set-up has run.
alignas(4) extern const unsigned char aboutTemplate[] = {
    0xC0, 0x00, 0xC8, 0x80,  // style
    0x00, 0x00, 0x00, 0x00,  // extended style
    0x00, 0x00,              // item count
    0x00, 0x00, 0x00, 0x00,  // x, y
    0xBB, 0x00, 0x5D, 0x00,  // cx 187, cy 93
    0x00, 0x00,              // no menu
    0x00, 0x00,              // the system dialog class
    0x00, 0x00,              // empty title
    0x09, 0x00,              // point size
    0x2D, 0xFF, 0x33, 0xFF, 0x20, 0x00, 0x30, 0xFF, 0xB4, 0x30, 0xB7, 0x30, 0xC3, 0x30, 0xAF, 0x30,
    0x00, 0x00,
};
static_assert(sizeof(aboutTemplate) == 44, "the About template is 44 bytes");

HWND aboutWindow;
HFONT aboutFont;
HCURSOR arrowCursor, handCursor;
UINT_PTR aboutTimerId;
ShellOpenProc aboutShellOpen = ShellExecuteA;

INT_PTR ShowAboutBox(HWND owner)
{
    return DialogBoxIndirectParamA(moduleInstance, (LPCDLGTEMPLATEA)aboutTemplate, owner,
                                   AboutDlgProc, 0);
}

int GetVersionText(char *buffer, size_t size)
{
    if (!buffer || size == 0)
        return 0;
    char fileName[260];
    GetModuleFileNameA(moduleInstance, fileName, sizeof fileName);
    DWORD handle = 0;
    DWORD blockSize = GetFileVersionInfoSizeA(fileName, &handle);
    void *block = MemAlloc(blockSize);
    if (!block || !GetFileVersionInfoA(fileName, 0, blockSize, block)) {
        lstrcpynA(buffer, "?.??", (int)size);
        MemFree(block);
        return 0;
    }
    WORD *translation = NULL;
    UINT length = 0;
    if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", (void **)&translation, &length)
        || length < 4) {
        MemFree(block);
        return 0;
    }
    char query[100];
    wsprintfA(query, "\\StringFileInfo\\%04x%04x\\FileVersion", translation[0], translation[1]);
    char *text = NULL;
    int copied = 0;
    if (VerQueryValueA(block, query, (void **)&text, &length) && text) {
        // Bounded by the caller's buffer: a longer version text is cut, never
        // written past the end.
        lstrcpynA(buffer, text, size > 0x7FFFFFFF ? 0x7FFFFFFF : (int)size);
        copied = 1;
    }
    MemFree(block);
    return copied;
}

static void ABOUT_OnInitDialog(HWND window)
{
    aboutWindow = window;
    aboutTimerId = 0;
    arrowCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    handCursor = LoadCursorA(NULL, (LPCSTR)IDC_HAND);
    if (!handCursor)
        handCursor = LoadCursorA(moduleInstance, MAKEINTRESOURCEA(106));
    SetWindowTextA(window, aboutCaption);
    // Clipping the children also makes the link fill its text background.
    SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | WS_CLIPCHILDREN);
    aboutFont = CreateUIFont(12, 0, uiFontFace, 0, 0, 0);
    SendMessageA(window, WM_SETFONT, (WPARAM)aboutFont, TRUE);
    SetWindowLongPtrA(window, DWLP_USER, (LONG_PTR)aboutFont);

    HWND ok = CreateWindowExA(0, "Button", "OK", WS_CHILD | BS_DEFPUSHBUTTON, 0, 0, okButtonWidth,
                              okButtonHeight, window, (HMENU)(INT_PTR)IDOK, moduleInstance, NULL);
    SendMessageA(ok, WM_SETFONT, (WPARAM)aboutFont, TRUE);
    HWND link = CreateWindowExA(0, HYPERLINK_CLASS, makerAddress, WS_CHILD | WS_VISIBLE, 0, 0, 10,
                                10, window, (HMENU)(INT_PTR)IDC_ABOUT_LINK, moduleInstance, NULL);
    SetLinkCursor(link, handCursor);
    SetLinkColors(link, 0x00FFFFFF, 0x00FF0000, 0x000000FF, 0x00800080);
    ShowWindow(link, SW_HIDE);
}

// The rest of set-up, once the controls exist; 0 when the frame cannot be
// computed (nothing more is made then, so teardown has nothing more to free).
static int ABOUT_SizeAndStart(HWND window)
{
    RECT frame = {0, 0, ABOUT_WIDTH, ABOUT_HEIGHT};
    if (!AdjustWindowRectEx(&frame, GetWindowLongA(window, GWL_STYLE), FALSE,
                            GetWindowLongA(window, GWL_EXSTYLE)))
        return 0;
    MoveWindow(window, 0, 0, frame.right - frame.left, frame.bottom - frame.top, FALSE);
    CenterWindow(window, NULL);
    AboutFaceCreate();
    AnimateShow(window);
    MoveWindow(GetDlgItem(window, IDOK), okButtonX, okButtonY, okButtonWidth, okButtonHeight, FALSE);
    aboutTimerId = SetTimer(window, ABOUT_TIMER_ID, aboutTimerPeriodMs, NULL);
    return 1;
}

static void ABOUT_PrintClient(HDC dc)
{
    BitBlt(dc, 0, 0, ABOUT_WIDTH, ABOUT_HEIGHT, displaySurface, 0, 0, SRCCOPY);
}

static void ABOUT_OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    ABOUT_PrintClient(dc);
    EndPaint(window, &paint);
}

static int PointOnIcon(HWND window, POINT screenPoint)
{
    RECT icon = iconRect;
    ClientRectToScreen(window, &icon);
    return PtInRect(&icon, screenPoint);
}

static void ABOUT_OnSetCursor(HWND window)
{
    POINT cursor;
    GetCursorPos(&cursor);
    SetCursor(!creditsRunning && aboutReady && PointOnIcon(window, cursor) ? handCursor
                                                                           : arrowCursor);
}

static void ABOUT_OnLButtonDown(HWND window, LPARAM lParam)
{
    POINT point = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    ClientToScreen(window, &point);
    if (aboutReady && PointOnIcon(window, point))
        creditsRunning = 1;
}

static INT_PTR ABOUT_OnCommand(HWND window, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
        AnimateHide(window);
        EndDialog(window, 1);
        return 1;
    case IDC_ABOUT_LINK:
        if (HIWORD(wParam) != 0)
            return 0;
        // Closed through a posted OK: the link is still inside its click.
        PostCommand(window, IDOK, 0);
        aboutShellOpen(window, "open", makerAddress, NULL, NULL, SW_SHOW);
        return 1;
    }
    return 0;
}

static void ABOUT_OnDestroy(HWND window)
{
    KillTimer(window, aboutTimerId);
    aboutTimerId = 0;
    DeleteObject(aboutFont);
    aboutFont = NULL;
    AboutFaceDestroy();
}

INT_PTR CALLBACK AboutDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ABOUT_OnInitDialog(window);
        if (!ABOUT_SizeAndStart(window)) {
            MessageBoxA(window, unknownErrorText, aboutErrorCaption, MB_ICONERROR);
            return -1;
        }
        return 1;
    case WM_TIMER:
        if (wParam != aboutTimerId || !aboutTimerId)
            return 0;
        AboutFaceStep(window);
        return 1;
    case WM_PAINT: ABOUT_OnPaint(window); return 1;
    case WM_PRINTCLIENT: ABOUT_PrintClient((HDC)wParam); return 1;
    case WM_ERASEBKGND: return 1;
    case WM_GETFONT:
        SetWindowLongPtrA(window, DWLP_MSGRESULT, (LONG_PTR)aboutFont);
        return (INT_PTR)aboutFont;
    case WM_SETCURSOR: ABOUT_OnSetCursor(window); return 1;
    case WM_LBUTTONDOWN: ABOUT_OnLButtonDown(window, lParam); return 1;
    case WM_COMMAND: return ABOUT_OnCommand(window, wParam);
    case WM_DESTROY: ABOUT_OnDestroy(window); return 1;
    }
    return 0;
}

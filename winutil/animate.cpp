// Animated show and hide through AnimateWindow where the system has it.
#include "winutil.h"

static const DWORD showMilliseconds = 400;
static const DWORD hideMilliseconds = 200;

typedef BOOL(WINAPI *AnimateWindowProc)(HWND, DWORD, DWORD);

BOOL TryAnimateWindow(HWND window, DWORD milliseconds, DWORD flags)
{
    HMODULE user = GetModuleHandleA("User32.dll");
    BOOL loadedHere = FALSE;
    if (!user) {
        user = LoadLibraryA("User32.dll");
        if (!user)
            return 0;
        loadedHere = TRUE;
    }

    BOOL result = 0;
    AnimateWindowProc animate = (AnimateWindowProc)(void *)GetProcAddress(user, "AnimateWindow");
    if (animate)
        result = animate(window, milliseconds, flags);

    if (loadedHere)
        FreeLibrary(user);
    return result;
}

int AnimateShow(HWND window)
{
    DWORD flags = IsWinNT() ? AW_BLEND : AW_CENTER;
    if (TryAnimateWindow(window, showMilliseconds, flags)) {
        InvalidateRect(window, NULL, TRUE);
    } else {
        ShowWindow(window, SW_SHOW);
    }
    UpdateWindow(window);
    return 0;
}

BOOL AnimateHide(HWND window)
{
    // The 9x expanding animation has no fade-out worth waiting for.
    if (!IsWinNT())
        return 1;
    return TryAnimateWindow(window, hideMilliseconds, AW_HIDE | AW_BLEND);
}

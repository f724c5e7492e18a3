// Window and system utilities shared by the window code of both plug-ins, the
// library's module handle, and the fault guard around pixel work.
#ifndef QUILLMERE_WINUTIL_H
#define QUILLMERE_WINUTIL_H

#include <windows.h>
#include <stdint.h>

// The library's module instance, stored when the process attaches it.
extern HINSTANCE moduleInstance;

// Commands on behalf of a child: WM_COMMAND to target with wParam =
// MAKEWPARAM(id, code) and lParam = the target's child bearing that id.
LRESULT SendCommand(HWND target, int id, UINT code);
BOOL PostCommand(HWND target, int id, UINT code);

// Centring over a visible parent, or over the screen; kept inside the
// full-screen area. CalcCenteredPos returns 1 and writes x, y when the window
// can be moved (it exists and is neither minimised nor maximised).
int CalcCenteredPos(HWND window, HWND parent, int *x, int *y);
void CenterWindow(HWND window, HWND parent);

void GetChildRect(HWND parent, int id, RECT *rect);
void ClientRectToScreen(HWND window, RECT *rect);

// AnimateWindow is looked up at run time so the plug-ins load on systems whose
// user32 lacks it.
BOOL TryAnimateWindow(HWND window, DWORD milliseconds, DWORD flags);
int AnimateShow(HWND window);
BOOL AnimateHide(HWND window);

HFONT CreateUIFont(int height, int width, const char *face, int bold, int italic,
                   int underline);

// Windows-version probes, each asked once and then answered from a cache.
int IsWinNT(void);
int IsWin98OrLater(void);
int IsWin2000OrLater(void);

void *MemAlloc(SIZE_T size);
void *MemAllocZero(SIZE_T elementSize, SIZE_T count);
void MemFree(void *block);

// Runs work(context) so that neither a C++ exception nor a processor fault
// (an access violation, say) escapes. Returns 1 when work returned normally,
// 0 when something was caught; whatever work wrote before that stays written.
typedef void (*GuardedProc)(void *context);
int RunGuarded(GuardedProc work, void *context);

#endif

// Counts of the process's live GDI objects and USER objects. GetGuiResources
// answers 0 under Wine, so GDI objects are counted from the process's GDI
// handle table (the PEB's GdiSharedHandleTable: 24-byte entries, a live one
// has a non-zero type byte), and USER objects as the process's windows.
#ifndef QUILLMERE_OBJECTCOUNT_H
#define QUILLMERE_OBJECTCOUNT_H

#include <windows.h>
#include <winternl.h>

inline int CountGdiObjects()
{
#pragma GCC diagnostic push
    // The TEB read through the segment register looks like a zero-length
    // array access to GCC.
#pragma GCC diagnostic ignored "-Warray-bounds"
    const BYTE *peb = (const BYTE *)NtCurrentTeb()->ProcessEnvironmentBlock;
#pragma GCC diagnostic pop
    const BYTE *table = *(const BYTE *const *)(peb + (sizeof(void *) == 8 ? 0xF8 : 0x94));
    if (!table)
        return -1;
    const int entrySize = 24, typeOffset = 14, entries = 0x10000;
    int live = 0;
    for (int i = 0; i < entries; ++i) {
        if (table[i * entrySize + typeOffset])
            ++live;
    }
    return live;
}

inline BOOL CALLBACK CountChildWindow(HWND, LPARAM count)
{
    ++*(int *)count;
    return TRUE;
}

inline BOOL CALLBACK CountThreadWindow(HWND window, LPARAM count)
{
    ++*(int *)count;
    EnumChildWindows(window, CountChildWindow, count);
    return TRUE;
}

inline int CountUserWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountThreadWindow, (LPARAM)&count);
    return count;
}

#endif

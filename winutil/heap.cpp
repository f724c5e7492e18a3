// Records on the process heap. No HEAP_GENERATE_EXCEPTIONS: failures come
// back as null and each caller decides.
#include "winutil.h"

static HANDLE processHeap;

static HANDLE Heap(void)
{
    if (!processHeap)
        processHeap = GetProcessHeap();
    return processHeap;
}

void *MemAlloc(SIZE_T size)
{
    return HeapAlloc(Heap(), 0, size);
}

void *MemAllocZero(SIZE_T elementSize, SIZE_T count)
{
    return HeapAlloc(Heap(), HEAP_ZERO_MEMORY, (DWORD)(elementSize * count));
}

void MemFree(void *block)
{
    if (block)
        HeapFree(processHeap, 0, block);
}

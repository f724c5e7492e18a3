// A catch-all guard: neither a C++ exception nor a processor fault escapes the
// guarded call. GCC has no __try, so each Windows flavour gets the mechanism it
// supports; C++ exceptions never travel those paths (GCC unwinds them itself),
// so an ordinary catch-all inside handles them.
#include "winutil.h"

#include <excpt.h>

static __attribute__((noinline)) int CallCatching(GuardedProc work, void *context)
{
    try {
        work(context);
        return 1;
    } catch (...) {
        return 0;
    }
}

#if defined(__i386__)

// 32-bit Windows: the guard links its own registration record into the
// thread's exception chain (fs:0, the head of the chain in the thread
// information block). When the system dispatches a fault to it, the handler
// restores the chain head and jumps back into RunGuarded.
//
// The record is a local variable of RunGuarded, never pushed by hand: GCC may
// store outgoing call arguments at the bottom of the frame, and a record
// living there would be overwritten before the first fault.

struct GuardFrame {
    GuardFrame *previous;  // must come first: the chain link
    void *handler;         // must come second: called by the dispatcher
    void *resume[5];       // __builtin_setjmp buffer
};

static GuardFrame *ChainHead(void)
{
    GuardFrame *head;
    __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

static void SetChainHead(GuardFrame *frame)
{
    __asm__ volatile("movl %0, %%fs:0" : : "r"(frame) : "memory");
}

static EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD *record, void *establisher,
                                                  CONTEXT *, void *)
{
    // During an unwind started elsewhere the guard has nothing to clean up.
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;

    GuardFrame *frame = (GuardFrame *)establisher;
    // Dropping everything above our frame also drops the dispatcher's own
    // nested record; the frames in between are gone with the jump.
    SetChainHead(frame->previous);
    __builtin_longjmp(frame->resume, 1);
}

int RunGuarded(GuardedProc work, void *context)
{
    GuardFrame frame;
    frame.previous = ChainHead();
    frame.handler = (void *)GuardHandler;
    if (__builtin_setjmp(frame.resume))
        return 0;  // the handler has already unlinked the frame

    SetChainHead(&frame);
    int completed = CallCatching(work, context);
    SetChainHead(frame.previous);
    return completed;
}

#else

// 64-bit Windows (the test build): exception handling is table-driven there,
// with no chain to join. A vectored handler, installed only while a guard is
// active, sees a fault first and sends the thread to a stub that jumps back
// into the innermost guard. Only error-severity codes count as faults, so the
// system's informational exceptions and GCC's own C++ throws pass by.

struct GuardFrame {
    GuardFrame *outer;
    void *resume[5];  // __builtin_setjmp buffer
};

static GuardFrame *activeGuard;  // the innermost running guard (UI thread only)

static void GuardRecover(void)
{
    GuardFrame *frame = activeGuard;
    activeGuard = frame->outer;
    __builtin_longjmp(frame->resume, 1);
}

static LONG CALLBACK GuardVectoredHandler(EXCEPTION_POINTERS *info)
{
    const DWORD severityError = 0xC0000000;
    if (!activeGuard || (info->ExceptionRecord->ExceptionCode & severityError) != severityError)
        return EXCEPTION_CONTINUE_SEARCH;
    // Resume in the stub as if it had been called: below the faulting frame's
    // red zone, 16-byte aligned less the return address slot.
    CONTEXT *context = info->ContextRecord;
    context->Rsp = ((context->Rsp - 256) & ~(DWORD64)15) - 8;
    context->Rip = (DWORD64)GuardRecover;
    return EXCEPTION_CONTINUE_EXECUTION;
}

int RunGuarded(GuardedProc work, void *context)
{
    GuardFrame frame;
    frame.outer = activeGuard;
    void *volatile handler = AddVectoredExceptionHandler(1, GuardVectoredHandler);
    if (__builtin_setjmp(frame.resume)) {
        RemoveVectoredExceptionHandler(handler);
        return 0;  // GuardRecover has already popped the frame
    }

    activeGuard = &frame;
    int completed = CallCatching(work, context);
    activeGuard = frame.outer;
    RemoveVectoredExceptionHandler(handler);
    return completed;
}

#endif

// A catch-all guard for 32-bit Windows. GCC has no __try for i686, so the
// guard links its own registration record into the thread's exception chain
// (fs:0, the head of the chain in the thread information block). When the
// system dispatches a fault to it, the handler restores the chain head and
// jumps back into RunGuarded, which then reports the fault. C++ exceptions do
// not travel through this chain (they use DWARF unwinding), so an ordinary
// catch-all inside handles them.
//
// The record is a local variable of RunGuarded, never pushed by hand: GCC may
// store outgoing call arguments at the bottom of the frame, and a record
// living there would be overwritten before the first fault.
#include "winutil.h"

#include <excpt.h>

struct GuardFrame {
    GuardFrame *previous;  // must come first: the chain link
    void *handler;         // must come second: called by the dispatcher
    void *resume[5];       // __builtin_setjmp buffer
};

static GuardFrame *ChainHead(void)
{
    return (GuardFrame *)((NT_TIB *)NtCurrentTeb())->ExceptionList;
}

static void SetChainHead(GuardFrame *frame)
{
    ((NT_TIB *)NtCurrentTeb())->ExceptionList = (EXCEPTION_REGISTRATION_RECORD *)frame;
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

static __attribute__((noinline)) int CallCatching(GuardedProc work, void *context)
{
    try {
        work(context);
        return 1;
    } catch (...) {
        return 0;
    }
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

// What makes this library the hard-edge filter.
#include "frame/frame.h"
#include "kernels/kernels.h"
#include "threshold/threshold.h"
#include "winutil/winutil.h"

extern OSErr (*const productKernel)(FilterRecord *) = ApplyThresholdKernel;
extern INT_PTR (*const productAskParameters)(HWND) = RunThresholdDialog;

void ProductAttach(void)
{
    threshold = 128;
    RegisterSpinEditClass(moduleInstance);
}

void ProductDetach(void)
{
    UnregisterSpinEditClass(moduleInstance);
}

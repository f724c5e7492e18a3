// What makes this library the hard-edge filter.
#include "about/about.h"
#include "frame/frame.h"
#include "kernels/kernels.h"
#include "threshold/threshold.h"
#include "winutil/winutil.h"

extern OSErr (*const productKernel)(FilterRecord *) = ApplyThresholdKernel;
extern INT_PTR (*const productAskParameters)(HWND) = RunThresholdDialog;

extern const char aboutCaption[] = "Hardedge Filter Pluginについて";
extern const char aboutProductLine[] = "Hardedge Filter Plugin";
extern const char aboutErrorCaption[] = "Hardedge Filter Plugin";

void ProductAttach(void)
{
    threshold = 128;
    RegisterHyperLinkClass(moduleInstance);
    RegisterSpinEditClass(moduleInstance);
}

void ProductDetach(void)
{
    UnregisterHyperLinkClass(moduleInstance);
    UnregisterSpinEditClass(moduleInstance);
}

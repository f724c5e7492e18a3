// What makes this library the corner colour key filter.
#include "about/about.h"
#include "frame/frame.h"
#include "kernels/kernels.h"
#include "winutil/winutil.h"

extern OSErr (*const productKernel)(FilterRecord *) = ApplyCornerKeyKernel;
extern INT_PTR (*const productAskParameters)(HWND) = nullptr;

extern const char aboutCaption[] = "Huedrop Filter Pluginについて";
extern const char aboutProductLine[] = "Huedrop Filter Plugin";
extern const char aboutErrorCaption[] = "Huedrop Filter Plugin";

void ProductAttach(void)
{
    RegisterHyperLinkClass(moduleInstance);
}

void ProductDetach(void)
{
    UnregisterHyperLinkClass(moduleInstance);
}

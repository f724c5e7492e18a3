// What makes this library the corner colour key filter.
#include "frame/frame.h"
#include "kernels/kernels.h"
#include "winutil/winutil.h"

extern OSErr (*const productKernel)(FilterRecord *) = ApplyCornerKeyKernel;
extern INT_PTR (*const productAskParameters)(HWND) = nullptr;

void ProductAttach(void)
{
}

void ProductDetach(void)
{
}

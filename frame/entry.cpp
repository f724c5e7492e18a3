// The library's two boundaries: the host's entry and the loader's hook.
#include "frame/frame.h"
#include "winutil/winutil.h"

extern "C" void ENTRYPOINT(int16_t selector, void *paramBlock, intptr_t * /*data*/,
                           int16_t *result)
{
    *result = noErr;
    switch (selector) {
    case filterSelectorAbout:
        DoAbout((const AboutRecord *)paramBlock);
        break;
    case filterSelectorPrepare:
        DoPrepare((FilterRecord *)paramBlock);
        break;
    case filterSelectorStart:
        *result = DoStart((FilterRecord *)paramBlock);
        break;
    default:
        break;  // Parameters, Continue, Finish and unknown selectors
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        moduleInstance = instance;
        ProductAttach();
        break;
    case DLL_PROCESS_DETACH:
        ProductDetach();
        break;
    default:
        break;
    }
    return TRUE;
}

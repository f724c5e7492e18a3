#include "winutil.h"

// A bare 4 as pitch and family: no named constant has this value, and the
// face name decides the font in any case.
static const DWORD uiPitchAndFamily = 4;

HFONT CreateUIFont(int height, int width, const char *face, int bold, int italic, int underline)
{
    return CreateFontA(height, width, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic ? 1 : 0,
                       underline ? 1 : 0, 0, SHIFTJIS_CHARSET, OUT_CHARACTER_PRECIS,
                       CLIP_CHARACTER_PRECIS, DRAFT_QUALITY, uiPitchAndFamily, face);
}

// The About face and its animation: the face is composed once off-screen,
// fades in from white, and an icon click plays the credits (the face dims,
// four pages rise through the right-hand part, the face returns). Every frame
// is composed on displaySurface and copied to the window through windowDC.
#include "about/about.h"
#include "winutil/winutil.h"

#include <string.h>

static const char copyrightLine[] = "Copyright (C) 2026 Quillmere";
static const int iconResource = 102;
static const RECT linkFitRect = {0, 85, ABOUT_WIDTH, 105};
static const int linkX = 65, linkY = 75;
static const int textX = 65, productY = 15, versionY = 35, copyrightY = 55;
static const int okX = 182, okY = 119, okWidth = 88, okHeight = 21;
static const int iconColumn = 52;  // the credits use everything right of it
static const int openingStartLevel = 9, openingEndLevel = 55;

CreditsPages creditsPages = {
    {
        "- STAFF -",
        "- Programmer -\nQuillmere",
        "- Special thanks to -\nEveryone who tested it\nEveryone who uses it",
        "Copyright (C) 2026 Quillmere\nAll rights reserved.",
    },
    4,
};

HDC windowDC, faceSurface, displaySurface, textSurface, printSurface;
HBITMAP displayBitmap;
int32_t aboutReady, creditsRunning, fadeInLevel, animStep, creditsPhase, openingStarted, dimLevel,
    dimLevelAtPages, pageIndex, pagePhase, pageCounter;
RECT creditsArea, linkRect;
char faceText[500];

// The bottom-up sections behind faceSurface and textSurface, and what their
// DCs held before; kept so that release frees exactly these.
static HBITMAP faceBitmap, textBitmap;
static HGDIOBJ facePreviousBitmap, textPreviousBitmap, textPreviousFont;
static void *faceBits, *textBits;
static BITMAPINFOHEADER faceHeader, textHeader;

int FitControlToText(HWND control, const RECT *rect)
{
    HFONT font = (HFONT)SendMessageA(GetParent(control), WM_GETFONT, 0, 0);
    char text[300];
    GetWindowTextA(control, text, sizeof text);
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    const int w = r.right - r.left, h = r.bottom - r.top;
    MoveWindow(control, rect->left + (rect->right - rect->left - w) / 2,
               rect->top + (rect->bottom - rect->top - h) / 2, w, h, TRUE);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return 1;
}

static int ChooseAnimStep(void)
{
    if (IsWin2000OrLater())
        return 1;
    if (IsWin98OrLater())
        return 2;
    if (IsWinNT())
        return 1;
    return 3;
}

static void Whiten(HDC dc)
{
    PatBlt(dc, 0, 0, ABOUT_WIDTH, ABOUT_HEIGHT, WHITENESS);
}

// A memory DC with a bottom-up section selected, its bits and header kept.
static HDC MakeSourceSurface(HBITMAP *bitmap, void **bits, BITMAPINFOHEADER *header,
                             HGDIOBJ *previousBitmap)
{
    HDC dc = CreateCompatibleDC(NULL);
    *bitmap = CreateDibBottomUp(ABOUT_WIDTH, ABOUT_HEIGHT, NULL);
    *bits = GetDibBits(*bitmap);
    memset(header, 0, sizeof *header);
    GetDibHeader(*bitmap, header);
    *previousBitmap = SelectObject(dc, *bitmap);
    return dc;
}

// Undoes MakeSourceSurface and clears what it filled in; nothing for a
// surface that is not there.
static void DestroySourceSurface(HDC *dc, HBITMAP *bitmap, void **bits, HGDIOBJ previousBitmap)
{
    if (!*dc)
        return;
    SelectObject(*dc, previousBitmap);
    DeleteObject(*bitmap);
    DeleteDC(*dc);
    *dc = NULL;
    *bitmap = NULL;
    *bits = NULL;
}

static void DrawIconFrame(HDC dc)
{
    PatBlt(dc, 12, 9, 40, 40, BLACKNESS);
    RECT edge = {13, 10, 51, 48};
    DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    DrawIcon(dc, 16, 13, LoadIconA(moduleInstance, MAKEINTRESOURCEA(iconResource)));
}

static void Blend(const BITMAPINFOHEADER *header, void *bits, int x, int width, uint32_t percent)
{
    BlendDib(displayBitmap, x, 0, width, ABOUT_HEIGHT, header, bits, x, 0, ABOUT_KEY_COLOUR,
             percent, 0);
}

static void ShowControls(int show)
{
    ShowWindow(GetDlgItem(aboutWindow, IDOK), show ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(aboutWindow, IDC_ABOUT_LINK), show ? SW_SHOW : SW_HIDE);
}

static void CopyWholeToWindow(void)
{
    BitBlt(windowDC, 0, 0, ABOUT_WIDTH, ABOUT_HEIGHT, displaySurface, 0, 0, SRCCOPY);
}

static void CopyIconColumnToWindow(void)
{
    DrawIconFrame(displaySurface);
    BitBlt(windowDC, 0, 0, iconColumn, ABOUT_HEIGHT, displaySurface, 0, 0, SRCCOPY);
}

void AboutFaceCreate(void)
{
    creditsRunning = fadeInLevel = creditsPhase = aboutReady = openingStarted = 0;
    animStep = ChooseAnimStep();
    SetRect(&creditsArea, iconColumn, 0, ABOUT_WIDTH, ABOUT_HEIGHT);
    windowDC = GetDC(aboutWindow);
    printSurface = CreateSurfaceDC(ABOUT_WIDTH, ABOUT_HEIGHT);
    Whiten(printSurface);
    faceSurface = MakeSourceSurface(&faceBitmap, &faceBits, &faceHeader, &facePreviousBitmap);
    displaySurface = CreateSurfaceDC(ABOUT_WIDTH, ABOUT_HEIGHT);
    displayBitmap = GetSurfaceBitmap(displaySurface);
    Whiten(displaySurface);
    textSurface = MakeSourceSurface(&textBitmap, &textBits, &textHeader, &textPreviousBitmap);
    Whiten(textSurface);

    Whiten(faceSurface);
    DrawAboutPicture(faceSurface);
    DrawIconFrame(faceSurface);

    HWND ok = GetDlgItem(aboutWindow, IDOK);
    SendMessageA(ok, WM_PRINT, (WPARAM)printSurface, PRF_NONCLIENT | PRF_CLIENT);
    BitBlt(faceSurface, okX, okY, okWidth, okHeight, printSurface, 0, 0, SRCCOPY);

    // The link keeps its text's size but sits at a fixed place, whatever
    // place the centring computed.
    HWND link = GetDlgItem(aboutWindow, IDC_ABOUT_LINK);
    FitControlToText(link, &linkFitRect);
    GetChildRect(aboutWindow, IDC_ABOUT_LINK, &linkRect);
    SendMessageA(link, WM_PRINT, (WPARAM)printSurface, PRF_NONCLIENT | PRF_CLIENT);
    const int linkWidth = linkRect.right - linkRect.left, linkHeight = linkRect.bottom - linkRect.top;
    MoveWindow(link, linkX, linkY, linkWidth, linkHeight, FALSE);
    BitBlt(faceSurface, linkX, linkY, linkWidth, linkHeight, printSurface, 0, 0, SRCCOPY);

    HFONT font = (HFONT)GetWindowLongPtrA(aboutWindow, DWLP_USER);
    HGDIOBJ facePreviousFont = SelectObject(faceSurface, font);
    textPreviousFont = SelectObject(textSurface, font);
    TextOutA(faceSurface, textX, productY, aboutProductLine, lstrlenA(aboutProductLine));
    char version[52] = "?.??";
    GetVersionText(version, sizeof version);
    wsprintfA(faceText, "Version %s", version);
    TextOutA(faceSurface, textX, versionY, faceText, lstrlenA(faceText));
    lstrcpynA(faceText, copyrightLine, sizeof faceText);
    TextOutA(faceSurface, textX, copyrightY, faceText, lstrlenA(faceText));
    SelectObject(faceSurface, facePreviousFont);
    GdiFlush();
}

// One tick of a page's fade-in (fadeIn 1) or fade-out (0), with the text at
// pageIndex: centred in the credits area, blended over white, copied to the
// window risen by half the counter.
static void RenderPage(int fadeIn)
{
    const char *text = creditsPages.pages[pageIndex];
    const int length = lstrlenA(text);
    RECT r = creditsArea;
    DrawTextA(textSurface, text, length, &r, DT_CALCRECT | DT_CENTER);
    const int top = (ABOUT_HEIGHT - (r.bottom - r.top)) / 2;
    RECT place = {iconColumn, top, ABOUT_WIDTH, ABOUT_HEIGHT};
    DrawTextA(textSurface, text, length, &place, DT_CENTER);
    GdiFlush();
    PatBlt(displaySurface, creditsArea.left, creditsArea.top, creditsArea.right - creditsArea.left,
           creditsArea.bottom - creditsArea.top, WHITENESS);
    GdiFlush();
    Blend(&textHeader, textBits, iconColumn, ABOUT_WIDTH - iconColumn,
          fadeIn ? 100 - pageCounter : pageCounter);
    const int y = fadeIn ? 50 - pageCounter / 2 : -(pageCounter / 2);
    BitBlt(windowDC, iconColumn, y, ABOUT_WIDTH - iconColumn, ABOUT_HEIGHT, displaySurface,
           iconColumn, 0, SRCCOPY);
}

static void StepFadeIn(void)
{
    if (fadeInLevel <= 100) {
        Whiten(displaySurface);
        GdiFlush();
        Blend(&faceHeader, faceBits, 0, ABOUT_WIDTH, 100 - fadeInLevel);
        CopyWholeToWindow();
        fadeInLevel += animStep + 1;
        if (fadeInLevel < 100)
            return;
    }
    ShowControls(1);
    aboutReady = 1;
}

static void StepOpening(void)
{
    if (!openingStarted) {
        openingStarted = 1;
        dimLevel = openingStartLevel;
    }
    Whiten(displaySurface);
    ShowControls(0);
    GdiFlush();
    Blend(&faceHeader, faceBits, 0, ABOUT_WIDTH, 2 * dimLevel);
    BitBlt(windowDC, iconColumn, 0, ABOUT_WIDTH - iconColumn, ABOUT_HEIGHT, displaySurface,
           iconColumn, 0, SRCCOPY);
    CopyIconColumnToWindow();
    dimLevel += animStep;
    if (dimLevel >= openingEndLevel) {
        dimLevelAtPages = dimLevel;
        pageCounter = pageIndex = pagePhase = 0;
        creditsPhase = 1;
        Whiten(textSurface);
    }
}

static void StepPages(void)
{
    if (pageIndex >= creditsPages.creditsPageCount) {
        BitBlt(textSurface, 0, 0, ABOUT_WIDTH, ABOUT_HEIGHT, displaySurface, 0, 0, SRCCOPY);
        dimLevel = dimLevelAtPages;
        pageIndex = 0;
        creditsPhase = 2;
        return;
    }
    if (!creditsPages.pages[pageIndex]) {
        ++pageIndex;
        return;
    }
    if (pageCounter >= 100) {
        // Switching ticks draw nothing.
        if (pagePhase == 0) {
            pageCounter = 0;
            pagePhase = 1;
        } else {
            if (pagePhase == 2)
                ++pageIndex;
            pagePhase = pagePhase == 1 ? 2 : 0;
            pageCounter = 0;
            Whiten(textSurface);
        }
        return;
    }
    if (pagePhase == 1) {
        // The hold puts the page at full strength only on displaySurface; the
        // window keeps the last fade-in frame until it next repaints.
        Blend(&textHeader, textBits, iconColumn, ABOUT_WIDTH - iconColumn, 0);
    } else {
        RenderPage(pagePhase == 0);
    }
    pageCounter += animStep;
}

static void StepClosing(void)
{
    if (dimLevel > openingStartLevel) {
        BitBlt(displaySurface, 0, 0, ABOUT_WIDTH, ABOUT_HEIGHT, faceSurface, 0, 0, SRCCOPY);
        GdiFlush();
        Blend(&textHeader, textBits, 0, ABOUT_WIDTH, 2 * pageIndex);
        CopyWholeToWindow();
        CopyIconColumnToWindow();
        pageIndex += animStep;
        dimLevel -= animStep;
        return;
    }
    ShowControls(1);
    aboutReady = 1;
    creditsRunning = creditsPhase = openingStarted = 0;
    BitBlt(displaySurface, 0, 0, ABOUT_WIDTH, ABOUT_HEIGHT, faceSurface, 0, 0, SRCCOPY);
}

void AboutFaceStep(HWND /*window*/)
{
    if (!creditsRunning)
        StepFadeIn();
    else if (creditsPhase == 0)
        StepOpening();
    else if (creditsPhase == 1)
        StepPages();
    else
        StepClosing();
    GdiFlush();
}

// Releases what the latest AboutFaceCreate made, each handle once: a handle
// is cleared when released, and a cleared one is left alone, so a set-up that
// failed before making the face frees nothing of an earlier opening again.
void AboutFaceDestroy(void)
{
    if (windowDC) {
        ReleaseDC(aboutWindow, windowDC);
        windowDC = NULL;
    }
    if (displaySurface) {
        DestroySurfaceDC(displaySurface);
        displaySurface = NULL;
        displayBitmap = NULL;
    }
    DestroySourceSurface(&faceSurface, &faceBitmap, &faceBits, facePreviousBitmap);
    if (printSurface) {
        DestroySurfaceDC(printSurface);
        printSurface = NULL;
    }
    if (textSurface)
        SelectObject(textSurface, textPreviousFont);
    DestroySourceSurface(&textSurface, &textBitmap, &textBits, textPreviousBitmap);
}

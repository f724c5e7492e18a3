// filterhost: a small command-line stand-in for the image editor. It reads a
// plug-in's property list as a host does, and runs a filter over a PNG the way
// a host runs it over a layer.
#include "console.h"
#include "host.h"
#include "image.h"
#include "pipl.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

// Exit statuses, one per outcome.
enum {
    exitOk = 0,
    exitUsage = 1,
    exitFile = 2,         // a bad path, an unreadable or corrupt image, a failed write
    exitPlugin = 3,       // the plug-in cannot be loaded or has no entry
    exitNoPipl = 4,       // the library carries no readable property list
    exitCancelled = 5,    // userCanceledErr
    exitReported = 6,     // errReportString: the plug-in's own text is shown
    exitMemory = 7,       // memFullErr
    exitOtherResult = 8,  // any other result code
    exitAnswer = 9,       // --answer: the dialog's field would not show the answer
    exitNoViewer = 10,    // a dialog came up on a display nobody can see, and no --answer
};

static const char usage[] =
    "usage:\n"
    "  filterhost info PLUGIN\n"
    "      show the menu name, category, entry point, modes and filter cases\n"
    "  filterhost apply PLUGIN IN.png OUT.png [--foreground RRGGBB] [--answer TEXT]\n"
    "      run the filter over the image and write the result; with --answer, a\n"
    "      dialog the plug-in shows is answered as a user would: its field's text\n"
    "      selected, TEXT typed, Enter pressed; --snapshot DIALOG.png also saves\n"
    "      the dialog's own pixels, frame included, as it first appears\n"
    "  filterhost about PLUGIN\n"
    "      show the plug-in's About box over a host window until it is closed\n";

static int Usage(const std::string &problem)
{
    if (!problem.empty())
        Err("filterhost: " + problem + "\n");
    Err(usage);
    return exitUsage;
}

// ---- info ----

static std::string CountedString(const std::vector<uint8_t> &data)
{
    if (data.empty() || data[0] + 1u > data.size())
        return "(damaged)";
    return FromShiftJis((const char *)&data[1], data[0]);
}

static std::string ZeroTerminated(const std::vector<uint8_t> &data)
{
    size_t length = 0;
    while (length < data.size() && data[length])
        ++length;
    return std::string((const char *)data.data(), length);
}

static std::string Modes(const std::vector<uint8_t> &data)
{
    static const char *const names[16] = {
        "bitmap", "greyscale", "indexed colour", "RGB", "CMYK", "HSL", "HSB", "multichannel",
        "duotone", "Lab", "grey 16", "RGB 48", "Lab 48", "CMYK 64", "deep multichannel",
        "duotone 16"};
    std::string list;
    for (int bit = 0; bit < 16 && bit / 8 < (int)data.size(); ++bit) {
        if (data[bit / 8] & (0x80 >> (bit % 8)))
            list += (list.empty() ? "" : ", ") + std::string(names[bit]);
    }
    return list.empty() ? "(none)" : list;
}

static std::string Handling(uint8_t value)
{
    static const char *const names[] = {"cannot filter", "straight", "black matte",
                                        "grey matte", "white matte", "defringe",
                                        "black zap", "grey zap", "white zap"};
    return value < sizeof names / sizeof names[0] ? names[value] : Format("handling %u", value);
}

static std::string CaseFlags(uint8_t flags)
{
    static const char *const names[] = {"no source copy", "blank data", "layer masks",
                                        "outside selection"};
    std::string list;
    for (int bit = 0; bit < 4; ++bit) {
        if (flags & (1 << bit))
            list += (list.empty() ? "" : ", ") + std::string(names[bit]);
    }
    return Format("0x%02X", flags) + (list.empty() ? "" : " (" + list + ")");
}

static void PrintFilterCases(const std::vector<uint8_t> &data)
{
    static const char *const cases[] = {
        "flat image, no selection", "flat image with selection", "floating selection",
        "editable transparency, no selection", "editable transparency with selection",
        "protected transparency, no selection", "protected transparency with selection"};
    Out("  filter cases:\n");
    for (size_t i = 0; i < 7 && i * 4 + 3 < data.size(); ++i) {
        const uint8_t *record = &data[i * 4];
        Out(Format("    %u %-38s in: %-12s out: %-12s flags: %s\n", (unsigned)(i + 1), cases[i],
                   Handling(record[0]).c_str(), Handling(record[1]).c_str(),
                   CaseFlags(record[2]).c_str()));
    }
}

static int Info(const char *path)
{
    std::vector<PiplProperty> properties;
    switch (ReadPipl(path, &properties)) {
    case piplNoLibrary:
        Err(Format("filterhost: cannot load %s as a library\n", path));
        return exitPlugin;
    case piplMissing:
        Err(Format("filterhost: %s carries no property list (\"PIPL\" 16000): a host would not "
                   "list it\n", path));
        return exitNoPipl;
    case piplDamaged:
        Err(Format("filterhost: the property list of %s is damaged\n", path));
        return exitNoPipl;
    case piplOk:
        break;
    }

    Out(std::string(path) + "\n");
    for (const PiplProperty &property : properties) {
        const std::vector<uint8_t> &data = property.data;
        switch (property.key) {
        case FOUR_CC('k', 'i', 'n', 'd'):
            if (data.size() >= 4)
                Out("  kind:         " + FourCCText(*(const uint32_t *)data.data()) + "\n");
            break;
        case FOUR_CC('n', 'a', 'm', 'e'):
            Out("  menu name:    " + CountedString(data) + "\n");
            break;
        case FOUR_CC('c', 'a', 't', 'g'):
            Out("  category:     " + CountedString(data) + "\n");
            break;
        case FOUR_CC('v', 'e', 'r', 's'):
            if (data.size() >= 4) {
                uint32_t version = *(const uint32_t *)data.data();
                Out(Format("  interface:    %u.%u\n", version >> 16, version & 0xFFFF));
            }
            break;
        case FOUR_CC('w', 'x', '8', '6'):
            Out("  entry point:  " + ZeroTerminated(data) + "\n");
            break;
        case FOUR_CC('m', 'o', 'd', 'e'):
            Out("  modes:        " + Modes(data) + "\n");
            break;
        case FOUR_CC('e', 'n', 'b', 'l'):
            Out("  enabled when: " + ZeroTerminated(data) + "\n");
            break;
        case FOUR_CC('f', 'i', 'c', 'i'):
            PrintFilterCases(data);
            break;
        default:
            break;
        }
    }
    return exitOk;
}

// ---- apply ----

static bool ParseColour(const char *text, RGBColor *colour)
{
    if (strlen(text) != 6 || strspn(text, "0123456789abcdefABCDEF") != 6)
        return false;
    unsigned long value = strtoul(text, NULL, 16);
    // A host stores each 8-bit component c as c * 0x0101 in its 16-bit field.
    colour->red = (uint16_t)(((value >> 16) & 0xFF) * 0x0101);
    colour->green = (uint16_t)(((value >> 8) & 0xFF) * 0x0101);
    colour->blue = (uint16_t)((value & 0xFF) * 0x0101);
    return true;
}

static bool SameFile(const char *a, const char *b)
{
    char fullA[MAX_PATH], fullB[MAX_PATH];
    if (!GetFullPathNameA(a, MAX_PATH, fullA, NULL) || !GetFullPathNameA(b, MAX_PATH, fullB, NULL))
        return false;
    return lstrcmpiA(fullA, fullB) == 0;
}

static int progressShown = -1;
static int progressOnConsole = -1;  // not yet asked

// A bar redrawn in place on a console; a line per quarter in a pipe or file.
static void ShowProgress(int32_t done, int32_t total)
{
    if (progressOnConsole < 0) {
        DWORD mode;
        progressOnConsole = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) ? 1 : 0;
    }
    int percent = total > 0 ? (int)((int64_t)(done + 1) * 100 / total) : 100;
    int step = progressOnConsole ? 1 : 25;
    if (progressShown >= 0 && percent / step == progressShown / step)
        return;
    if (!progressOnConsole && percent < step)
        return;
    progressShown = percent;
    if (progressOnConsole) {
        int filled = percent * 30 / 100;
        Err("\r[" + std::string(filled, '#') + std::string(30 - filled, '.') +
            Format("] %3d%%", percent));
    } else {
        Err(Format("progress %3d%%\n", percent / step * step));
    }
}

// ---- answering a dialog ----

// Answers the plug-in's dialog from a thread timer while its modal loop runs,
// with real key presses: Home, Shift+End to select the focused field's text,
// then TEXT, then Enter once the field shows TEXT. A field that shows
// something else (the plug-in corrected the answer) is not confirmed: the
// dialog is cancelled and the run fails with a message.
struct Answerer {
    std::string text;
    HWND dialog;
    HWND field;
    bool unseen;      // no --answer, and nobody can see the display: close any dialog
    int ticks;        // since the answer was typed
    bool typed, done, refused, closedUnseen;
    std::string shown;
    const char *snapshotPath;  // where to save the dialog's pixels, or null
    bool snapshotFailed;
};
static Answerer answerer;
static const UINT answerTickMs = 20;
static const int answerPatienceTicks = 3000 / answerTickMs;
static const int snapshotDelayTicks = 300 / answerTickMs;

static void AddKey(std::vector<INPUT> *inputs, WORD key, WCHAR unicode, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = unicode;
    input.ki.dwFlags = (unicode ? KEYEVENTF_UNICODE : 0) | (up ? KEYEVENTF_KEYUP : 0);
    inputs->push_back(input);
}

static void TypeAnswer(const std::string &text)
{
    std::vector<INPUT> inputs;
    AddKey(&inputs, VK_HOME, 0, false);
    AddKey(&inputs, VK_HOME, 0, true);
    AddKey(&inputs, VK_SHIFT, 0, false);
    AddKey(&inputs, VK_END, 0, false);
    AddKey(&inputs, VK_END, 0, true);
    AddKey(&inputs, VK_SHIFT, 0, true);
    for (unsigned char c : text) {
        AddKey(&inputs, 0, c, false);
        AddKey(&inputs, 0, c, true);
    }
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

static void PressKey(WORD key)
{
    std::vector<INPUT> inputs;
    AddKey(&inputs, key, 0, false);
    AddKey(&inputs, key, 0, true);
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}

static BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM found)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) {
        *(HWND *)found = window;
        return FALSE;
    }
    return TRUE;
}

static std::string WindowText(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The window's pixels as they stand on the screen, frame included: with a
// window manager (or Wine's virtual desktop) drawing the frame. PrintWindow
// is not used: Wine's draws no child controls.
static bool SnapshotWindow(HWND window, const char *path)
{
    RECT frame;
    GetWindowRect(window, &frame);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = frame.right - frame.left;
    info.bmiHeader.biHeight = -(frame.bottom - frame.top);  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    bool saved = false;
    if (memory && bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, info.bmiHeader.biWidth, -info.bmiHeader.biHeight, screen,
                   frame.left, frame.top, SRCCOPY)) {
            GdiFlush();
            Image image;
            image.width = info.bmiHeader.biWidth;
            image.height = -info.bmiHeader.biHeight;
            image.planes = 3;
            const uint8_t *bgrx = (const uint8_t *)bits;
            for (int32_t i = 0; i < image.width * image.height; ++i, bgrx += 4) {
                image.pixels.push_back(bgrx[2]);
                image.pixels.push_back(bgrx[1]);
                image.pixels.push_back(bgrx[0]);
            }
            std::string reason;
            saved = SaveImage(path, image, &reason);
        }
        SelectObject(memory, previous);
    }
    ReleaseDC(NULL, screen);
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    return saved;
}

static void CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD)
{
    Answerer &a = answerer;
    if (a.done)
        return;
    if (!a.dialog) {
        HWND found = NULL;
        EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, (LPARAM)&found);
        if (!found)
            return;
        a.dialog = found;
        if (a.unseen) {
            a.closedUnseen = true;
            a.done = true;
            PostMessageA(found, WM_SYSCOMMAND, SC_CLOSE, 0);
            return;
        }
        SetForegroundWindow(found);
        a.field = GetFocus();  // the dialog manager focused the first field
        return;
    }
    if (!a.typed) {
        // With a snapshot to take, typing waits until the dialog has painted.
        if (a.snapshotPath && ++a.ticks < snapshotDelayTicks)
            return;
        if (a.snapshotPath)
            a.snapshotFailed = !SnapshotWindow(a.dialog, a.snapshotPath);
        if (a.field)
            SetFocus(a.field);
        TypeAnswer(a.text);
        a.typed = true;
        a.ticks = 0;
        return;
    }
    a.shown = WindowText(a.field);
    if (a.shown == a.text) {
        PressKey(VK_RETURN);
        a.done = true;
    } else if (++a.ticks > answerPatienceTicks) {
        a.refused = true;
        a.done = true;
        PostMessageA(a.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

static int ReportResult(int16_t result, const HostRun &run, const char *stage)
{
    switch (result) {
    case noErr:
        return exitOk;
    case userCanceledErr:
        Err(Format("filterhost: %s: cancelled (userCanceledErr); nothing written\n", stage));
        return exitCancelled;
    case memFullErr:
        Err(Format("filterhost: %s: the plug-in ran out of memory or failed inside "
                   "(memFullErr); nothing written\n", stage));
        return exitMemory;
    case errReportString:
        Err(Format("filterhost: %s: the plug-in reports: ", stage) +
            FromShiftJis((const char *)&run.errorText[1], run.errorText[0]) + "\n");
        return exitReported;
    default:
        Err(Format("filterhost: %s: the plug-in answered result code %d; nothing written\n",
                   stage, result));
        return exitOtherResult;
    }
}

static int Apply(int argc, char **argv)
{
    if (argc < 3)
        return Usage("apply needs PLUGIN IN.png OUT.png");
    const char *pluginPath = argv[0];
    const char *inPath = argv[1];
    const char *outPath = argv[2];
    RGBColor foreground = {0, 0, 0};
    const char *answer = NULL;
    const char *snapshot = NULL;
    for (int i = 3; i < argc; ++i) {
        if (!strcmp(argv[i], "--answer") && i + 1 < argc) {
            answer = argv[++i];
        } else if (!strcmp(argv[i], "--snapshot") && i + 1 < argc) {
            snapshot = argv[++i];
        } else if (!strcmp(argv[i], "--foreground") && i + 1 < argc) {
            if (!ParseColour(argv[++i], &foreground))
                return Usage(Format("--foreground wants six hex digits RRGGBB, not \"%s\"", argv[i]));
        } else {
            return Usage(Format("unknown option \"%s\"", argv[i]));
        }
    }
    if (snapshot && !answer)
        return Usage("--snapshot is taken while answering: it needs --answer");
    if (SameFile(inPath, outPath)) {
        Err("filterhost: OUT is the input file; the input is never overwritten\n");
        return exitFile;
    }

    Image image;
    std::string reason;
    if (!LoadImage(inPath, &image, &reason)) {
        Err(Format("filterhost: %s: %s\n", inPath, reason.c_str()));
        return exitFile;
    }

    HostPlugin plugin = HostLoadPlugin(pluginPath);
    if (!plugin.entry) {
        Err(Format("filterhost: %s: %s\n", pluginPath,
                   plugin.module ? "no ENTRYPOINT export" : "cannot be loaded as a plug-in"));
        return exitPlugin;
    }

    // The plug-in reads the layer as it was and writes into a buffer that holds
    // the current pixels, as a host hands them over.
    std::vector<uint8_t> original = image.pixels;
    std::vector<uint8_t> record(1024, 0);  // hosts allocate more than the fields we know
    HostRun run = {};
    run.record = (FilterRecord *)record.data();
    run.layer = {image.width, image.height, image.planes, original.data(),
                 image.width * image.planes, image.pixels.data(), image.width * image.planes};
    run.onProgress = ShowProgress;
    HostBind(&run, NULL, foreground);

    intptr_t data = 0;
    int16_t result = noErr;
    plugin.entry(filterSelectorPrepare, run.record, &data, &result);
    int status = ReportResult(result, run, "prepare");
    if (status == exitOk) {
        // The wrapper script says when the display is a private one; a dialog
        // there would wait for a user who cannot see it.
        UINT_PTR timer = 0;
        answerer = Answerer();
        answerer.unseen = !answer && getenv("FILTERHOST_NO_VIEWER");
        if (answer || answerer.unseen) {
            answerer.text = answer ? answer : "";
            answerer.snapshotPath = snapshot;
            timer = SetTimer(NULL, 0, answerTickMs, AnswerTick);
        }
        plugin.entry(filterSelectorStart, run.record, &data, &result);
        if (timer)
            KillTimer(NULL, timer);
        if (progressShown >= 0 && progressOnConsole == 1)
            Err("\n");
        if (answerer.snapshotFailed)
            Err(Format("filterhost: %s: the dialog's snapshot could not be saved\n", snapshot));
        if (answerer.closedUnseen) {
            Err("filterhost: start: the plug-in asks in a dialog, but this display is one nobody "
                "can see; give the answer with --answer TEXT (nothing written)\n");
            status = exitNoViewer;
        } else if (answerer.refused) {
            Err(Format("filterhost: start: the dialog's field shows \"%s\" after typing \"%s\"; "
                       "the dialog was cancelled and nothing written\n",
                       answerer.shown.c_str(), answer));
            status = exitAnswer;
        } else {
            status = ReportResult(result, run, "start");
        }
    }
    FreeLibrary(plugin.module);
    if (status != exitOk)
        return status;

    if (!SaveImage(outPath, image, &reason)) {
        Err(Format("filterhost: %s: %s\n", outPath, reason.c_str()));
        return exitFile;
    }
    Out(Format("wrote %s (%d x %d)\n", outPath, image.width, image.height));
    return exitOk;
}

// ---- about ----

// Sends the About selector with a window of ours as the host window, so the
// box appears as a host would show it, on the caller's display.
static int About(const char *pluginPath)
{
    HostPlugin plugin = HostLoadPlugin(pluginPath);
    if (!plugin.entry) {
        Err(Format("filterhost: %s: %s\n", pluginPath,
                   plugin.module ? "no ENTRYPOINT export" : "cannot be loaded as a plug-in"));
        return exitPlugin;
    }
    HWND host = CreateWindowExA(0, "STATIC", "filterhost", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    PlatformData platform = {};
    platform.hwnd = host;
    AboutRecord record = {};
    record.platformData = &platform;
    intptr_t data = 0;
    int16_t result = noErr;
    plugin.entry(filterSelectorAbout, &record, &data, &result);
    if (host)
        DestroyWindow(host);
    FreeLibrary(plugin.module);
    return result == noErr ? exitOk : exitOtherResult;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return Usage("");
    if (!strcmp(argv[1], "info") && argc == 3)
        return Info(argv[2]);
    if (!strcmp(argv[1], "apply"))
        return Apply(argc - 2, argv + 2);
    if (!strcmp(argv[1], "about") && argc == 3)
        return About(argv[2]);
    if (!strcmp(argv[1], "--help") || !strcmp(argv[1], "help")) {
        Out(usage);
        return exitOk;
    }
    return Usage(Format("unknown command \"%s\"", argv[1]));
}

// Throughput of the two kernels, run through ENTRYPOINT as a host runs them,
// against memcpy of the same buffers in the same run. The kernel is timed
// alone: from the moment advanceState hands over the pixels to the last
// progress call. Medians of several repetitions; the ratio is the median of
// the repetitions' own ratios.
#include "about/about.h"
#include "tools/filterhost/host.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

static const int32_t side = 4096;
static const int repetitions = 7;

static LARGE_INTEGER frequency, copyStart, kernelStart, kernelEnd;
static volatile LONG dialogMayShow;  // between Start and the pixels' arrival

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

// The baseline: the copy that puts the layer's pixels back into the output
// buffer before every run, timed just before the kernel gets them. An untimed
// copy first wakes the processor and memory from the pause, so the timed copy
// and the kernel meet the machine in the same state.
static const uint8_t *copySource;
static uint8_t *copyTarget;
static size_t copyBytes;

static OSErr TimedAdvanceState(void)
{
    dialogMayShow = 0;
    // A dialog that just closed leaves the system repainting behind it for a
    // moment; the pixels are handed over once that has settled.
    Sleep(100);
    OSErr result = HostAdvanceState();
    memcpy(copyTarget, copySource, copyBytes);
    QueryPerformanceCounter(&copyStart);
    memcpy(copyTarget, copySource, copyBytes);
    QueryPerformanceCounter(&kernelStart);
    return result;
}

static void TimedProgress(int32_t done, int32_t total)
{
    if (done == total - 1)
        QueryPerformanceCounter(&kernelEnd);
}

// The threshold dialog is answered with OK as soon as it shows. The watch
// sleeps while a kernel runs, so it takes nothing from the measurement.
static DWORD WINAPI AnswerDialogs(void *)
{
    for (;;) {
        Sleep(5);
        if (!dialogMayShow)
            continue;
        HWND dialog = FindWindowA("#32770", NULL);
        DWORD process = 0;
        if (dialog)
            GetWindowThreadProcessId(dialog, &process);
        if (dialog && process == GetCurrentProcessId())
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
}

static double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Layer {
    const char *name;
    std::vector<uint8_t> pixels;
};

static std::vector<Layer> MakeLayers(void)
{
    std::vector<Layer> layers(2);
    const size_t bytes = (size_t)side * side * 4;
    layers[0].name = "random";
    layers[0].pixels.resize(bytes);
    uint32_t state = 2463534242u;
    for (size_t i = 0; i < bytes; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        layers[0].pixels[i] = (uint8_t)state;
    }
    layers[1].name = "one colour";
    layers[1].pixels.resize(bytes);
    for (size_t i = 0; i < bytes; i += 4) {
        layers[1].pixels[i] = 0x20;
        layers[1].pixels[i + 1] = 0xB0;
        layers[1].pixels[i + 2] = 0x40;
        layers[1].pixels[i + 3] = 0x80;
    }
    return layers;
}

static std::string PluginPath(const char *name)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name;
}

// One keyed percentage blend over the whole About face against a plain copy
// of the same pixels, in microseconds.
static void BenchBlend(void)
{
    const int32_t width = 280, height = 150;
    void *sourceBits = NULL;
    HBITMAP source = CreateDibBottomUp(width, height, &sourceBits);
    HDC display = CreateSurfaceDC(width, height);
    HBITMAP target = GetSurfaceBitmap(display);
    BITMAPINFOHEADER header;
    if (!source || !GetDibHeader(source, &header) || !GetDibBits(target)) {
        printf("\nBlendDib: the surfaces could not be made\n");
        return;
    }
    const size_t bytes = (size_t)((width * 3 + 3) & ~3) * height;
    for (size_t i = 0; i < bytes; ++i)
        ((uint8_t *)sourceBits)[i] = (uint8_t)(i * 7);
    std::vector<double> blendTimes, copyTimes;
    for (int i = 0; i < 101; ++i) {
        LARGE_INTEGER a, b, c;
        QueryPerformanceCounter(&a);
        BlendDib(target, 0, 0, width, height, &header, sourceBits, 0, 0, 0xFFFEFF, 50, 0);
        QueryPerformanceCounter(&b);
        memcpy(GetDibBits(target), sourceBits, bytes);
        QueryPerformanceCounter(&c);
        blendTimes.push_back(Seconds(a, b) * 1e6);
        copyTimes.push_back(Seconds(b, c) * 1e6);
    }
    printf("\nBlendDib over the 280 x 150 face at 50 %%: %.1f us; a plain copy of the same "
           "pixels: %.1f us (median of 101)\n", Median(blendTimes), Median(copyTimes));
    DestroySurfaceDC(display);
    DeleteObject(source);
}

int main()
{
    QueryPerformanceFrequency(&frequency);
    CreateThread(NULL, 0, AnswerDialogs, NULL, 0, NULL);
    std::vector<Layer> layers = MakeLayers();
    const size_t bytes = (size_t)side * side * 4;
    const double megapixels = (double)side * side / 1e6;
    std::vector<uint8_t> out(bytes);
    std::vector<uint8_t> record(1024);

    printf("%d x %d pixels, median of %d runs\n\n", side, side, repetitions);
    printf("%-10s %-11s %12s %12s %7s\n", "kernel", "layer", "Mpixel/s", "memcpy", "ratio");
    const char *plugins[] = {"cornerkey.8bf", "stepedge.8bf"};
    for (const char *file : plugins) {
        const std::string name(file, strcspn(file, "."));
        HostPlugin plugin = HostLoadPlugin(PluginPath(file).c_str());
        if (!plugin.entry) {
            printf("%-10s cannot be loaded\n", name.c_str());
            continue;
        }
        for (Layer &layer : layers) {
            // The ratio is the median of each run's own ratio, so a slow
            // moment of the machine weighs on one pair only.
            std::vector<double> kernelTimes, copyTimes, ratios;
            copySource = layer.pixels.data();
            copyTarget = out.data();
            copyBytes = bytes;
            int16_t result = noErr;
            for (int i = 0; i < repetitions && result == noErr; ++i) {
                std::fill(record.begin(), record.end(), 0);
                HostRun run = {};
                run.record = (FilterRecord *)record.data();
                run.layer = {side, side, 4, layer.pixels.data(), side * 4, out.data(), side * 4};
                HostBind(&run, NULL, {0x1111, 0x2222, 0x3333});
                run.record->advanceState = TimedAdvanceState;
                run.record->progressProc = TimedProgress;
                intptr_t data = 0;
                plugin.entry(filterSelectorPrepare, run.record, &data, &result);
                dialogMayShow = 1;
                plugin.entry(filterSelectorStart, run.record, &data, &result);
                copyTimes.push_back(Seconds(copyStart, kernelStart));
                kernelTimes.push_back(Seconds(kernelStart, kernelEnd));
                ratios.push_back(copyTimes.back() / kernelTimes.back());
            }
            if (result != noErr) {
                printf("%-10s %-11s the run ended with result %d\n", name.c_str(), layer.name, result);
                continue;
            }
            double kernel = megapixels / Median(kernelTimes);
            double copy = megapixels / Median(copyTimes);
            printf("%-10s %-11s %12.1f %12.1f %7.2f\n", name.c_str(), layer.name, kernel, copy,
                   Median(ratios));
        }
        FreeLibrary(plugin.module);
    }
    BenchBlend();
    return 0;
}

#include "testhost.h"

#include <windows.h>

std::vector<long> CanaryRecord::ChangedSince(const std::vector<uint8_t> &snapshot) const
{
    std::vector<long> changed;
    for (size_t i = 0; i < memory.size(); ++i) {
        if (memory[i] != snapshot[i])
            changed.push_back((long)i - (long)recordSpace);
    }
    return changed;
}

TestLayer::TestLayer(int32_t width, int32_t height, int32_t rowBytes)
    : width(width), height(height), rowBytes(rowBytes ? rowBytes : width * 4),
      in((size_t)this->rowBytes * height, 0x5A), out((size_t)this->rowBytes * height, 0x5A)
{
}

void TestLayer::Set(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    uint8_t pixel[4] = {r, g, b, a};
    memcpy(InPixel(x, y), pixel, 4);
    memcpy(OutPixel(x, y), pixel, 4);
}

NoAccessPages::NoAccessPages(size_t bytes)
    : base(VirtualAlloc(NULL, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS))
{
}

NoAccessPages::~NoAccessPages()
{
    VirtualFree(base, 0, MEM_RELEASE);
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string PluginPath(const char *name)
{
    return ProgramFolder() + name;
}

RGBColor Colour16(uint16_t red, uint16_t green, uint16_t blue)
{
    RGBColor colour = {red, green, blue};
    return colour;
}

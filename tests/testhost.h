// Test fixtures around the shared host core: a filter record with canary
// bytes on both sides, layers with chosen row strides, and the plug-ins
// loaded from beside the test program.
#ifndef QUILLMERE_TESTHOST_H
#define QUILLMERE_TESTHOST_H

#include "tools/filterhost/host.h"

#include <stdint.h>
#include <string>
#include <vector>

static const uint8_t canaryByte = 0xA5;
static const size_t recordSpace = 1024;  // what the fixture hands over as the record

// A record whose every byte starts as the canary, so a test sees exactly
// which bytes a plug-in wrote.
struct CanaryRecord {
    std::vector<uint8_t> memory = std::vector<uint8_t>(3 * recordSpace, canaryByte);
    FilterRecord *record() { return (FilterRecord *)&memory[recordSpace]; }
    // Offsets (from the record's start; negative before it) that differ from
    // the snapshot.
    std::vector<long> ChangedSince(const std::vector<uint8_t> &snapshot) const;
};

// A layer of width x height pixels of 4 bytes, with rows rowBytes apart
// (rowBytes >= width * 4); the padding bytes hold a pattern the kernels must
// leave alone.
struct TestLayer {
    int32_t width, height, rowBytes;
    std::vector<uint8_t> in, out;
    TestLayer(int32_t width, int32_t height, int32_t rowBytes = 0);
    uint8_t *InPixel(int x, int y) { return &in[y * rowBytes + x * 4]; }
    uint8_t *OutPixel(int x, int y) { return &out[y * rowBytes + x * 4]; }
    // Sets a pixel in both buffers: the host's output buffer starts as the
    // current layer.
    void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    HostLayer Host() { return {width, height, 4, in.data(), rowBytes, out.data(), rowBytes}; }
};

// Memory the process may not read: a fault for any kernel that touches it.
struct NoAccessPages {
    void *base;
    explicit NoAccessPages(size_t bytes);
    ~NoAccessPages();
};

// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();
std::string PluginPath(const char *name);

RGBColor Colour16(uint16_t red, uint16_t green, uint16_t blue);

#endif

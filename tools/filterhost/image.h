// PNG in and out through stb_image, a well-kept codec.
#ifndef QUILLMERE_IMAGE_H
#define QUILLMERE_IMAGE_H

#include <stdint.h>
#include <string>
#include <vector>

struct Image {
    int32_t width = 0;
    int32_t height = 0;
    int32_t planes = 0;  // 3: RGB, 4: RGB and transparency
    std::vector<uint8_t> pixels;  // interleaved, rows width * planes apart
};

// Loads an 8-bit image. Grey is expanded to RGB and palette images to RGB or
// RGBA by the codec. Returns false with a reason for anything else.
bool LoadImage(const char *path, Image *image, std::string *reason);

// Writes a PNG next to path and moves it into place, so a failed write never
// leaves half a file behind.
bool SaveImage(const char *path, const Image &image, std::string *reason);

#endif

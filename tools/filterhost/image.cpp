#include "image.h"

#include <windows.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_FAILURE_USERMSG
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

static const int32_t largestSide = 30000;  // the host interface counts rows and columns in 16 bits

bool LoadImage(const char *path, Image *image, std::string *reason)
{
    FILE *file = fopen(path, "rb");
    if (!file) {
        *reason = "cannot open the file";
        return false;
    }
    int width, height, channels;
    if (!stbi_info_from_file(file, &width, &height, &channels)) {
        *reason = std::string("not a readable PNG (") + stbi_failure_reason() + ")";
        fclose(file);
        return false;
    }
    if (stbi_is_16_bit_from_file(file)) {
        *reason = "16 bits per channel; only 8-bit images are supported";
        fclose(file);
        return false;
    }
    if (width > largestSide || height > largestSide) {
        *reason = "larger than 30000 pixels on a side";
        fclose(file);
        return false;
    }
    // Grey gains colour; a transparency plane is kept only where there is one.
    int wanted = (channels == 2 || channels == 4) ? 4 : 3;
    unsigned char *data = stbi_load_from_file(file, &width, &height, &channels, wanted);
    fclose(file);
    if (!data) {
        *reason = std::string("corrupt PNG (") + stbi_failure_reason() + ")";
        return false;
    }
    image->width = width;
    image->height = height;
    image->planes = wanted;
    image->pixels.assign(data, data + (size_t)width * height * wanted);
    stbi_image_free(data);
    return true;
}

bool SaveImage(const char *path, const Image &image, std::string *reason)
{
    std::string temporary = std::string(path) + ".partial";
    if (!stbi_write_png(temporary.c_str(), image.width, image.height, image.planes,
                        image.pixels.data(), image.width * image.planes)) {
        DeleteFileA(temporary.c_str());
        *reason = "cannot write the file";
        return false;
    }
    if (!MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary.c_str());
        *reason = "cannot move the finished file into place";
        return false;
    }
    return true;
}

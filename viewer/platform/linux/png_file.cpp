#include <png.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "viewer/platform/offscreen_gl.h"

namespace quillon::platform {

namespace {

// The simplified interface's description of RGB rows; false when `rgb` is too short for them.
bool describe(png_image& image, int width, int height, const std::vector<std::uint8_t>& rgb) {
    image = png_image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // Quick compression: a batch picture is wanted now rather than a few kilobytes smaller.
    image.flags = PNG_IMAGE_FLAG_FAST;
    return width > 0 && height > 0 &&
           rgb.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
}

}  // namespace

std::vector<std::uint8_t> encodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
    png_image image;
    if (!describe(image, width, height, rgb)) return {};
    png_alloc_size_t size = 0;
    std::vector<std::uint8_t> bytes;
    // The first call tells the size, the second writes.
    if (png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) {
        bytes.resize(size);
        if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr))
            bytes.clear();
        bytes.resize(std::min<std::size_t>(bytes.size(), size));
    }
    png_image_free(&image);
    return bytes;
}

bool writePng(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgb) {
    png_image image;
    if (!describe(image, width, height, rgb)) return false;
    bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return true;
}

}  // namespace quillon::platform

// What both headless contexts share: the picture read back from the current context.
#include "viewer/platform/offscreen_gl.h"

#if defined(_WIN32)
#include "common/windows_api.h"
#endif
#include <GL/gl.h>

#include <algorithm>

namespace quillon::platform {

std::vector<std::uint8_t> OffscreenGl::readRgb() const {
    std::size_t row = static_cast<std::size_t>(width_) * 3;
    std::vector<std::uint8_t> flipped(row * static_cast<std::size_t>(height_));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, flipped.data());
    // OpenGL's first row is the bottom one.
    std::vector<std::uint8_t> rgb(flipped.size());
    for (int y = 0; y < height_; ++y)
        std::copy_n(&flipped[static_cast<std::size_t>(height_ - 1 - y) * row], row,
                    &rgb[static_cast<std::size_t>(y) * row]);
    return rgb;
}

}  // namespace quillon::platform

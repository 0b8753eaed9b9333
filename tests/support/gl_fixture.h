#pragma once
// A headless OpenGL context for tests, and a way to draw one frame of a state into pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "viewer/platform/offscreen_gl.h"

namespace testsupport {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    Rgb at(int x, int y) const {
        std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                         static_cast<std::size_t>(x)) *
                        3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
    // Pixels in the rectangle [x0, x1) × [y0, y1) for which `pred` holds.
    template <class Pred>
    int count(int x0, int y0, int x1, int y1, Pred pred) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += pred(at(x, y)) ? 1 : 0;
        return n;
    }
};

inline bool isBlack(const Rgb& c) {
    return c.r == 0 && c.g == 0 && c.b == 0;
}

// One context of the given size per test (call makeContext inside ASSERT_NO_FATAL_FAILURE).
class GlTest : public ::testing::Test {
  protected:
    void makeContext(int width, int height) {
        gl_ = std::make_unique<quillon::platform::OffscreenGl>(width, height);
        ASSERT_TRUE(gl_->status().ok()) << "no headless OpenGL: " << gl_->status().failure().message
                                        << " (" << gl_->status().failure().detail << ")";
    }
    Picture picture() const { return {gl_->width(), gl_->height(), gl_->readRgb()}; }
    std::unique_ptr<quillon::platform::OffscreenGl> gl_;
};

}  // namespace testsupport

#pragma once
// A headless OpenGL context with an 8-bit RGBA colour buffer and a 24-bit depth buffer of a given
// size, for batch pictures and tests; nothing is shown. On Linux it is EGL on Mesa's surfaceless
// platform (linux/offscreen_gl.cpp), which needs no display; on Windows a framebuffer object in a
// hidden window's context, or a bitmap's context where the driver has no framebuffer objects
// (win32/offscreen_gl.cpp).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/outcome.h"

namespace quillon::platform {

// The depth buffer every picture is drawn with.
constexpr int kPictureDepthBits = 24;

class OffscreenGl {
  public:
    // Creates the context and makes it current; check status(). The context that was
    // current before (a window's) is current again when this object goes. `depthBits` is the depth
    // buffer of the context's own surface (at least that many bits); tests ask for others to show
    // that a picture drawn through a GlFramebuffer does not depend on it.
    OffscreenGl(int width, int height, int depthBits = kPictureDepthBits);
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    // Done, or why there is no context: what failed, with the system's error as the detail.
    const common::Outcome& status() const { return status_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void makeCurrent();
    // An OpenGL function of the current headless context (for GlFramebuffer); null when missing.
    static void* function(const char* name);
    // The picture as rows of RGB bytes, top row first.
    std::vector<std::uint8_t> readRgb() const;

  private:
    struct Context;
    std::unique_ptr<Context> context_;
    int width_, height_;
    common::Outcome status_ = common::Failure("no OpenGL context was made");
};

// RGB rows (top row first) as the bytes of an 8-bit PNG file; empty when they cannot be encoded.
std::vector<std::uint8_t> encodePng(int width, int height, const std::vector<std::uint8_t>& rgb);
// Writes RGB rows (top row first) as an 8-bit PNG at `path` (UTF-8). False when the file cannot
// be written.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
// Reads an 8-bit PNG as RGB rows; false when it cannot be read.
bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb);

}  // namespace quillon::platform

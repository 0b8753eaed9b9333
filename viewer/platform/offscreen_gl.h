#pragma once
// A headless OpenGL context (EGL on Mesa's surfaceless platform) with a colour and depth
// buffer of a given size, for batch pictures and tests. No display is needed.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quillon::platform {

class OffscreenGl {
  public:
    // Creates the context and makes it current; check ok() and error().
    OffscreenGl(int width, int height);
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void makeCurrent();
    // The picture as rows of RGB bytes, top row first.
    std::vector<std::uint8_t> readRgb() const;

  private:
    struct Egl;
    std::unique_ptr<Egl> egl_;
    int width_, height_;
    bool ok_ = false;
    std::string error_;
};

// Writes RGB rows (top row first) as an 8-bit PNG. False when the file cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
// Reads an 8-bit PNG as RGB rows; false when it cannot be read.
bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb);

}  // namespace quillon::platform

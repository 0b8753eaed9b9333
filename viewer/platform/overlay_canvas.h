#pragma once
// Two-dimensional drawing over the finished 3-D picture, in window pixels with y downwards.
#include <cstdint>
#include <string>

namespace quillon::platform {

class OverlayCanvas {
  public:
    virtual ~OverlayCanvas() = default;
    // The rectangle from (left, top) to (right, bottom), right and bottom exclusive, filled with
    // `colour` (0x00BBGGRR) inside a 1-pixel black frame.
    virtual void fillRect(int left, int top, int right, int bottom, std::int32_t colour) = 0;
    // `text` on a transparent background with its top-left corner at (x, y). `height` is the
    // character cell height in pixels and `width` the average character width (0: the font's
    // own proportions).
    virtual void text(int x, int y, const std::string& text, std::int32_t colour, int height,
                      int width) = 0;
};

}  // namespace quillon::platform

#pragma once
// The frame as a vector picture (SVG 1.1): what the frame shows, in the view's window pixels
// (y downwards), with the hidden parts left out. The picture is found in two steps: the frame is
// drawn with OpenGL and its depth and colour buffers read back; then each contour triangle and
// each line segment of the frame is followed over the pixel centres it covers, and kept where
// its depth is the depth the buffer holds, in the colour the buffer shows there. Faces are
// written far first, lines over them, and the overlays (labels, legend) last.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/platform/overlay_canvas.h"
#include "viewer/render/frame.h"
#include "viewer/state/app_state.h"

namespace quillon {

// A filled triangle in window pixels (x to the right, y downwards).
struct SvgFace {
    float x[3], y[3];
    std::int32_t colour;  // 0x00BBGGRR
};

// A line in window pixels.
struct SvgLine {
    float x0, y0, x1, y1;
    std::int32_t colour;  // 0x00BBGGRR
    int width;            // pixels
};

// A legend box (a rectangle inside a 1-pixel black frame, right and bottom exclusive) or a text
// with its top-left corner at (x, y), as the overlay canvas is asked to draw them.
struct SvgOverlay {
    bool isText = false;
    int x = 0, y = 0, right = 0, bottom = 0;
    std::string text;
    std::int32_t colour = 0;  // 0x00BBGGRR
    int height = 0;           // text: the character cell height in pixels
};

struct SvgScene {
    int width = 0, height = 0;
    std::vector<SvgFace> faces;        // far first
    std::vector<SvgLine> lines;        // over the faces, each over those before it
    std::vector<SvgOverlay> overlays;  // in drawing order, over everything
};

// The SVG document of a scene: a black background, the faces, the lines, then the overlays.
// Coordinates carry at most one decimal; faces and lines that follow one another in one colour
// share a path, which changes no pixel.
std::string SvgDocument(const SvgScene& scene);
// Text for XML character data and attribute values: & < > " ' as entities; control characters
// that XML 1.0 does not allow are left out.
std::string svgEscape(std::string_view text);
// A coordinate rounded to one decimal, without a trailing ".0" or a negative zero.
std::string svgNumber(double value);
// "#rrggbb" of a 0x00BBGGRR colour, "#rgb" where that says the same.
std::string svgColour(std::int32_t colour);

// An overlay canvas that keeps what it is asked to draw for the picture.
class SvgOverlayCanvas : public platform::OverlayCanvas {
  public:
    explicit SvgOverlayCanvas(std::vector<SvgOverlay>& out) : out_(out) {}
    void fillRect(int left, int top, int right, int bottom, std::int32_t colour) override;
    void text(int x, int y, const std::string& text, std::int32_t colour, int height,
              int width) override;

  private:
    std::vector<SvgOverlay>& out_;
};

// The scene of the state's frame at the view's size. Draws with OpenGL into the current
// context, which must be at least the view's size (W × H) with a depth buffer; the frame is
// drawn twice (the contours alone, then all of it) and the context holds the whole frame
// without its overlays afterwards. Sets the state's saved model-view matrix as a frame does.
SvgScene CaptureSvgScene(AppState& state, FrameCaches& caches);

// The picture of the state's frame as an SVG document of width × height pixels, for a file or
// the clipboard. Needs a current OpenGL context of at least that size with a depth buffer, and
// draws the frame into it itself; when the size is not the view's, the view is fitted to it for
// the picture (as a window of that size would show it) and left as it was afterwards. Empty
// when no model is loaded.
std::string SvgPicture(AppState& state, int width, int height);

}  // namespace quillon

#pragma once
// Numbers of nodes and elements written over the picture. Each label kind is laid out as
// plain data (font size, colour, texts at window positions) and then drawn on a canvas.
#include <cstdint>
#include <string>
#include <vector>

#include "viewer/model/result_model.h"
#include "viewer/view/view_state.h"

namespace quillon {

namespace platform {
class OverlayCanvas;
}

constexpr std::int32_t kNodeNumberColour = 0x00FF0000;      // blue
constexpr std::int32_t kQuadNumberColour = 0x00FF00FF;      // magenta
constexpr std::int32_t kTriangleNumberColour = 0x00800080;  // purple
constexpr std::int32_t kBeamNumberColour = 0x0000FFFF;      // yellow

struct WindowPoint {
    int x, y;  // client pixels, y downwards
};

// The window position of a model point under the saved model-view matrix and the camera's
// orthographic volume and client size (cut towards zero).
WindowPoint ProjectToWindow(const Matrix4& modelView, const ViewState& view, const Point3D& p);

struct LabelText {
    int x, y;  // top-left corner of the text
    std::string text;
};

struct LabelLayout {
    std::int32_t colour = 0;
    int height = 0, width = 0;  // font cell height and average character width, pixels
    std::vector<LabelText> texts;
};

// Pixels per model unit across the current view volume.
double pixelsPerUnit(const ViewState& view);

// Each lays out one label kind; empty when its count is zero, its filter is None or the
// font height comes out as 0 (a mean length of zero).
LabelLayout LayoutNodeNumbers(const ResultModel& model, const Matrix4& modelView,
                              const ViewState& view);
LabelLayout LayoutQuadNumbers(const ResultModel& model, const Matrix4& modelView,
                              const ViewState& view);
LabelLayout LayoutTriangleNumbers(const ResultModel& model, const Matrix4& modelView,
                                  const ViewState& view);
LabelLayout LayoutBeamNumbers(const ResultModel& model, const Matrix4& modelView,
                              const ViewState& view);

void DrawLabels(const LabelLayout& layout, platform::OverlayCanvas& canvas);
void DrawNodeNumbers(const ResultModel& model, const Matrix4& modelView, const ViewState& view,
                     platform::OverlayCanvas& canvas);
void DrawQuadNumbers(const ResultModel& model, const Matrix4& modelView, const ViewState& view,
                     platform::OverlayCanvas& canvas);
void DrawTriangleNumbers(const ResultModel& model, const Matrix4& modelView, const ViewState& view,
                         platform::OverlayCanvas& canvas);
void DrawBeamNumbers(const ResultModel& model, const Matrix4& modelView, const ViewState& view,
                     platform::OverlayCanvas& canvas);

}  // namespace quillon

#pragma once
// The contour legend: nine coloured boxes near the right edge of the window, lowest band at
// the bottom, with the level values written beside the box edges in the band colours.
#include <cstdint>
#include <string>
#include <vector>

#include "viewer/contour/stress_scale.h"
#include "viewer/model/result_model.h"

namespace quillon {

namespace platform {
class OverlayCanvas;
}

constexpr int kLegendBoxWidth = 50;
constexpr int kLegendBoxStep = 35;      // box height and step between boxes
constexpr int kLegendLeftInset = 200;   // left edge of the boxes, from the right edge of the window
constexpr int kLegendLabelInset = 145;  // start of the labels, from the right edge of the window
constexpr int kLegendLabelRaise = 12;   // label top above the box edge it names
constexpr int kLegendFontHeight = 25;

struct LegendBox {
    int left, top, right, bottom;
    std::int32_t colour;
};

struct LegendLabel {
    int x, y;          // top-left corner of the text
    std::string text;  // "%-10g", trailing blanks kept
    std::int32_t colour;
};

struct LegendLayout {
    std::vector<LegendBox> boxes;     // band 0 first (the bottom box)
    std::vector<LegendLabel> labels;  // L[0] first; one more than boxes
    int fontHeight = kLegendFontHeight;
};

// The legend of `levels` (one more than the bands) for a client area of width W and height H.
// Band i has colour colourTable[i]; the top label takes the top band's colour. Every size and
// inset is multiplied by `scale` (the display's pixels per inch over 96) and rounded.
LegendLayout LayoutLegend(const std::vector<double>& levels,
                          const std::vector<std::int32_t>& colourTable, int W, int H,
                          double scale = 1);

// Builds the levels of `component` over the selected elements and draws the legend for a
// client area of W × H pixels.
void DrawLegend(const ResultModel& model, StressComponent component, int W, int H,
                platform::OverlayCanvas& canvas, double scale = 1);
// The same for levels already built (the frames keep them while the selection holds).
void DrawLegend(const std::vector<double>& levels, const std::vector<std::int32_t>& colourTable,
                int W, int H, platform::OverlayCanvas& canvas, double scale = 1);

}  // namespace quillon

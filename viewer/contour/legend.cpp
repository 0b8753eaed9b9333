#include "viewer/contour/legend.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "viewer/platform/overlay_canvas.h"

namespace quillon {

LegendLayout LayoutLegend(const std::vector<double>& levels,
                          const std::vector<std::int32_t>& colourTable, int W, int H,
                          double scale) {
    auto sized = [scale](int pixels) { return static_cast<int>(std::lround(pixels * scale)); };
    const int boxWidth = sized(kLegendBoxWidth), step = sized(kLegendBoxStep);
    const int leftInset = sized(kLegendLeftInset), labelInset = sized(kLegendLabelInset);
    const int raise = sized(kLegendLabelRaise);
    LegendLayout layout;
    layout.fontHeight = sized(kLegendFontHeight);
    std::size_t n = std::min(levels.empty() ? 0 : levels.size() - 1, colourTable.size());
    if (n == 0) return layout;
    auto label = [&](int bottom, std::size_t level, std::int32_t colour) {
        char text[100];
        std::snprintf(text, sizeof text, "%-10g", levels[level]);
        layout.labels.push_back({W - labelInset, bottom - raise, text, colour});
    };
    // The column is centred on the middle of the client area.
    int bottom = static_cast<int>(n) * step / 2 + H / 2;
    int top = bottom - step;
    for (std::size_t i = 0; i < n; ++i) {
        layout.boxes.push_back(
            {W - leftInset, top, W - leftInset + boxWidth, bottom, colourTable[i]});
        label(bottom, i, colourTable[i]);
        top -= step;
        bottom -= step;
    }
    label(bottom, n, colourTable[n - 1]);
    return layout;
}

void DrawLegend(const ResultModel& model, StressComponent component, int W, int H,
                platform::OverlayCanvas& canvas, double scale) {
    double min = 0, max = 0;
    SelectedStressRange(model, component, min, max);
    DrawLegend(BuildContourLevels(min, max, model.colourCount), model.colourTable, W, H, canvas,
               scale);
}

void DrawLegend(const std::vector<double>& levels, const std::vector<std::int32_t>& colourTable,
                int W, int H, platform::OverlayCanvas& canvas, double scale) {
    LegendLayout layout = LayoutLegend(levels, colourTable, W, H, scale);
    // Box and label of each band in turn, as the column is built from the bottom up.
    for (std::size_t i = 0; i < layout.labels.size(); ++i) {
        if (i < layout.boxes.size()) {
            const LegendBox& b = layout.boxes[i];
            canvas.fillRect(b.left, b.top, b.right, b.bottom, b.colour);
        }
        const LegendLabel& l = layout.labels[i];
        canvas.text(l.x, l.y, l.text, l.colour, layout.fontHeight, 0);
    }
}

}  // namespace quillon

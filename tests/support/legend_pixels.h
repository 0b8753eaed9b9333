#pragma once
// Checks of a drawn legend against its layout, shared by the frame and snapshot tests.
#include <gtest/gtest.h>

#include "tests/support/gl_fixture.h"
#include "viewer/contour/legend.h"

namespace testsupport {

inline Rgb rgbOf(std::int32_t colour) {
    return {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF};
}

// The legend of a component over the selection, as the frame lays it out.
inline quillon::LegendLayout legendOf(const quillon::ResultModel& model,
                                      quillon::StressComponent component, int W, int H) {
    double min = 0, max = 0;
    quillon::SelectedStressRange(model, component, min, max);
    return quillon::LayoutLegend(quillon::BuildContourLevels(min, max, model.colourCount),
                                 model.colourTable, W, H);
}

// Box insides exactly in the band colours, frames black, and in each label's rows, right of
// the boxes, pixels of exactly the label's colour.
inline void expectLegendPixels(const Picture& p, const quillon::LegendLayout& l) {
    ASSERT_EQ(l.boxes.size(), 9u);
    for (std::size_t i = 0; i < l.boxes.size(); ++i) {
        const auto& b = l.boxes[i];
        Rgb band = rgbOf(b.colour);
        int inside = (b.right - b.left - 2) * (b.bottom - b.top - 2);
        EXPECT_EQ(p.count(b.left + 1, b.top + 1, b.right - 1, b.bottom - 1,
                          [&](Rgb c) { return c == band; }),
                  inside)
            << "band " << i << " should be " << band;
        int frame = (b.right - b.left) * (b.bottom - b.top) - inside;
        EXPECT_EQ(p.count(b.left, b.top, b.right, b.bottom, isBlack), frame)
            << "frame of band " << i;
    }
    for (const auto& t : l.labels) {
        Rgb colour = rgbOf(t.colour);
        EXPECT_GT(p.count(t.x, t.y, p.width, t.y + quillon::kLegendFontHeight,
                          [&](Rgb c) { return c == colour; }),
                  15)
            << "label " << t.text;
    }
}

}  // namespace testsupport

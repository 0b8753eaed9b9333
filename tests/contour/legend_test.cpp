#include "viewer/contour/legend.h"

#include <gtest/gtest.h>

#include "tests/model/result_text.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/temp_file.h"

namespace {

using quillon::LayoutLegend;
using quillon::LegendLayout;

const std::vector<std::int32_t> kTable = quillon::ResultModel().colourTable;

std::vector<double> levels(double min, double max) {
    return quillon::BuildContourLevels(min, max, 9);
}

TEST(LegendLayout, NineBoxesCentredNearTheRightEdgeOf800x600) {
    LegendLayout l = LayoutLegend(levels(0, 9), kTable, 800, 600);
    ASSERT_EQ(l.boxes.size(), 9u);
    ASSERT_EQ(l.labels.size(), 10u);
    for (std::size_t i = 0; i < 9; ++i) {
        const auto& b = l.boxes[i];
        EXPECT_EQ(b.left, 600) << i;
        EXPECT_EQ(b.right, 650) << i;
        EXPECT_EQ(b.bottom, 457 - 35 * static_cast<int>(i)) << i;
        EXPECT_EQ(b.top, b.bottom - 35) << i;
        EXPECT_EQ(b.colour, kTable[i]) << i;  // lowest band at the bottom
    }
    EXPECT_EQ(l.boxes[0].top, 422);
    EXPECT_EQ(l.boxes[8].top, 142);
    EXPECT_EQ(l.boxes[8].bottom, 177);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(l.labels[i].x, 655) << i;
        EXPECT_EQ(l.labels[i].y, 445 - 35 * static_cast<int>(i))
            << i;  // 12 above the edge it names
    }
    EXPECT_EQ(l.labels[9].y, 130);
    // Each label in the colour of the band above its edge; the top one in the top band's.
    for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(l.labels[i].colour, kTable[i]);
    EXPECT_EQ(l.labels[9].colour, kTable[8]);
    EXPECT_EQ(l.labels[0].text, "0         ");
    EXPECT_EQ(l.labels[9].text, "9         ");
}

TEST(LegendLayout, OddSizesAndNarrowWindows) {
    // Integer halves: 9·35/2 = 157, 601/2 = 300; the column is not moved into a narrow window.
    LegendLayout l = LayoutLegend(levels(0, 1), kTable, 150, 601);
    EXPECT_EQ(l.boxes[0].bottom, 457);
    EXPECT_EQ(l.boxes[0].left, -50);
    EXPECT_EQ(l.labels[0].x, 5);
    // No bands, no legend.
    EXPECT_TRUE(LayoutLegend({1.0}, kTable, 800, 600).boxes.empty());
    EXPECT_TRUE(LayoutLegend(levels(0, 1), {}, 800, 600).labels.empty());
}

TEST(LegendLayout, AScreenAt150PercentScalesEverySizeAndInset) {
    // 800 × 600 device pixels at 144 pixels per inch: 35 · 1.5 = 52.5 rounds to 53, and so on.
    LegendLayout l = LayoutLegend(levels(0, 9), kTable, 800, 600, 1.5);
    ASSERT_EQ(l.boxes.size(), 9u);
    EXPECT_EQ(l.fontHeight, 38);
    EXPECT_EQ(l.boxes[0].left, 500);
    EXPECT_EQ(l.boxes[0].right, 575);
    EXPECT_EQ(l.boxes[0].bottom, 9 * 53 / 2 + 300);
    EXPECT_EQ(l.boxes[8].top, l.boxes[0].bottom - 9 * 53);
    EXPECT_EQ(l.labels[0].x, 800 - 218);
    EXPECT_EQ(l.labels[0].y, l.boxes[0].bottom - 18);
    EXPECT_EQ(LayoutLegend(levels(0, 9), kTable, 800, 600).fontHeight, 25);
}

TEST(LegendLayout, LevelTextsArePaddedToTenCharacters) {
    std::vector<double> l = levels(0, 1);
    l[0] = 123.456;
    l[1] = 2.5e6;
    l[2] = -0.000125;
    l[3] = 12345678901.0;
    LegendLayout layout = LayoutLegend(l, kTable, 800, 600);
    EXPECT_EQ(layout.labels[0].text, "123.456   ");
    EXPECT_EQ(layout.labels[1].text, "2.5e+06   ");
    EXPECT_EQ(layout.labels[2].text, "-0.000125 ");
    EXPECT_EQ(layout.labels[3].text, "1.23457e+10");  // longer than ten: not cut
}

// A legend drawn for a loaded model: boxes and texts go to the canvas band by band.
class LegendOfModel : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::ResultText r = testsupport::squareModel();
        ASSERT_TRUE(model.loadResultFile(testsupport::writeFile("square.txt", r.text())).ok());
    }
    std::vector<std::string> labelTexts(quillon::StressComponent component) {
        testsupport::RecordingCanvas canvas;
        quillon::DrawLegend(model, component, 800, 600, canvas);
        std::vector<std::string> texts;
        for (const auto& c : canvas.texts()) texts.push_back(c.text);
        return texts;
    }
    quillon::ResultModel model;
};

TEST_F(LegendOfModel, DrawsBoxThenLabelFromTheBottomUpWithTheLegendFont) {
    testsupport::RecordingCanvas canvas;
    quillon::DrawLegend(model, quillon::kSe, 800, 600, canvas);
    ASSERT_EQ(canvas.calls.size(), 19u);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_FALSE(canvas.calls[2 * i].isText);
        EXPECT_EQ(canvas.calls[2 * i].y, 422 - 35 * static_cast<int>(i));
        EXPECT_TRUE(canvas.calls[2 * i + 1].isText);
    }
    for (const auto& t : canvas.texts()) {
        EXPECT_EQ(t.height, 25);
        EXPECT_EQ(t.width, 0);
    }
    // Se over the square model runs from 0 (quad, node 0, layer 0) to 5021 (triangle).
    auto texts = labelTexts(quillon::kSe);
    EXPECT_EQ(texts.front(), "0         ");
    EXPECT_EQ(texts.back(), "5021      ");
}

TEST_F(LegendOfModel, EmptySelectionShowsTheUntouchedRange) {
    std::fill(model.selQuad.begin(), model.selQuad.end(), 0);
    std::fill(model.selTri.begin(), model.selTri.end(), 0);
    model.pickQuad[0] = 1;  // picked but not selected: does not count
    auto texts = labelTexts(quillon::kSe);
    ASSERT_EQ(texts.size(), 10u);
    EXPECT_EQ(texts.front(), "1e+20     ");
    EXPECT_EQ(texts.back(), "-1e+20    ");
}

TEST_F(LegendOfModel, EqualValuesGiveTenEqualLabels) {
    // Sx is 1.5 at every element node.
    auto texts = labelTexts(0);
    ASSERT_EQ(texts.size(), 10u);
    for (const auto& t : texts) EXPECT_EQ(t, "1.5       ");
}

}  // namespace

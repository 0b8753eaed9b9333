// quillon --snapshot OUT.svg: the SVG picture is well-formed XML, and drawn by another renderer
// (rsvg-convert) it shows what the PNG snapshot of the same frame shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/gl_fixture.h"
#include "tests/support/legend_pixels.h"
#include "tests/support/run_process.h"
#include "tests/support/skip.h"
#include "tests/support/temp_file.h"
#include "viewer/contour/legend.h"
#include "viewer/platform/offscreen_gl.h"
#include "viewer/render/svg_picture.h"

namespace {

using testsupport::Picture;
using testsupport::Rgb;

constexpr int kW = 800, kH = 600;
const std::string kExample = std::string(QUILLON_SOURCE_DIR) + "/examples/Quillon_AverageStrs.txt";
// Neighbouring band colours differ by 127 in a channel before lighting, and by more than 40 as
// the example's faces are lit: a pixel within 16 of the PNG's shows the same band.
constexpr int kSameBand = 16;

std::string pathIn(const std::string& name) {
    return (testsupport::testDir() / name).string();
}

// Runs quillon --snapshot into `name` (PNG or SVG by its ending) on the example.
void snapshot(const std::string& name, const std::vector<std::string>& settings) {
    std::vector<std::string> args = {"--snapshot", pathIn(name), "--size",
                                     std::to_string(kW) + "x" + std::to_string(kH)};
    args.insert(args.end(), settings.begin(), settings.end());
    args.push_back(kExample);
    auto res = testsupport::runProcess(QUILLON_EXE, args);
    ASSERT_EQ(res.exitCode, 0) << res.err;
}

bool haveTool(const std::string& tool) {
    return testsupport::runProcess(tool, {"--version"}).exitCode == 0;
}

// The PNG and the SVG of one frame, the SVG drawn at the same size by rsvg-convert.
void pictures(const std::vector<std::string>& settings, Picture& png, Picture& svg) {
    ASSERT_NO_FATAL_FAILURE(snapshot("frame.png", settings));
    ASSERT_NO_FATAL_FAILURE(snapshot("frame.svg", settings));
    auto drawn = testsupport::runProcess("rsvg-convert",
                                         {"-w", std::to_string(kW), "-h", std::to_string(kH), "-o",
                                          pathIn("frame-svg.png"), pathIn("frame.svg")});
    ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
    ASSERT_TRUE(quillon::platform::readPng(pathIn("frame.png"), png.width, png.height, png.rgb));
    ASSERT_TRUE(
        quillon::platform::readPng(pathIn("frame-svg.png"), svg.width, svg.height, svg.rgb));
    ASSERT_EQ(svg.width, kW);
    ASSERT_EQ(svg.height, kH);
}

// The share of the pixels left of the legend in which the two pictures show the same band.
double sameLeftOfLegend(const Picture& a, const Picture& b) {
    const int x1 = kW - quillon::kLegendLeftInset;
    int same = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < x1; ++x) {
            const Rgb p = a.at(x, y), q = b.at(x, y);
            same += std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)}) <=
                    kSameBand;
        }
    return static_cast<double>(same) / (x1 * kH);
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class SvgSnapshot : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* tool : {"rsvg-convert", "xmllint"})
            if (!haveTool(tool)) {
                SKIP_OR_FAIL_IN_CI() << tool << " (scripts/install-deps.sh)";
            }
    }
};

TEST_F(SvgSnapshot, IsWellFormedAndShowsWhatThePngShows) {
    Picture png, svg;
    ASSERT_NO_FATAL_FAILURE(pictures({}, png, svg));
    auto checked = testsupport::runProcess("xmllint", {"--noout", pathIn("frame.svg")});
    EXPECT_EQ(checked.exitCode, 0) << checked.err;
    // Lines of one pixel may land a pixel aside, and the texts are drawn from another rasteriser;
    // the faces must show in their bands.
    EXPECT_GE(sameLeftOfLegend(png, svg), 0.97);
    // The example is small: its picture stays far under a megabyte.
    EXPECT_LT(readText(pathIn("frame.svg")).size(), 1000000u);
}

TEST_F(SvgSnapshot, WritesTheLegendAsTextAndBoxes) {
    ASSERT_NO_FATAL_FAILURE(snapshot("frame.svg", {}));
    const std::string text = readText(pathIn("frame.svg"));
    quillon::ResultModel model;
    ASSERT_TRUE(model.loadResultFile(kExample).ok());
    const quillon::LegendLayout legend = testsupport::legendOf(model, quillon::kSe, kW, kH);
    ASSERT_EQ(legend.labels.size(), 10u);
    for (const quillon::LegendLabel& label : legend.labels)
        EXPECT_NE(text.find("fill=\"" + quillon::svgColour(label.colour) + "\" font-size=\"" +
                            quillon::svgNumber(legend.fontHeight * 2048.0 / 2268) + "\">" +
                            label.text + "</text>"),
                  std::string::npos)
            << label.text;
    for (const quillon::LegendBox& box : legend.boxes)
        EXPECT_NE(text.find("<rect x=\"" + std::to_string(box.left) + ".5\" y=\"" +
                            std::to_string(box.top) + ".5\""),
                  std::string::npos)
            << box.top;
}

// In the example's default view the beams lie under the plate, partly hidden by it. Without
// lines, the picture is faces only: written in a wrong order, beam faces would cover the plate.
TEST_F(SvgSnapshot, FacesBehindOthersStayBehind) {
    Picture png, svg;
    ASSERT_NO_FATAL_FAILURE(pictures({"--outlines", "none", "--beam-lines", "none"}, png, svg));
    EXPECT_GE(sameLeftOfLegend(png, svg), 0.999);
}

}  // namespace

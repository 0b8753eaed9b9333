// quillon --snapshot draws the same frame as the window, overlays included, into a PNG.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/overlay/legend_pixels.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_file.h"
#include "viewer/contour/legend.h"
#include "viewer/platform/offscreen_gl.h"

namespace {

using testsupport::isBlack;
using testsupport::Picture;
using testsupport::Rgb;

constexpr int kW = 800, kH = 600;
const std::string kExample = std::string(QUILLON_SOURCE_DIR) + "/examples/Quillon_AverageStrs.txt";

Picture snapshot(const std::string& name, const std::vector<std::string>& extra) {
    std::string out = (testsupport::testDir() / name).string();
    std::vector<std::string> args = {"--snapshot", out, "--size",
                                     std::to_string(kW) + "x" + std::to_string(kH)};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(kExample);
    auto res = testsupport::runProcess(QUILLON_EXE, args);
    EXPECT_EQ(res.exitCode, 0) << res.err;
    Picture p;
    EXPECT_TRUE(quillon::platform::readPng(out, p.width, p.height, p.rgb)) << out;
    return p;
}

// Checks made on the parts of the picture that the contour fill never covers: the legend
// boxes are drawn over everything, and the corners lie outside the fitted model.
void expectLegendCornersAndMesh(const Picture& p) {
    ASSERT_EQ(p.width, kW);
    ASSERT_EQ(p.height, kH);
    // The legend of Se over the whole example, computed independently of the program.
    quillon::ResultModel model;
    ASSERT_TRUE(model.loadResultFile(kExample).ok);
    testsupport::expectLegendPixels(p, testsupport::legendOf(model, quillon::kSe, kW, kH));
    for (int x : {0, kW - 8})
        for (int y : {0, kH - 8})
            EXPECT_EQ(p.count(x, y, x + 8, y + 8, isBlack), 64) << "corner " << x << "," << y;
    // The mesh left of the legend.
    EXPECT_GT(p.count(0, 0, kW - 205, kH, [](Rgb c) { return !isBlack(c); }), 2000);
}

TEST(Snapshot, DefaultViewShowsTheMeshAndTheLegend) {
    Picture p = snapshot("default.png", {});
    ASSERT_FALSE(p.rgb.empty());
    expectLegendCornersAndMesh(p);
}

TEST(Snapshot, TopViewShowsTheSameLegendOverAnotherPicture) {
    Picture top = snapshot("top.png", {"--view", "-90,90"});
    ASSERT_FALSE(top.rgb.empty());
    expectLegendCornersAndMesh(top);
    Picture standard = snapshot("default.png", {});
    ASSERT_FALSE(standard.rgb.empty());
    int differing = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW - 205; ++x) differing += top.at(x, y) == standard.at(x, y) ? 0 : 1;
    EXPECT_GT(differing, 2000);
}

}  // namespace

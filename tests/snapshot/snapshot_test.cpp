// quillon --snapshot draws the same frame as the window, overlays included, into a PNG. Each
// picture is compared with its baseline in tests/snapshot/baselines (see the README there for
// how they are written), and its legend with one computed here from the model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/gl_fixture.h"
#include "tests/support/legend_pixels.h"
#include "tests/support/run_process.h"
#include "tests/support/skip.h"
#include "tests/support/temp_file.h"
#include "viewer/contour/legend.h"
#include "viewer/platform/offscreen_gl.h"

namespace {

using testsupport::isBlack;
using testsupport::Picture;
using testsupport::Rgb;

constexpr int kW = 800, kH = 600;
const std::string kExample = std::string(QUILLON_SOURCE_DIR) + "/examples/Quillon_AverageStrs.txt";
const std::filesystem::path kBaselines =
    std::filesystem::path(QUILLON_SOURCE_DIR) / "tests" / "snapshot" / "baselines";

std::string snapshotPath(const std::string& name) {
    return (testsupport::testDir() / name).string();
}

Picture snapshot(const std::string& name, const std::vector<std::string>& extra) {
    std::string out = snapshotPath(name);
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
void expectLegendAndCorners(const Picture& p) {
    ASSERT_EQ(p.width, kW);
    ASSERT_EQ(p.height, kH);
    // The legend of Se over the whole example, computed independently of the program.
    quillon::ResultModel model;
    ASSERT_TRUE(model.loadResultFile(kExample).ok());
    testsupport::expectLegendPixels(p, testsupport::legendOf(model, quillon::kSe, kW, kH));
    for (int x : {0, kW - 8})
        for (int y : {0, kH - 8})
            EXPECT_EQ(p.count(x, y, x + 8, y + 8, isBlack), 64) << "corner " << x << "," << y;
}

// The picture must equal its baseline pixel for pixel. Two runs draw the same picture bit for
// bit (measured with 1, 4 and 16 rendering threads, 128-bit vectors only, and the release and
// the debug sanitizer build), so no difference is tolerated: a real change of the picture,
// whether a band edge moved by a pixel, a label or a shade of the lighting, changes pixels.
// On a difference the test keeps the picture and a map of the differing pixels (magenta over
// the dimmed baseline) in its folder.
//
// QUILLON_UPDATE_BASELINES=1 writes the picture as the new baseline instead (never in CI).
void expectBaseline(const std::string& name) {
    const std::filesystem::path baseline = kBaselines / name;
    if (const char* update = std::getenv("QUILLON_UPDATE_BASELINES"); update && *update) {
        if (testsupport::inContinuousIntegration())
            FAIL() << "QUILLON_UPDATE_BASELINES is set in continuous integration";
        std::filesystem::copy_file(snapshotPath(name), baseline,
                                   std::filesystem::copy_options::overwrite_existing);
        GTEST_SKIP() << "wrote " << baseline << ": look at it before committing it";
    }
    Picture want, got;
    ASSERT_TRUE(quillon::platform::readPng(baseline.string(), want.width, want.height, want.rgb))
        << "no baseline " << baseline << " (see the README beside it)";
    ASSERT_TRUE(quillon::platform::readPng(snapshotPath(name), got.width, got.height, got.rgb));
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    int differing = 0, largest = 0;
    int x0 = got.width, y0 = got.height, x1 = -1, y1 = -1;
    std::vector<std::uint8_t> map(want.rgb.size());
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
            Rgb a = got.at(x, y), b = want.at(x, y);
            int delta = std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(got.width) +
                             static_cast<std::size_t>(x)) *
                            3;
            if (delta == 0) {
                for (int c = 0; c < 3; ++c) map[i + c] = want.rgb[i + c] / 4;
                continue;
            }
            map[i] = 255;
            map[i + 1] = 0;
            map[i + 2] = 255;
            ++differing;
            largest = std::max(largest, delta);
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
    }
    if (differing == 0) return;
    std::string mapPath = snapshotPath("differences-" + name);
    quillon::platform::writePng(mapPath, got.width, got.height, map);
    ADD_FAILURE() << name << ": " << differing << " pixels differ from the baseline, by up to "
                  << largest << " in a channel, within x " << x0 << ".." << x1 << ", y " << y0
                  << ".." << y1 << " (top row 0). The picture and " << mapPath
                  << " are kept in the test's folder.";
}

TEST(Snapshot, DefaultViewShowsTheMeshAndTheLegend) {
    Picture p = snapshot("default.png", {});
    ASSERT_FALSE(p.rgb.empty());
    expectLegendAndCorners(p);
    expectBaseline("default.png");
}

TEST(Snapshot, TopViewShowsTheSameLegendOverAnotherPicture) {
    Picture top = snapshot("top.png", {"--view", "-90,90"});
    ASSERT_FALSE(top.rgb.empty());
    expectLegendAndCorners(top);
    expectBaseline("top.png");
    // The two baselines are two pictures: the view option was not lost when they were written.
    Picture standard;
    ASSERT_TRUE(quillon::platform::readPng((kBaselines / "default.png").string(), standard.width,
                                           standard.height, standard.rgb));
    ASSERT_EQ(standard.width, kW);
    int differing = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW - 205; ++x) differing += top.at(x, y) == standard.at(x, y) ? 0 : 1;
    EXPECT_GT(differing, kW * kH / 10);
}

}  // namespace

// Frames drawn the fast way — contour triangles and outline segments made in blocks on two
// threads, with what covers no pixel centre left out — must give the picture that computing and
// drawing every element in its own begin/end blocks gives, with the outlines as polygons in line
// mode pulled forward by a polygon offset.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "tests/support/frame_fixture.h"
#include "viewer/platform/memory_desktop.h"
#include "viewer/render/ordered_blocks.h"
#include "viewer/resources/dialogs.h"
#include "viewer/resources/menu.h"
#include "viewer/ui/main_window_events.h"
#include "viewer/view/camera.h"

namespace {

using testsupport::Picture;

// Pixels that differ, and those that differ by more than one level in some channel.
struct Difference {
    int differing = 0, beyondOneLevel = 0;
};
Difference compare(const Picture& a, const Picture& b) {
    Difference d;
    for (std::size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
        int most = 0;
        for (std::size_t c = 0; c < 3; ++c)
            most = std::max(most, std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])));
        d.differing += most > 0;
        d.beyondOneLevel += most > 1;
    }
    return d;
}

class StreamedFrames : public testsupport::FrameTest {
  protected:
    static constexpr int kW = 640, kH = 480;
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(
            openModel(kW, kH, QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt"));
    }
    void view(double alpha, double beta) {
        state.view.alpha = alpha;
        state.view.beta = beta;
        quillon::applyCamera(state.view);
    }
    // The fast frame and the element-by-element one of the current state.
    std::pair<Picture, Picture> bothWays() {
        caches.elementByElement = false;
        Picture fast = drawFrame();
        fastCounts = caches.stream.counts();
        caches.elementByElement = true;
        Picture plain = drawFrame();
        caches.elementByElement = false;
        return {fast, plain};
    }
    quillon::FrameStream::Counts fastCounts;
};

TEST_F(StreamedFrames, DrawThePictureOfElementByElement) {
    quillon::ResultModel& m = state.model;
    m.pickQuad[3] = 1;  // a red fill and red outline among the bands
    m.pickTri[0] = 1;
    m.pickBeam[1] = 1;
    m.selQuad[40] = 0;  // an element without fill, outlined in grey
    m.selBeam[2] = 0;
    m.selQuad[41] = 1;  // selected ones outlined in white
    // From above and from below, so that both layers and both sides of every face show.
    for (auto [alpha, beta] : {std::pair{225.0, 35.26}, std::pair{-90.0, 90.0},
                               std::pair{30.0, -40.0}, std::pair{100.0, -89.0}}) {
        for (quillon::DisplayFilter outlines :
             {quillon::DisplayFilter::All, quillon::DisplayFilter::Selected}) {
            view(alpha, beta);
            m.shellOutlineMode = m.beamMeshLineMode = outlines;
            auto [fast, plain] = bothWays();
            Difference d = compare(fast, plain);
            // Lighting a colour through a vertex colour rounds a channel the other way now and
            // then, and a line whose pull towards the viewer ties with another's may lose where
            // OpenGL's own arithmetic let it win: a few pixels, nothing more.
            EXPECT_LE(d.differing, kW * kH / 1000) << alpha << "," << beta;
            EXPECT_LE(d.beyondOneLevel, kW * kH / 10000) << alpha << "," << beta;
            int coloured =
                plain.count(0, 0, kW, kH, [](testsupport::Rgb c) { return c.b > 60 || c.g > 60; });
            EXPECT_GT(coloured, kW * kH / 10);  // there is a picture to compare
        }
    }
    EXPECT_GT(fastCounts.segments, 0u);
    EXPECT_GT(fastCounts.triangles, 0u);
}

TEST_F(StreamedFrames, OutlinesAloneAreThePolygonLinesOfElementByElement) {
    // Without fill, every outline pixel is a line against black or against another line: the
    // segments must land where the polygon lines land, lit as they are lit, on both sides.
    state.contour.contourOn = false;
    state.model.pickQuad[7] = 1;
    for (auto [alpha, beta] : {std::pair{225.0, 35.26}, std::pair{30.0, -40.0}}) {
        view(alpha, beta);
        auto [fast, plain] = bothWays();
        Difference d = compare(fast, plain);
        EXPECT_LE(d.differing, kW * kH / 1000) << alpha << "," << beta;
        EXPECT_LE(d.beyondOneLevel, kW * kH / 10000) << alpha << "," << beta;
        EXPECT_GT(plain.count(0, 0, kW, kH, [](testsupport::Rgb c) { return c.r > 0; }),
                  kW * kH / 50);
    }
}

TEST_F(StreamedFrames, ZoomedInLeavesOutWhatCannotShowAndDrawsTheSamePicture) {
    // A zoom into a corner of the model: most triangles lie outside the window.
    quillon::zoomToRectangle(state.view, kW / 2 - 40, kH / 2 - 30, kW / 2 + 40, kH / 2 + 30);
    auto [fast, plain] = bothWays();
    Difference d = compare(fast, plain);
    EXPECT_LE(d.differing, kW * kH / 1000);
    EXPECT_LE(d.beyondOneLevel, kW * kH / 10000);
    EXPECT_GT(fastCounts.trianglesLeftOut, fastCounts.triangles);
}

}  // namespace

namespace {

TEST(OrderedBlocks, EveryBlockIsMadeOnceAndUsedInOrder) {
    for (std::size_t slots : {1u, 2u, 8u})
        for (std::size_t count : {0u, 1u, 7u, 500u}) {
            std::vector<std::vector<int>> outputs(slots);
            std::vector<std::atomic<int>> made(count);
            std::vector<std::size_t> usedOrder;
            quillon::forEachBlockInOrder(
                count, outputs,
                [&](std::size_t block, std::vector<int>& out) {
                    ++made[block];
                    out.assign(block % 5 + 1, static_cast<int>(block));
                },
                [&](std::size_t block, std::vector<int>& out) {
                    // The slot still holds what this block made.
                    ASSERT_EQ(out.size(), block % 5 + 1);
                    EXPECT_EQ(out.front(), static_cast<int>(block));
                    usedOrder.push_back(block);
                });
            ASSERT_EQ(usedOrder.size(), count) << slots;
            for (std::size_t b = 0; b < count; ++b) {
                EXPECT_EQ(usedOrder[b], b);
                EXPECT_EQ(made[b].load(), 1);
            }
        }
}

TEST(OrderedBlocks, NeverMoreBlocksMadeThanSlotsAhead) {
    std::vector<int> slots(3);
    std::atomic<std::size_t> used{0};
    std::atomic<bool> ahead{false};
    quillon::forEachBlockInOrder(
        200, slots,
        [&](std::size_t block, int& out) {
            if (block >= used.load() + slots.size()) ahead = true;
            out = static_cast<int>(block);
        },
        [&](std::size_t block, int& out) {
            EXPECT_EQ(out, static_cast<int>(block));
            used = block + 1;
        });
    EXPECT_FALSE(ahead.load());
}

}  // namespace

namespace {

// Every change the two settings dialogs make shows in the next fast frame as drawing it element
// by element shows it.
class FastFramesFollowTheDialogs : public testsupport::FrameTest {};

TEST_F(FastFramesFollowTheDialogs, ThroughEveryKindOfChange) {
    constexpr int kW = 400, kH = 300;
    ASSERT_NO_FATAL_FAILURE(
        openModel(kW, kH, QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt"));
    quillon::platform::MemoryDesktop desktop;
    quillon::MainWindowHandler handler(state, desktop);
    handler.onCommand(quillon::kCmdPlotSettings);
    handler.onCommand(quillon::kCmdContourKit);
    auto& plot = *desktop.newestOpen(quillon::kDlgPlotSettings);
    auto& kit = *desktop.newestOpen(quillon::kDlgContourKit);
    quillon::FrameCaches direct;
    direct.elementByElement = true;
    auto same = [&](const char* step) {
        Picture fast = drawFrame();
        testsupport::RecordingCanvas canvas;
        quillon::paintFrame(state, direct, canvas);
        Difference d = compare(fast, picture());
        EXPECT_LE(d.differing, kW * kH / 1000) << step;
        EXPECT_LE(d.beyondOneLevel, kW * kH / 10000) << step;
        return fast;
    };
    Picture start = same("start");
    auto step = [&](const char* name, auto change) {
        change();
        Picture p = same(name);
        EXPECT_NE(p.rgb, start.rgb) << name << " changed nothing";
        start = p;
    };
    step("outlines of the selection only", [&] {
        state.model.selQuad[10] = 0;
        plot.chooseComboItem(quillon::IDC_SHELL_OUTLINES, 1);
    });
    step("no beam mesh lines", [&] { plot.chooseComboItem(quillon::IDC_BEAM_MESHLINES, 2); });
    step("undeformed", [&] { plot.press(quillon::IDC_DEFORMED); });
    step("magnification 40", [&] {
        plot.setItemText(quillon::IDC_DISP_SCALE, "40");
        plot.press(quillon::IDC_RENEW);
    });
    step("component Sx", [&] { kit.press(quillon::IDC_COMPONENT_SX); });
    step("an interval in the middle", [&] {
        kit.setItemText(quillon::IDC_SET_ID, "0");
        kit.setItemText(quillon::IDC_SET_SL, "-20");
        kit.setItemText(quillon::IDC_SET_SR, "20");
        kit.press(quillon::IDC_CONTOUR_SET);
    });
    step("contours off", [&] { plot.press(quillon::IDC_CLEAR_CONTOUR); });
    step("contours on", [&] { plot.press(quillon::IDC_PLOT_CONTOUR); });
}

}  // namespace

// Contour pieces and outlines kept between frames must give the picture that computing and
// drawing them element by element on every frame gives, and must be computed again whenever
// it would differ.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/frame_fixture.h"
#include "viewer/platform/memory_desktop.h"
#include "viewer/resources/dialogs.h"
#include "viewer/resources/menu.h"
#include "viewer/ui/main_window_events.h"
#include "viewer/view/camera.h"

namespace {

using testsupport::Picture;

class ContourCache : public testsupport::FrameTest {
  protected:
    static constexpr int kW = 640, kH = 480;
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(
            openModel(kW, kH, QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt"));
    }
    Picture draw() { return drawFrame(); }
    void view(double alpha, double beta) {
        state.view.alpha = alpha;
        state.view.beta = beta;
        quillon::applyCamera(state.view);
    }
    // Pixels that differ, and the largest difference of a channel.
    static std::pair<int, int> compare(const Picture& a, const Picture& b) {
        int differing = 0, largest = 0;
        for (std::size_t i = 0; i < a.rgb.size(); i += 3) {
            int d = 0;
            for (std::size_t c = 0; c < 3; ++c)
                d = std::max(d, std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])));
            differing += d > 0 ? 1 : 0;
            largest = std::max(largest, d);
        }
        return {differing, largest};
    }
};

TEST_F(ContourCache, KeptPiecesDrawTheSamePictureAsPieceByPiece) {
    state.model.pickQuad[3] = 1;  // a red fill among the bands
    state.model.pickBeam[1] = 1;
    state.model.selQuad[40] = 0;  // and an element without fill
    for (auto [alpha, beta] :
         {std::pair{225.0, 35.26}, std::pair{-90.0, 90.0}, std::pair{30.0, -40.0}}) {
        view(alpha, beta);
        caches.cachedDrawing = false;
        Picture direct = draw();
        caches.cachedDrawing = true;
        Picture kept = draw();
        auto [differing, largest] = compare(direct, kept);
        // Lighting the same colour through a vertex colour can round one channel the other
        // way now and then; nothing more.
        EXPECT_LE(largest, 1) << alpha << "," << beta;
        EXPECT_LT(differing, kW * kH / 1000) << alpha << "," << beta;
        int coloured =
            direct.count(0, 0, kW, kH, [](testsupport::Rgb c) { return c.b > 60 || c.g > 60; });
        EXPECT_GT(coloured, kW * kH / 10);  // there is a picture to compare
    }
}

TEST_F(ContourCache, ComputedAgainOnlyWhenThePictureWouldChange) {
    auto rebuilds = [&] { return caches.contour.rebuildCount(); };
    auto outlines = [&] { return caches.outline.rebuildCount(); };
    draw();
    ASSERT_EQ(rebuilds(), 1u);
    ASSERT_EQ(outlines(), 1u);
    draw();
    EXPECT_EQ(rebuilds(), 1u);
    // Panning and zooming change only the projection.
    state.view.left += 3;
    state.view.right += 1;
    draw();
    EXPECT_EQ(rebuilds(), 1u);
    // Turning the model so that no element changes side keeps the pieces.
    view(226, 35.26);
    draw();
    EXPECT_EQ(rebuilds(), 1u);
    // Seen from below, every shell shows its other layer.
    view(225, -35.26);
    draw();
    EXPECT_EQ(rebuilds(), 2u);
    EXPECT_EQ(outlines(), 1u);  // outlines do not depend on the view
    state.model.pickTri[0] = 1;
    draw();
    EXPECT_EQ(rebuilds(), 3u);
    EXPECT_EQ(outlines(), 2u);
    state.model.beamMeshLineMode = quillon::DisplayFilter::Selected;
    draw();
    EXPECT_EQ(outlines(), 3u);
    EXPECT_EQ(rebuilds(), 3u);
    state.model.selBeam[2] = 0;
    draw();
    EXPECT_EQ(rebuilds(), 4u);
    state.contour.SL += 1;
    draw();
    EXPECT_EQ(rebuilds(), 5u);
    state.contour.currentComponent = 0;
    draw();
    EXPECT_EQ(rebuilds(), 6u);
    state.model.dispScale *= 2;
    state.model.updateDisplayedPositions();
    draw();
    EXPECT_EQ(rebuilds(), 7u);
    // A new file is new positions, even when it is the same file.
    ASSERT_TRUE(
        quillon::openResultFile(state, QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt").ok);
    draw();
    EXPECT_EQ(rebuilds(), 8u);
    EXPECT_GE(outlines(), 5u);
}

}  // namespace

namespace {

// Every change the two settings dialogs make shows in the next frame exactly as drawing it
// element by element shows it.
class KeptFramesFollowTheDialogs : public testsupport::FrameTest {};

TEST_F(KeptFramesFollowTheDialogs, ThroughEveryKindOfChange) {
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
    direct.cachedDrawing = false;
    auto same = [&](const char* step) {
        Picture kept = drawFrame();
        testsupport::RecordingCanvas canvas;
        quillon::paintFrame(state, direct, canvas);
        Picture drawn = picture();
        int differing = 0;
        for (std::size_t i = 0; i < kept.rgb.size(); ++i)
            differing += std::abs(int(kept.rgb[i]) - int(drawn.rgb[i])) > 1 ? 1 : 0;
        EXPECT_EQ(differing, 0) << step;
        return kept;
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

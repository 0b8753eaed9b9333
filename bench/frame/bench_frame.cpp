// Times headless frames of a result file at 1024 × 768: the first frame (contour pieces
// computed), steady frames (pieces kept), frames computed and drawn piece by piece, and the
// limit of this machine: the same contour triangles drawn from one vertex array. Navigation
// frames too: a wheel step through the main view's handler, and a View Kit turn of 10 degrees,
// each with the number of times the contour pieces were computed again.
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "viewer/platform/gl_overlay_canvas.h"
#include "viewer/platform/offscreen_gl.h"
#include "viewer/render/frame.h"
#include "viewer/ui/app.h"
#include "viewer/ui/navigation.h"
#include "viewer/view/camera.h"

namespace {

double seconds(const std::function<void()>& f) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    glFinish();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double median(const std::function<void()>& f, int runs) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) t.push_back(seconds(f));
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_frame RESULT_FILE [STEADY_FRAMES]\n");
        return 2;
    }
    const int W = 1024, H = 768;
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    quillon::platform::OffscreenGl gl(W, H);
    if (!gl.ok()) {
        std::fprintf(stderr, "no headless OpenGL: %s\n", gl.error().c_str());
        return 1;
    }
    quillon::initGlState();
    quillon::AppState state;
    quillon::FrameCaches caches;
    state.view.W = W;
    state.view.H = H;
    quillon::LoadStatus st = quillon::openResultFile(state, argv[1]);
    if (!st.ok) {
        std::fprintf(stderr, "%s\n", st.message.c_str());
        return 1;
    }
    quillon::platform::GlOverlayCanvas canvas;
    auto frame = [&] {
        canvas.begin(W, H);
        quillon::paintFrame(state, caches, canvas);
        canvas.end();
    };
    const quillon::ResultModel& m = state.model;
    std::printf("file: %s\nshells: %d four-node, %d three-node; beams: %d\n", argv[1], m.quadCount,
                m.triCount, m.beamCount);

    double first = seconds(frame);
    double steady = median(frame, runs);
    std::size_t triangles = caches.contour.batch().triangleCount();
    double limit = median(
        [&] {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            caches.contour.batch().draw();
        },
        runs);
    // Navigation: a wheel step in and out about the centre, then 10-degree turns about z to and
    // fro, each followed by its frame.
    std::size_t before = caches.contour.rebuildCount();
    int step = 0;
    double wheel = median(
        [&] {
            quillon::HandleMouseWheel(state, step++ % 2 ? -120 : 120, W / 2 + 7, H / 2 - 5);
            frame();
        },
        runs);
    std::size_t wheelRebuilds = caches.contour.rebuildCount() - before;
    before = caches.contour.rebuildCount();
    double turn = median(
        [&] {
            quillon::rotateModel(state.view, step++ % 2 ? -10.0f : 10.0f, 0, 0, 1);
            frame();
        },
        runs);
    std::size_t turnRebuilds = caches.contour.rebuildCount() - before;

    // Outlines and mesh lines off: the bands alone.
    state.model.shellOutlineMode = state.model.beamMeshLineMode = quillon::DisplayFilter::None;
    frame();
    double bandsOnly = median(frame, runs);
    // A label filter changes what is written over the picture, not the bands.
    before = caches.contour.rebuildCount();
    double labelFilter = median(
        [&] {
            state.model.beamNumberMode = state.model.beamNumberMode == quillon::DisplayFilter::None
                                             ? quillon::DisplayFilter::All
                                             : quillon::DisplayFilter::None;
            frame();
        },
        runs);
    std::size_t labelRebuilds = caches.contour.rebuildCount() - before;
    state.model.beamNumberMode = quillon::DisplayFilter::None;
    state.model.shellOutlineMode = state.model.beamMeshLineMode = quillon::DisplayFilter::All;

    state.contour.contourOn = false;
    double outlines = median(frame, runs);
    double scene = median([&] { quillon::RenderScene(state, caches); }, runs);
    double overlays = median(
        [&] {
            canvas.begin(W, H);
            quillon::PaintOverlays(state, caches, canvas);
            canvas.end();
        },
        runs);
    state.contour.contourOn = true;
    caches.cachedDrawing = false;
    double immediate = median(frame, std::max(1, runs / 3));

    std::printf("contour triangles: %zu\n", triangles);
    std::printf("first frame: %.1f ms\n", first * 1e3);
    std::printf("steady frame: %.1f ms (median of %d)\n", steady * 1e3, runs);
    std::printf("frame without contours: %.1f ms\n", outlines * 1e3);
    std::printf("  of which the 3-D pass: %.1f ms, the overlays: %.1f ms\n", scene * 1e3,
                overlays * 1e3);
    std::printf("frame drawn piece by piece: %.1f ms\n", immediate * 1e3);
    std::printf("limit, contour triangles from one vertex array: %.1f ms\n", limit * 1e3);
    std::printf("steady / limit: %.2f\n", steady / limit);
    std::printf("steady frame, outlines and mesh lines off: %.1f ms, %.2f x limit\n",
                bandsOnly * 1e3, bandsOnly / limit);
    std::printf("beam numbers on or off: %.1f ms; pieces computed again in %zu of %d changes\n",
                labelFilter * 1e3, labelRebuilds, runs);
    std::printf("wheel step: %.1f ms, %.2f x limit; pieces computed again in %zu of %d steps\n",
                wheel * 1e3, wheel / limit, wheelRebuilds, runs);
    std::printf("10-degree turn: %.1f ms, %.2f x limit; pieces computed again in %zu of %d turns\n",
                turn * 1e3, turn / limit, turnRebuilds, runs);
    return 0;
}

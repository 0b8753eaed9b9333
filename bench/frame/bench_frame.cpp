// Times headless frames of a result file at 1024 × 768 against the limit of this machine: the
// contour triangles and outline segments of the same frame drawn from one vertex array each.
// Also: the first frame, a frame without outlines against its own limit, the frame computed
// and drawn element by element, navigation frames (a wheel step, a 10-degree turn), and how
// many pixels of the fast frame differ from the element-by-element one.
#include <GL/gl.h>
#include <GL/glext.h>

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

// Pixels that differ, and those that differ by more than one level in a channel.
std::pair<long, long> compare(const std::vector<unsigned char>& a,
                              const std::vector<unsigned char>& b) {
    long differing = 0, more = 0;
    for (std::size_t i = 0; i + 2 < a.size(); i += 3) {
        int d = 0;
        for (std::size_t c = 0; c < 3; ++c)
            d = std::max(d, std::abs(int(a[i + c]) - int(b[i + c])));
        differing += d > 0;
        more += d > 1;
    }
    return {differing, more};
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
    if (!gl.status().ok()) {
        std::fprintf(stderr, "no headless OpenGL: %s (%s)\n", gl.status().failure().message.c_str(),
                     gl.status().failure().detail.c_str());
        return 1;
    }
    quillon::initGlState();
    quillon::AppState state;
    quillon::FrameCaches caches;
    state.view.W = W;
    state.view.H = H;
    common::Outcome st = quillon::openResultFile(state, argv[1]);
    if (!st.ok()) {
        std::fprintf(stderr, "%s\n", st.failure().message.c_str());
        return 1;
    }
    quillon::platform::GlOverlayCanvas canvas;
    auto frame = [&] {
        canvas.begin(W, H);
        quillon::paintFrame(state, caches, canvas);
        canvas.end();
    };
    quillon::ResultModel& m = state.model;
    std::printf("file: %s\nshells: %d four-node, %d three-node; beams: %d\n", argv[1], m.quadCount,
                m.triCount, m.beamCount);

    double first = seconds(frame);
    double steady = median(frame, runs);
    const quillon::FrameStream::Counts counts = caches.stream.counts();
    std::vector<unsigned char> fast = gl.readRgb();

    // The limit: every contour triangle of the pass (none left out) and every outline segment,
    // each kind from one vertex array in one call.
    quillon::LitVertices triangles;
    quillon::LitLines segments;
    {
        quillon::WindowProjection window = caches.stream.window(m, state.view);
        quillon::LitTriangleSink sink(triangles, window, false);
        quillon::ContourPass(m, state.contour,
                             caches.levels.levels(m, state.contour.currentComponent),
                             state.savedModelView, sink);
        quillon::forEachOutline(m, [&](int, quillon::OutlineKind kind, std::int32_t index) {
            quillon::appendOutline(m, kind, index, window, segments);
        });
    }
    auto drawLimit = [&](bool withSegments) {
        quillon::loadCamera(state.view);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        quillon::SetupLighting(state.view);
        quillon::LitDrawing drawing;
        quillon::DrawLitTriangles(drawing, triangles.data(), triangles.size());
        if (withSegments) quillon::DrawLitSegments(drawing, segments);
    };
    double limit = median([&] { drawLimit(true); }, runs);
    double bandsLimit = median([&] { drawLimit(false); }, runs);

    // Navigation: a wheel step in and out about the centre, then 10-degree turns about z to and
    // fro, each followed by its frame.
    const quillon::ViewState start = state.view;
    int step = 0;
    double wheel = median(
        [&] {
            quillon::HandleMouseWheel(state, step++ % 2 ? -120 : 120, W / 2 + 7, H / 2 - 5);
            frame();
        },
        runs);
    double turn = median(
        [&] {
            quillon::rotateModel(state.view, step++ % 2 ? -10.0f : 10.0f, 0, 0, 1);
            frame();
        },
        runs);

    state.view = start;

    // The processor's part of a steady frame, as a machine whose graphics card draws for next
    // to nothing pays it: the same frame with its blocks of vertices made and none given to
    // OpenGL. And for comparison the frame with OpenGL's rasteriser off: llvmpipe still runs
    // its vertex stage on the processor then, which a graphics card does itself.
    caches.stream.setDrawing(false);
    double cpuAlone = median(frame, runs);
    caches.stream.setDrawing(true);
    glEnable(GL_RASTERIZER_DISCARD);
    const bool discarding = glIsEnabled(GL_RASTERIZER_DISCARD) && glGetError() == GL_NO_ERROR;
    double discarded = median(frame, runs);
    double limitDiscarded = median([&] { drawLimit(true); }, runs);
    glDisable(GL_RASTERIZER_DISCARD);

    // The steady frame again, after the others: a frame that changes nothing measured late, to
    // tell the frame's own cost from the order of the measurements (the machine's drift, memory
    // still being touched for the first time).
    double steadyAgain = median(frame, runs);

    // Outlines and mesh lines off: the bands alone.
    m.shellOutlineMode = m.beamMeshLineMode = quillon::DisplayFilter::None;
    double bandsOnly = median(frame, runs);
    m.shellOutlineMode = m.beamMeshLineMode = quillon::DisplayFilter::All;

    // The same picture computed and drawn element by element.
    caches.elementByElement = true;
    double elementByElement = seconds(frame);
    auto [differing, more] = compare(fast, gl.readRgb());
    caches.elementByElement = false;

    const double pixels = double(W) * H;
    std::printf("model arrays: %.1f MB\n", double(quillon::modelArrayBytes(m)) / 1e6);
    std::printf("contour triangles: %zu drawn, %zu that cover no pixel centre left out\n",
                counts.triangles, counts.trianglesLeftOut);
    std::printf("outline segments: %zu\n", counts.segments);
    std::printf("first frame: %.1f ms\n", first * 1e3);
    std::printf("steady frame: %.1f ms (median of %d)\n", steady * 1e3, runs);
    std::printf("limit, every triangle and segment from one vertex array each: %.1f ms\n",
                limit * 1e3);
    std::printf("steady / limit: %.2f\n", steady / limit);
    std::printf("steady frame again, after the navigation frames: %.1f ms\n", steadyAgain * 1e3);
    std::printf("outlines and mesh lines off: %.1f ms; limit, triangles alone: %.1f ms; %.2f x\n",
                bandsOnly * 1e3, bandsLimit * 1e3, bandsOnly / bandsLimit);
    std::printf("wheel step: %.1f ms, %.2f x limit\n", wheel * 1e3, wheel / limit);
    std::printf("10-degree turn: %.1f ms, %.2f x limit\n", turn * 1e3, turn / limit);
    std::printf("frame CPU alone: %.1f ms\n", cpuAlone * 1e3);
    if (discarding)
        std::printf(
            "  with OpenGL's rasteriser off instead: frame %.1f ms, the limit's arrays %.1f ms\n",
            discarded * 1e3, limitDiscarded * 1e3);
    std::printf("element by element: %.1f ms\n", elementByElement * 1e3);
    std::printf(
        "pixels differing from element by element: %.4f %% (%ld), by more than one "
        "level: %.4f %% (%ld)\n",
        100 * differing / pixels, differing, 100 * more / pixels, more);
    return 0;
}

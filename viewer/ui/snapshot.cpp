#include "viewer/ui/snapshot.h"

#include <GL/gl.h>

#include <optional>
#include <thread>

#include "viewer/platform/gl_overlay_canvas.h"
#include "viewer/platform/message.h"
#include "viewer/platform/offscreen_gl.h"
#include "viewer/render/frame.h"
#include "viewer/ui/app.h"
#include "viewer/ui/picture.h"
#include "viewer/view/camera.h"

namespace quillon {

int renderSnapshot(const SnapshotRequest& r) {
    AppState state;
    state.view.W = r.width;
    state.view.H = r.height;
    // The file loads on a second thread while this one starts OpenGL and has it make ready what
    // the picture will need; a failed load is told once this thread is done.
    common::Outcome loaded;
    std::thread loader([&] { loaded = openResultFile(state, r.resultFile); });
    platform::OffscreenGl gl(r.width, r.height);
    std::optional<platform::GlOverlayCanvas> canvas;
    if (gl.status().ok()) {
        initGlState();
        canvas.emplace();
        canvas->begin(r.width, r.height);
        WarmUpDrawing(r.width, r.height, *canvas);
        canvas->end();
        glFinish();
    }
    loader.join();
    if (const common::Failure& failure = gl.status().failure(); !gl.status().ok())
        platform::fatal("cannot draw without a display: " + failure.message, failure.detail);
    if (!loaded.ok()) platform::fatal(loaded.failure());
    applyDisplayOptions(r.display, state);
    if (r.alpha) state.view.alpha = *r.alpha;
    if (r.beta) state.view.beta = *r.beta;
    if (r.alpha || r.beta) applyCamera(state.view);
    if (isSvgName(r.output)) {
        if (common::Outcome written = writeSvgPicture(r.output, state); !written.ok())
            platform::fatal(written.failure());
        return 0;
    }
    canvas->begin(r.width, r.height);
    FrameCaches caches;
    paintFrame(state, caches, *canvas);
    canvas->end();
    if (common::Outcome written = writePicture(r.output, {r.width, r.height, gl.readRgb()});
        !written.ok())
        platform::fatal(written.failure());
    return 0;
}

}  // namespace quillon

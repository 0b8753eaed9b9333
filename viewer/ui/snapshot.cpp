#include "viewer/ui/snapshot.h"

#include "viewer/platform/gl_overlay_canvas.h"
#include "viewer/platform/message.h"
#include "viewer/platform/offscreen_gl.h"
#include "viewer/ui/app.h"
#include "viewer/view/camera.h"

namespace quillon {

int renderSnapshot(const SnapshotRequest& r) {
    platform::OffscreenGl gl(r.width, r.height);
    if (!gl.ok()) platform::fatal("cannot draw without a display: " + gl.error());
    initGlState();
    AppState state;
    state.view.W = r.width;
    state.view.H = r.height;
    LoadStatus status = openResultFile(state, r.resultFile);
    if (!status.ok) platform::fatal(status.message, status.detail);
    applyDisplayOptions(r.display, state);
    if (r.alpha) state.view.alpha = *r.alpha;
    if (r.beta) state.view.beta = *r.beta;
    if (r.alpha || r.beta) applyCamera(state.view);
    platform::GlOverlayCanvas canvas;
    canvas.begin(r.width, r.height);
    FrameCaches caches;
    paintFrame(state, caches, canvas);
    canvas.end();
    if (!platform::writePng(r.output, r.width, r.height, gl.readRgb()))
        platform::fatal("cannot write the picture " + r.output);
    return 0;
}

}  // namespace quillon

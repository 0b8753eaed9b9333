#include "viewer/ui/snapshot.h"

#include "viewer/platform/message.h"
#include "viewer/platform/offscreen_gl.h"
#include "viewer/platform/overlay_canvas.h"
#include "viewer/ui/app.h"
#include "viewer/ui/camera.h"

namespace quillon {
namespace {
// Stands in until the overlays have a renderer of their own.
class NoOverlays : public platform::OverlayCanvas {
public:
    void fillRect(int, int, int, int, std::int32_t) override {}
    void text(int, int, const std::string&, std::int32_t, int, int) override {}
};
}  // namespace

int renderSnapshot(const SnapshotRequest& r) {
    platform::OffscreenGl gl(r.width, r.height);
    if (!gl.ok()) platform::fatal("cannot draw without a display: " + gl.error());
    initGlState();
    AppState state;
    state.view.W = r.width;
    state.view.H = r.height;
    LoadStatus status = openResultFile(state, r.resultFile);
    if (!status.ok) platform::fatal(status.message);
    if (r.alpha) state.view.alpha = *r.alpha;
    if (r.beta) state.view.beta = *r.beta;
    if (r.alpha || r.beta) applyCamera(state.view);
    NoOverlays canvas;
    paintFrame(state, canvas);
    if (!platform::writePng(r.output, r.width, r.height, gl.readRgb()))
        platform::fatal("cannot write the picture " + r.output);
    return 0;
}

}  // namespace quillon

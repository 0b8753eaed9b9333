#include "viewer/ui/app.h"

#include <GL/gl.h>

#include "viewer/render/frame.h"
#include "viewer/view/camera.h"

namespace quillon {

void initGlState() {
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
}

void afterLoad(AppState& s) {
    s.modelLoaded = true;
    s.contour.currentComponent = kSe;
    SelectedStressRange(s.model, kSe, s.contour.SL, s.contour.SR);
    s.view.modelBox = s.model.computeNodeBox();
    s.view.modelCentre = boxCentre(s.view.modelBox);
    s.view.selectedBox = s.model.computeSelectedBox();
    s.view.rotationCentre = boxCentre(s.view.selectedBox);
    s.view.alpha = kDefaultAlpha;
    s.view.beta = kDefaultBeta;
    applyCamera(s.view);
}

common::Outcome openResultFile(AppState& s, const std::string& path) {
    common::Outcome loaded = s.model.loadResultFile(path);
    if (!loaded.ok()) return loaded;
    afterLoad(s);
    return loaded;
}

void resizeView(AppState& s, int width, int height) {
    s.view.W = width;
    s.view.H = height;
    applyCamera(s.view);
}

void paintFrame(AppState& s, FrameCaches& caches, platform::OverlayCanvas& canvas) {
    if (!s.modelLoaded) {
        // The window shows before a long start-up load ends: black, as every frame's background.
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    RenderScene(s, caches);
    PaintOverlays(s, caches, canvas);
}

}  // namespace quillon

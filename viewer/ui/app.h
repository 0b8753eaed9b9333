#pragma once
// What the main window does with its events, independent of the toolkit that delivers them.
#include <string>

#include "viewer/render/frame.h"
#include "viewer/state/app_state.h"

namespace quillon {

namespace platform {
class OverlayCanvas;
}

constexpr const char* kStartupFile = "Quillon_AverageStrs.txt";

// The OpenGL state a new context gets once: depth test on, clear depth 1.
void initGlState();
// After every load: the model marked loaded, Se and its full range over the selection, the
// boxes and centres, the default angles, and the camera fitted (the camera only once the
// window has a size).
void afterLoad(AppState& state);
// Loads a result file; on success runs the after-load sequence. On failure nothing changes.
common::Outcome openResultFile(AppState& state, const std::string& path);
// A new client size: the camera is rebuilt from the angles and fitted again.
void resizeView(AppState& state, int width, int height);
// One frame: the OpenGL pass, then the overlays on top. Black before a model is loaded.
void paintFrame(AppState& state, FrameCaches& caches, platform::OverlayCanvas& canvas);

}  // namespace quillon

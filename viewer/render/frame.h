#pragma once
// One frame: the OpenGL pass (background, light, contours, outlines, markers, rubber band)
// and then the overlay pass (labels, legend) on top of it.
#include "viewer/render/app_state.h"

namespace quillon {

namespace platform {
class OverlayCanvas;
}

// The current OpenGL model-view matrix, widened to doubles.
Matrix4 currentModelView();
// The OpenGL pass. Expects a current context with the camera's matrices set.
void RenderScene(AppState& state);
// The contour pass: filled bands on the shells and beam skins.
void DrawContours(AppState& state);
// Places light 0 fixed to the viewer and enables lighting.
void SetupLighting(const ViewState& view);
// The rubber-band rectangle between the anchor and the current corner, in client pixels.
void DrawPickRectangle(const ViewState& view, const InteractionState& interaction);
// The overlay pass, drawn over the finished OpenGL picture.
void PaintOverlays(AppState& state, platform::OverlayCanvas& canvas);

// Inverts a general 4 × 4 matrix (column-major) by Gauss–Jordan elimination with full
// pivoting. Returns false when a pivot is negligible (p + 1 == 1); `out` is then undefined.
bool invertMatrix(const Matrix4& m, Matrix4& out);
// The light position: the inverse model-view applied to the point (centre of the window,
// 2 · far) in eye coordinates.
void lightPosition(const Matrix4& modelView, const ViewState& view, double q[3]);

}  // namespace quillon

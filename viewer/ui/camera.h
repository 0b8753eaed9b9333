#pragma once
// Orthographic camera: two angles give the model-view matrix, the window is fitted to the
// model box. The orientation itself lives in the OpenGL model-view matrix.
#include "viewer/render/frame.h"
#include "viewer/render/view_state.h"

namespace quillon {

// Loads the projection from the six window values and sets the viewport.
void applyProjection(const ViewState& view);
// Rebuilds the model-view matrix from alpha and beta, then fits.
void applyCamera(ViewState& view);
// Fits the orthographic window to the model box as seen through the current model-view matrix.
void fitAll(ViewState& view);
// Looks down -z onto the XOY plane, centred on the model centre.
void planView(ViewState& view);

// The arithmetic of the fit, without OpenGL: sets left … zFar from the model-view matrix `mv`.
// Returns false (and changes nothing) when the window has no area.
bool fitWindow(const Matrix4& mv, ViewState& view);
// The arithmetic of the plan view's window; false when the window has no area.
bool planWindow(ViewState& view);
// Eye position and up vector of gluLookAt for the two angles (degrees).
void lookAtVectors(double alpha, double beta, double eye[3], double up[3]);

}  // namespace quillon

#pragma once
// The orthographic camera: two angles give the model-view matrix, the window is fitted to the
// model box, and the mouse pans and zooms the window. Pure arithmetic on the ViewState; none of
// it needs OpenGL. Operations on a window without area (minimised) change nothing.
#include "viewer/view/view_state.h"

namespace quillon {

// Rebuilds the model-view matrix from alpha and beta, then fits.
void applyCamera(ViewState& view);
// Fits the orthographic window to the model box as seen through the model-view matrix.
void fitAll(ViewState& view);
// Looks down -z onto the XOY plane, centred on the model centre.
void planView(ViewState& view);
// Turns the model by `angle` degrees about an axis through the rotation centre, in model
// coordinates (post-multiplied); the window is not fitted again.
void rotateModel(ViewState& view, float angle, float axisX, float axisY, float axisZ);

// Eye position and up vector of the look-at for the two angles (degrees).
void lookAtVectors(double alpha, double beta, double eye[3], double up[3]);

// Eye units per pixel across (kx) and down (ky).
struct PixelScale {
    double kx, ky;
};
PixelScale pixelScale(const ViewState& view);
// Moves the window by (sx, sy) pixels, sx to the right and sy upwards: the model follows.
void shiftWindow(ViewState& view, double sx, double sy);
// Zoom window: the rectangle between the two corners (client pixels, y down) fills the view with
// its relatively larger side; the aspect ratio stays. A rectangle of no width and no height
// leaves the view as it is.
void zoomToRectangle(ViewState& view, int x0, int y0, int x1, int y1);
// One wheel step at client pixel (px, py): away from the user (towards > 0) zooms in by 5 %,
// towards the user out by 5 %; the model point under the cursor stays under it.
void zoomAtPixel(ViewState& view, bool awayFromUser, int px, int py);

}  // namespace quillon

#pragma once
// One frame: the OpenGL pass (background, light, contours, outlines, markers, rubber band)
// and then the overlay pass (labels, legend) on top of it.
#include <optional>

#include "viewer/contour/contour_gl.h"
#include "viewer/render/frame_stream.h"
#include "viewer/render/mesh_drawing.h"
#include "viewer/state/app_state.h"

namespace quillon {

namespace platform {
class OverlayCanvas;
}

// What frames keep between them: the contour levels while they cannot change, and the memory
// of the blocks in which frames are drawn. With elementByElement every frame computes and
// draws each element in its own begin/end blocks, with the outlines as polygons in line mode:
// the slow, plain way that tests compare the fast one with.
struct FrameCaches {
    bool elementByElement = false;
    LevelsCache levels;
    FrameStream stream;
};

// The current OpenGL model-view matrix, widened to doubles.
Matrix4 currentModelView();
// Loads the camera: projection, viewport and model-view matrix.
void loadCamera(const ViewState& view);
// The start of the OpenGL pass: camera (kept as the state's saved model-view matrix), cleared
// buffers and light. Gives the view's window for the model's displayed positions.
WindowProjection BeginScene(AppState& state, FrameCaches& caches);
// The OpenGL pass, with the camera of the state's view. Expects a current context.
void RenderScene(AppState& state, FrameCaches& caches);
// The contour pass: filled bands on the shells and beam skins.
// `window`: the frame's window, for the fast way.
void DrawContours(AppState& state, FrameCaches& caches, const WindowProjection& window);
// Places light 0 fixed to the viewer and enables lighting.
void SetupLighting(const ViewState& view);
// The rubber-band rectangle between two corners in client pixels.
void DrawPickRectangle(const ViewState& view, const PixelRect& rectangle);
// The overlay pass, drawn over the finished OpenGL picture.
void PaintOverlays(AppState& state, FrameCaches& caches, platform::OverlayCanvas& canvas);

// Draws one of each kind of primitive a frame draws, with the states a frame draws it with, and
// a legend: OpenGL compiles the programs it needs for them, and the canvas makes the legend's
// glyphs, so that the first real frame finds them ready. For a program that can do this while
// it waits for something else, such as a file to load. Call between the canvas's begin and end;
// the next frame clears the picture.
void WarmUpDrawing(int width, int height, platform::OverlayCanvas& canvas);

// Inverts a general 4 × 4 matrix (column-major) by Gauss–Jordan elimination with full
// pivoting. Returns false when a pivot is negligible (p + 1 == 1); `out` is then undefined.
bool invertMatrix(const Matrix4& m, Matrix4& out);
// The light position: the inverse model-view applied to the point (centre of the window,
// 2 · far) in eye coordinates.
void lightPosition(const Matrix4& modelView, const ViewState& view, double q[3]);

}  // namespace quillon

#pragma once
// Everything the viewer holds between events, owned by one object that is passed to whoever
// needs it.
#include "viewer/contour/contour_gl.h"
#include "viewer/contour/stress_scale.h"
#include "viewer/model/result_model.h"
#include "viewer/render/mesh_drawing.h"
#include "viewer/render/view_state.h"

namespace quillon {

struct AppState {
    ResultModel model;
    ViewState view;
    ContourSettings contour;
    InteractionState interaction;
    Matrix4 savedModelView = kIdentity4;  // the model-view matrix of the last frame
    bool modelLoaded = false;
    // Contour pieces and outlines are kept between frames and drawn from vertex arrays; off,
    // every frame computes and draws them element by element.
    bool cachedDrawing = true;
    ContourCache contourCache;
    OutlineCache outlineCache;
};

}  // namespace quillon

#pragma once
// Everything the viewer holds between events, owned by one object that is passed to whoever
// needs it.
#include "viewer/contour/stress_scale.h"
#include "viewer/model/result_model.h"
#include "viewer/render/view_state.h"

namespace quillon {

struct AppState {
    ResultModel model;
    ViewState view;
    ContourSettings contour;
    InteractionState interaction;
    Matrix4 savedModelView = kIdentity4;  // the model-view matrix of the last frame
    bool modelLoaded = false;
};

}  // namespace quillon

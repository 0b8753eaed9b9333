#pragma once
// Everything the viewer holds between events, owned by one object that is passed to whoever
// needs it: the dialogs of every subsystem read and write it. Drawing caches are not part of
// it; they belong to the frame.
#include "viewer/model/matrix4.h"
#include "viewer/model/result_model.h"
#include "viewer/state/contour_settings.h"
#include "viewer/state/interaction.h"
#include "viewer/state/selection_settings.h"
#include "viewer/view/view_state.h"

namespace quillon {

struct AppState {
    ResultModel model;
    ViewState view;
    ContourSettings contour;
    InteractionState interaction;
    SelectionSettings selection;
    Matrix4 savedModelView = kIdentity4;  // the model-view matrix of the last frame
    bool modelLoaded = false;
};

}  // namespace quillon

#pragma once
// The camera's state outside the OpenGL matrices, and the state of the mouse interaction.
#include <array>
#include <cstdint>

#include "viewer/model/matrix4.h"
#include "viewer/model/result_model.h"

namespace quillon {

struct ViewState {
    double alpha = 225.0;  // azimuth of the viewing position around z, degrees from +x towards +y
    double beta = 35.26;   // elevation above the XOY plane, degrees
    double W = 0, H = 0;   // client size in pixels
    double left = -1, right = 1, bottom = -1, top = 1;  // orthographic window, eye coordinates
    double zNear = -1, zFar = 1;                        // depth range passed to glOrtho
    Box6 modelBox{};
    Point3D modelCentre;
    Box6 selectedBox{};
    Point3D rotationCentre;  // pivot of the model rotations
};

enum InteractionMode : std::int32_t {
    Idle = 0,
    Pan = 1,
    ZoomWindow = 2,
    PickShells = 3,
    PickBeams = 4,
    PickNodes = 5,
    UnpickShells = 6,
    UnpickBeams = 7,
    UnpickNodes = 8,
};

struct InteractionState {
    std::int32_t mode = Idle;
    int clickCount = 0;
    int anchorX = 0, anchorY = 0;  // first corner, client pixels
    int cornerX = 0, cornerY = 0;  // current corner, client pixels
    int rectanglePick = 1;         // 1 rectangle, 0 point
};

}  // namespace quillon

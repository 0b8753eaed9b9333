#pragma once
// The camera as data: two angles, the model-view matrix, the orthographic window and the boxes
// it is fitted to. A frame loads it into OpenGL; picking and labels read it without OpenGL.
#include "viewer/model/result_model.h"
#include "viewer/view/gl_matrix.h"

namespace quillon {

// The view every load starts with: the isometric view from between -x and -y (35.26° is the
// elevation of a cube's space diagonal).
constexpr double kDefaultAlpha = 225.0;
constexpr double kDefaultBeta = 35.26;

struct ViewState {
    // The azimuth of the viewing position around z, degrees from +x towards +y, and its elevation
    // above the XOY plane, degrees.
    double alpha = kDefaultAlpha;
    double beta = kDefaultBeta;
    double W = 0, H = 0;  // client size in pixels
    // The display's pixels per inch over 96: what the window's legend, sized in pixels, is scaled
    // by so that it keeps its size on a screen at 125 % or 150 %. Pictures keep 1.
    double dpiScale = 1;
    double left = -1, right = 1, bottom = -1, top = 1;  // orthographic window, eye coordinates
    double zNear = -1, zFar = 1;                        // depth range of the projection
    Box6 modelBox{};
    Point3D modelCentre;
    Box6 selectedBox{};
    Point3D rotationCentre;  // pivot of the model rotations
    // The camera's orientation: rebuilt from the angles, turned by model rotations.
    Matrix4f modelView = kIdentity4f;
};

// The midpoints of a box's three ranges.
inline Point3D boxCentre(const Box6& b) {
    Point3D c;
    c.x = (b[0] + b[1]) / 2;
    c.y = (b[2] + b[3]) / 2;
    c.z = (b[4] + b[5]) / 2;
    return c;
}

}  // namespace quillon

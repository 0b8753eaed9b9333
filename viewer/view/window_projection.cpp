#include "viewer/view/window_projection.h"

#include <algorithm>
#include <cmath>

namespace quillon {

WindowProjection::WindowProjection(const ViewState& v, double coordinateBound)
    : width_(v.W), height_(v.H) {
    const Matrix4f& M = v.modelView;
    const double sx = v.W / (v.right - v.left), sy = v.H / (v.top - v.bottom);
    for (int c = 0; c < 3; ++c) {
        ax_[c] = sx * M[static_cast<std::size_t>(4 * c)];
        ay_[c] = sy * M[static_cast<std::size_t>(4 * c + 1)];
    }
    ax_[3] = sx * (M[12] - v.left);
    ay_[3] = sy * (M[13] - v.bottom);
    // Depth: eye z at −near is 0, at −far is 1.
    eyeDepth_ = v.zFar - v.zNear;
    for (int c = 0; c < 3; ++c) az_[c] = -M[static_cast<std::size_t>(4 * c + 2)] / eyeDepth_;
    az_[3] = (-M[14] - v.zNear) / eyeDepth_;
    const double length = std::sqrt(M[2] * M[2] + M[6] * M[6] + M[10] * M[10]);
    towardsViewer_[0] = M[2] / length;
    towardsViewer_[1] = M[6] / length;
    towardsViewer_[2] = M[10] / length;
    // The eye looks down its −z axis: a step towards the viewer makes the depth smaller.
    stepPerDepth_ = -eyeDepth_;
    // OpenGL transforms in single precision: its window coordinates may differ from these by a
    // few units in the last place of every quantity on the way, which the margin covers many
    // times over (2e-6 is about sixteen units of a float's last place).
    const double pixelsPerUnit = std::max(std::fabs(sx), std::fabs(sy));
    const double reach =
        std::max({std::fabs(v.left), std::fabs(v.right), std::fabs(v.bottom), std::fabs(v.top)}) +
        std::fabs(M[12]) + std::fabs(M[13]) + std::fabs(M[14]);
    constexpr double kRelative = 2e-6;
    margin_ = kRelative * (pixelsPerUnit * (3 * std::fabs(coordinateBound) + reach) + v.W + v.H) +
              1.0 / 64;
}

}  // namespace quillon

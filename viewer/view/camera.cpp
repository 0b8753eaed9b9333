#include "viewer/view/camera.h"

#include <algorithm>
#include <cmath>

namespace quillon {
namespace {
bool hasArea(const ViewState& v) {
    return v.W > 0 && v.H > 0;
}
// The size given to a model without extent.
constexpr double kPointExtent = 1.0;
}  // namespace

void lookAtVectors(double alpha, double beta, double eye[3], double up[3]) {
    const double pi = std::acos(-1.0);
    double a = pi * alpha / 180, b = pi * beta / 180;
    eye[0] = std::cos(a) * std::cos(b);
    eye[1] = std::sin(a) * std::cos(b);
    eye[2] = std::sin(b);
    up[0] = -std::cos(a) * std::sin(b);
    up[1] = -std::sin(a) * std::sin(b);
    up[2] = std::cos(b);
}

void applyCamera(ViewState& v) {
    if (!hasArea(v)) return;
    double eye[3], up[3];
    lookAtVectors(v.alpha, v.beta, eye, up);
    v.modelView = kIdentity4f;
    lookAtMatrix(v.modelView, eye[0], eye[1], eye[2], 0, 0, 0, up[0], up[1], up[2]);
    fitAll(v);
}

void fitAll(ViewState& v) {
    if (!hasArea(v)) return;
    const Matrix4 M = widen(v.modelView);
    const Box6& b = v.modelBox;
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (int corner = 0; corner < 8; ++corner) {
        double p[4] = {b[corner & 1 ? 1 : 0], b[corner & 2 ? 3 : 2], b[corner & 4 ? 5 : 4], 1};
        for (int i = 0; i < 3; ++i) {
            double e = 0;
            for (int j = 0; j < 4; ++j) e += M[static_cast<std::size_t>(4 * j + i)] * p[j];
            lo[i] = std::min(lo[i], e);
            hi[i] = std::max(hi[i], e);
        }
    }
    double dx = hi[0] - lo[0], dy = hi[1] - lo[1], dz = hi[2] - lo[2];
    double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    // A model whose nodes all lie at one point has no extent to fit: it gets one model unit, so
    // that it shows at the centre of a window that has a size.
    if (d == 0) dx = dy = d = kPointExtent;
    double s = std::max(dx / v.W, dy / v.H);
    double cx = (lo[0] + hi[0]) / 2, cy = (lo[1] + hi[1]) / 2, cz = (lo[2] + hi[2]) / 2;
    v.left = cx - s * v.W / 2;
    v.right = cx + s * v.W / 2;
    v.bottom = cy - s * v.H / 2;
    v.top = cy + s * v.H / 2;
    v.zNear = -(cz + d);
    v.zFar = -(cz - d);
}

void planView(ViewState& v) {
    if (!hasArea(v)) return;
    const Box6& b = v.modelBox;
    double d = std::sqrt((b[1] - b[0]) * (b[1] - b[0]) + (b[3] - b[2]) * (b[3] - b[2]) +
                         (b[5] - b[4]) * (b[5] - b[4]));
    if (d == 0) d = kPointExtent;
    double s = std::max(d / v.W, d / v.H);
    v.left = -v.W * s;
    v.right = v.W * s;
    v.bottom = -v.H * s;
    v.top = v.H * s;
    v.zNear = -d;
    v.zFar = d;
    v.modelView = kIdentity4f;
    translateMatrix(v.modelView, static_cast<float>(-v.modelCentre.x),
                    static_cast<float>(-v.modelCentre.y), static_cast<float>(-v.modelCentre.z));
}

void rotateModel(ViewState& v, float angle, float axisX, float axisY, float axisZ) {
    const float cx = static_cast<float>(v.rotationCentre.x);
    const float cy = static_cast<float>(v.rotationCentre.y);
    const float cz = static_cast<float>(v.rotationCentre.z);
    translateMatrix(v.modelView, cx, cy, cz);
    rotateMatrix(v.modelView, angle, axisX, axisY, axisZ);
    translateMatrix(v.modelView, -cx, -cy, -cz);
}

PixelScale pixelScale(const ViewState& v) {
    return {(v.right - v.left) / v.W, (v.top - v.bottom) / v.H};
}

void shiftWindow(ViewState& v, double sx, double sy) {
    if (!hasArea(v)) return;
    PixelScale k = pixelScale(v);
    v.left -= sx * k.kx;
    v.right -= sx * k.kx;
    v.bottom -= sy * k.ky;
    v.top -= sy * k.ky;
}

void zoomToRectangle(ViewState& v, int x0, int y0, int x1, int y1) {
    if (!hasArea(v)) return;
    // Two clicks on one pixel would give a window of no size.
    if (x1 == x0 && y1 == y0) return;
    PixelScale k = pixelScale(v);
    int mx = (x1 + x0) / 2, my = (y1 + y0) / 2;
    double dx = (v.W / 2 - mx) * k.kx, dy = -(v.H / 2 - my) * k.ky;
    v.left -= dx;
    v.right -= dx;
    v.bottom -= dy;
    v.top -= dy;
    double f = std::max(std::abs(x1 - x0) / v.W, std::abs(y1 - y0) / v.H);
    double cx = (v.left + v.right) / 2, cy = (v.bottom + v.top) / 2;
    double hw = (v.right - v.left) / 2, hh = (v.top - v.bottom) / 2;
    v.left = cx - f * hw;
    v.right = cx + f * hw;
    v.bottom = cy - f * hh;
    v.top = cy + f * hh;
}

void zoomAtPixel(ViewState& v, bool awayFromUser, int px, int py) {
    if (!hasArea(v)) return;
    PixelScale k = pixelScale(v);
    double dx = (v.W / 2 - px) * k.kx, dy = -(v.H / 2 - py) * k.ky;
    v.left -= dx;
    v.right -= dx;
    v.bottom -= dy;
    v.top -= dy;
    double f = awayFromUser ? 0.95 : 1.05;
    double cx = (v.left + v.right) / 2, cy = (v.bottom + v.top) / 2;
    double hw = (v.right - v.left) / 2 * f, hh = (v.top - v.bottom) / 2 * f;
    v.left = cx - hw + f * dx;
    v.right = cx + hw + f * dx;
    v.bottom = cy - hh + f * dy;
    v.top = cy + hh + f * dy;
}

}  // namespace quillon

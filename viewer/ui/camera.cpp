#include "viewer/ui/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "viewer/render/frame.h"

namespace quillon {

void applyProjection(const ViewState& v) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(v.left, v.right, v.bottom, v.top, v.zNear, v.zFar);
    glViewport(0, 0, static_cast<GLsizei>(v.W), static_cast<GLsizei>(v.H));
}

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
    if (!(v.W > 0) || !(v.H > 0)) return;  // minimised: keep the view as it is
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    double eye[3], up[3];
    lookAtVectors(v.alpha, v.beta, eye, up);
    gluLookAt(eye[0], eye[1], eye[2], 0, 0, 0, up[0], up[1], up[2]);
    fitAll(v);
}

bool fitWindow(const Matrix4& M, ViewState& v) {
    // A window without area (minimised) has no scale to fit to.
    if (!(v.W > 0) || !(v.H > 0)) return false;
    const Box6& b = v.modelBox;
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (int corner = 0; corner < 8; ++corner) {
        double p[4] = {b[corner & 1 ? 1 : 0], b[corner & 2 ? 3 : 2], b[corner & 4 ? 5 : 4], 1};
        for (int i = 0; i < 3; ++i) {
            double e = 0;
            for (int j = 0; j < 4; ++j) e += M[static_cast<std::size_t>(4 * j + i)] * p[j];
            if (e < lo[i]) lo[i] = e;
            if (e > hi[i]) hi[i] = e;
        }
    }
    double dx = hi[0] - lo[0], dy = hi[1] - lo[1], dz = hi[2] - lo[2];
    double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    double s = std::max(dx / v.W, dy / v.H);
    double cx = (lo[0] + hi[0]) / 2, cy = (lo[1] + hi[1]) / 2, cz = (lo[2] + hi[2]) / 2;
    v.left = cx - s * v.W / 2;
    v.right = cx + s * v.W / 2;
    v.bottom = cy - s * v.H / 2;
    v.top = cy + s * v.H / 2;
    v.zNear = -(cz + d);
    v.zFar = -(cz - d);
    return true;
}

void fitAll(ViewState& v) {
    if (fitWindow(currentModelView(), v)) applyProjection(v);
}

bool planWindow(ViewState& v) {
    if (!(v.W > 0) || !(v.H > 0)) return false;
    const Box6& b = v.modelBox;
    double d = std::sqrt((b[1] - b[0]) * (b[1] - b[0]) + (b[3] - b[2]) * (b[3] - b[2]) + (b[5] - b[4]) * (b[5] - b[4]));
    double s = std::max(d / v.W, d / v.H);
    v.left = -v.W * s;
    v.right = v.W * s;
    v.bottom = -v.H * s;
    v.top = v.H * s;
    v.zNear = -d;
    v.zFar = d;
    return true;
}

void planView(ViewState& v) {
    if (!planWindow(v)) return;
    applyProjection(v);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(static_cast<float>(-v.modelCentre.x), static_cast<float>(-v.modelCentre.y),
                 static_cast<float>(-v.modelCentre.z));
}

}  // namespace quillon

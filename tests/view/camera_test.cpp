#include "viewer/view/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/gl_fixture.h"
#include "viewer/render/frame.h"

namespace {

using quillon::Matrix4;
using quillon::ViewState;

// Eye coordinates of a world direction (w = 0) or point (w = 1).
void toEye(const Matrix4& m, double x, double y, double z, double w, double out[3]) {
    double p[4] = {x, y, z, w};
    for (int i = 0; i < 3; ++i) {
        out[i] = 0;
        for (int j = 0; j < 4; ++j) out[i] += m[static_cast<std::size_t>(4 * j + i)] * p[j];
    }
}

class Camera : public testsupport::GlTest {
  protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(makeContext(64, 64)); }
    ViewState view(double w, double h, quillon::Box6 box) {
        ViewState v;
        v.W = w;
        v.H = h;
        v.modelBox = box;
        v.modelCentre.x = (box[0] + box[1]) / 2;
        v.modelCentre.y = (box[2] + box[3]) / 2;
        v.modelCentre.z = (box[4] + box[5]) / 2;
        return v;
    }
};

TEST_F(Camera, DefaultViewLooksFromTheNegativeXYPositiveZOctantWithZUp) {
    ViewState v = view(800, 600, {0, 10, 0, 10, 0, 10});
    quillon::applyCamera(v);
    Matrix4 m = quillon::widen(v.modelView);
    double e[3];
    // The viewer sits towards (-1, -1, +1): that direction points out of the screen (+z eye).
    toEye(m, -1, -1, 1, 0, e);
    // (35.26 degrees is the diagonal's elevation to four digits.)
    EXPECT_NEAR(e[0], 0, 1e-3);
    EXPECT_NEAR(e[1], 0, 1e-3);
    EXPECT_NEAR(e[2], std::sqrt(3.0), 1e-3);
    // World z is up on the screen, and has no sideways part.
    toEye(m, 0, 0, 1, 0, e);
    EXPECT_NEAR(e[0], 0, 1e-6);
    EXPECT_GT(e[1], 0.8);
    // +x goes to the right and towards the viewer's left-to-right: from (-,-) looking at the
    // origin, +x points right and +y left.
    toEye(m, 1, 0, 0, 0, e);
    EXPECT_GT(e[0], 0.5);
    toEye(m, 0, 1, 0, 0, e);
    EXPECT_LT(e[0], -0.5);
}

TEST_F(Camera, TopViewHasXRightAndYUp) {
    ViewState v = view(100, 100, {0, 4, 0, 2, 0, 0});
    v.alpha = -90;
    v.beta = 90;
    quillon::applyCamera(v);
    Matrix4 m = quillon::widen(v.modelView);
    double e[3];
    toEye(m, 1, 0, 0, 0, e);
    EXPECT_NEAR(e[0], 1, 1e-6);
    EXPECT_NEAR(e[1], 0, 1e-6);
    toEye(m, 0, 1, 0, 0, e);
    EXPECT_NEAR(e[0], 0, 1e-6);
    EXPECT_NEAR(e[1], 1, 1e-6);
    // A flat model: no depth in the eye box, so the depth range is ±d around its centre,
    // d being the eye box diagonal (here the model's own: 4 × 2).
    double d = std::sqrt(16.0 + 4.0);
    toEye(m, 2, 1, 0, 1, e);
    EXPECT_NEAR(v.zNear, -(e[2] + d), 1e-5);
    EXPECT_NEAR(v.zFar, -(e[2] - d), 1e-5);
    EXPECT_NEAR(v.zFar - v.zNear, 2 * d, 1e-5);
    // The limiting direction is x (4 units over 100 pixels); y gets the same scale.
    EXPECT_NEAR(v.right - v.left, 4, 1e-5);
    EXPECT_NEAR(v.top - v.bottom, 4, 1e-5);
}

TEST_F(Camera, TwiceWideWindowFitsTheHeightAndCentres) {
    ViewState v = view(200, 100, {-1, 1, -1, 1, 0, 0});
    v.alpha = -90;
    v.beta = 90;
    quillon::applyCamera(v);
    quillon::loadCamera(v);
    EXPECT_NEAR(v.top - v.bottom, 2, 1e-5);  // s = dy / H
    EXPECT_NEAR(v.right - v.left, 4, 1e-5);
    EXPECT_NEAR((v.left + v.right) / 2, 0, 1e-5);
    // The projection OpenGL holds is the fitted one.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 100);
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_NEAR(p[0], 2 / (v.right - v.left), 1e-6);
    EXPECT_NEAR(p[5], 2 / (v.top - v.bottom), 1e-6);
}

TEST_F(Camera, FitAfterPlanViewKeepsThePlanOrientation) {
    ViewState v = view(300, 300, {10, 14, 20, 22, 1, 1});
    quillon::applyCamera(v);
    quillon::planView(v);
    Matrix4 plan = quillon::widen(v.modelView);
    // The plan view is centred on the model centre and spans 2d in its shorter direction.
    EXPECT_NEAR(plan[12], -12, 1e-5);
    EXPECT_NEAR(plan[13], -21, 1e-5);
    double d = std::sqrt(16.0 + 4.0);
    EXPECT_NEAR(v.top - v.bottom, 2 * 300 * d / 300, 1e-9);
    quillon::fitAll(v);
    EXPECT_EQ(quillon::widen(v.modelView), plan);
    EXPECT_NEAR(v.right - v.left, 4, 1e-5);
    EXPECT_NEAR((v.left + v.right) / 2, 0, 1e-5);  // the plan translation already centres it
}

TEST_F(Camera, AWindowWithoutAreaLeavesTheViewAsItIs) {
    ViewState v = view(100, 100, {0, 1, 0, 1, 0, 1});
    quillon::applyCamera(v);
    Matrix4 before = quillon::widen(v.modelView);
    ViewState kept = v;
    v.W = 0;
    v.alpha = 10;
    quillon::applyCamera(v);
    quillon::fitAll(v);
    quillon::planView(v);
    EXPECT_EQ(quillon::widen(v.modelView), before);
    EXPECT_EQ(v.left, kept.left);
    EXPECT_EQ(v.top, kept.top);
    EXPECT_EQ(v.zFar, kept.zFar);
    EXPECT_TRUE(std::isfinite(v.right));
}

}  // namespace

namespace {

quillon::Matrix4f glModelView() {
    quillon::Matrix4f m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

// The camera builds its matrix without OpenGL; a frame loads it. It must be the very matrix the
// fixed-function calls build, bit for bit, or pictures and picks would drift from each other.
TEST_F(Camera, MatrixArithmeticIsOpenGLsBitForBit) {
    glMatrixMode(GL_MODELVIEW);
    for (auto [alpha, beta] :
         {std::pair{225.0, 35.26}, std::pair{-90.0, 90.0}, std::pair{30.0, -40.0},
          std::pair{180.0, 0.0}, std::pair{-135.0, -35.26}}) {
        double eye[3], up[3];
        quillon::lookAtVectors(alpha, beta, eye, up);
        glLoadIdentity();
        gluLookAt(eye[0], eye[1], eye[2], 0, 0, 0, up[0], up[1], up[2]);
        quillon::Matrix4f cpu = quillon::kIdentity4f;
        quillon::lookAtMatrix(cpu, eye[0], eye[1], eye[2], 0, 0, 0, up[0], up[1], up[2]);
        EXPECT_EQ(cpu, glModelView()) << alpha << "," << beta;

        // Model rotations about every axis, both ways, about a centre off the origin.
        for (int k = 0; k < 6; ++k) {
            float axis[3] = {0, 0, 0};
            axis[k / 2] = 1;
            float angle = k % 2 ? -10.0f : 10.0f;
            glTranslatef(12.5f, -3.25f, 7.0f);
            glRotatef(angle, axis[0], axis[1], axis[2]);
            glTranslatef(-12.5f, 3.25f, -7.0f);
            quillon::translateMatrix(cpu, 12.5f, -3.25f, 7.0f);
            quillon::rotateMatrix(cpu, angle, axis[0], axis[1], axis[2]);
            quillon::translateMatrix(cpu, -12.5f, 3.25f, -7.0f);
        }
        EXPECT_EQ(cpu, glModelView()) << alpha << "," << beta;
    }
    // The view state's camera loaded by a frame is what OpenGL then holds.
    ViewState v = view(640, 480, {0, 10, 0, 5, 0, 2});
    v.rotationCentre = v.modelCentre;
    quillon::applyCamera(v);
    quillon::rotateModel(v, 10, 0, 0, 1);
    quillon::loadCamera(v);
    EXPECT_EQ(v.modelView, glModelView());
}

}  // namespace

// What the processor works out about where points land in the window must agree with what
// OpenGL draws: a triangle said to cover no pixel centre draws no pixel, window coordinates are
// where OpenGL puts the point, and the side a face turns to the viewer is the one lighting uses.
#include "viewer/view/window_projection.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <random>

#include "tests/support/gl_fixture.h"
#include "viewer/contour/contour_fill.h"
#include "viewer/render/frame.h"
#include "viewer/view/camera.h"

namespace {

using testsupport::Picture;

class WindowProjectionPixels : public testsupport::GlTest {
  protected:
    static constexpr int kW = 64, kH = 48;
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(makeContext(kW, kH));
        // A turned camera over a small box, so that no axis lines up with the window.
        view.W = kW;
        view.H = kH;
        view.modelBox = {-1, 2, -1, 1, 0, 3};
        view.selectedBox = view.modelBox;
        view.modelCentre = quillon::boxCentre(view.modelBox);
        view.rotationCentre = view.modelCentre;
        view.alpha = 30;
        view.beta = 20;
        quillon::applyCamera(view);
        glDisable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
    }
    int drawnPixels(const quillon::Point3D& a, const quillon::Point3D& b,
                    const quillon::Point3D& c) {
        quillon::loadCamera(view);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(1, 1, 1);
        glBegin(GL_TRIANGLES);
        for (const quillon::Point3D* p : {&a, &b, &c}) glVertex3d(p->x, p->y, p->z);
        glEnd();
        Picture pic = picture();
        return pic.count(0, 0, kW, kH, [](testsupport::Rgb c) { return c.r > 0; });
    }
    quillon::ViewState view;
};

TEST_F(WindowProjectionPixels, ATriangleLeftOutDrawsNoPixelAndWindowCoordinatesAreOpenGLs) {
    quillon::WindowProjection window(view, 4.0);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> where(-1.2, 2.2), size(-0.03, 0.03);
    int leftOut = 0, kept = 0;
    for (int i = 0; i < 400; ++i) {
        // Triangles of about a pixel, many of them between pixel centres.
        quillon::Point3D a;
        a.x = where(random);
        a.y = where(random) * 0.6;
        a.z = where(random) + 1;
        quillon::Point3D b = a, c = a;
        b.x += size(random);
        b.y += size(random);
        c.y += size(random);
        c.z += size(random);
        if (window.mayCoverPixelCentre(a, b, c)) {
            ++kept;
            continue;
        }
        ++leftOut;
        EXPECT_EQ(drawnPixels(a, b, c), 0) << i;
    }
    EXPECT_GT(leftOut, 50);  // the test saw both kinds
    EXPECT_GT(kept, 20);

    // A triangle around one pixel centre draws that pixel, where the window coordinates say.
    quillon::Point3D p;
    p.x = 0.4;
    p.y = 0.1;
    p.z = 1.3;
    const double x = window.windowX(p), y = window.windowY(p);
    ASSERT_GT(x, 2);
    ASSERT_LT(x, kW - 2);
    // Three points in the model that land half a pixel around the centre nearest p.
    const double cx = std::floor(x) + 0.5, cy = std::floor(y) + 0.5;
    auto at = [&](double wx, double wy) {
        // Solve for a model point at window (wx, wy) on the plane z = p.z.
        quillon::Point3D q = p, qx = p, qy = p;
        qx.x += 1e-3;
        qy.y += 1e-3;
        const double a11 = (window.windowX(qx) - x) / 1e-3, a12 = (window.windowX(qy) - x) / 1e-3;
        const double a21 = (window.windowY(qx) - y) / 1e-3, a22 = (window.windowY(qy) - y) / 1e-3;
        const double det = a11 * a22 - a12 * a21, dx = wx - x, dy = wy - y;
        q.x += (a22 * dx - a12 * dy) / det;
        q.y += (a11 * dy - a21 * dx) / det;
        return q;
    };
    quillon::Point3D t0 = at(cx - 0.4, cy - 0.4), t1 = at(cx + 0.4, cy - 0.4),
                     t2 = at(cx, cy + 0.4);
    ASSERT_TRUE(window.mayCoverPixelCentre(t0, t1, t2));
    EXPECT_EQ(drawnPixels(t0, t1, t2), 1);
    Picture pic = picture();
    EXPECT_GT(pic.at(static_cast<int>(cx), kH - 1 - static_cast<int>(cy)).r, 0);
}

TEST(WindowProjection, FrontFacingAgreesWithTheLayerTheViewerSees) {
    quillon::ViewState view;
    view.W = 800;
    view.H = 600;
    view.modelBox = {0, 10, 0, 10, 0, 10};
    view.selectedBox = view.modelBox;
    view.modelCentre = view.rotationCentre = quillon::boxCentre(view.modelBox);
    std::mt19937 random(3);
    std::uniform_real_distribution<double> coordinate(0, 10);
    for (auto [alpha, beta] :
         {std::pair{225.0, 35.26}, std::pair{30.0, -40.0}, std::pair{-90.0, 90.0}}) {
        view.alpha = alpha;
        view.beta = beta;
        quillon::applyCamera(view);
        quillon::WindowProjection window(view, 10.0);
        const quillon::Matrix4 M = quillon::widen(view.modelView);
        for (int i = 0; i < 1000; ++i) {
            quillon::Point3D p[3];
            for (quillon::Point3D& q : p) {
                q.x = coordinate(random);
                q.y = coordinate(random);
                q.z = coordinate(random);
            }
            // Layer 0 shows when the face's normal points to the viewer: its front.
            EXPECT_EQ(window.frontFacing(p[0], p[1], p[2]),
                      quillon::facingLayer(p[0], p[1], p[2], M) == 0)
                << alpha << "," << beta << " #" << i;
        }
    }
}

}  // namespace

// Pan, zoom window and wheel arithmetic on the orthographic window, without OpenGL.
#include <gtest/gtest.h>

#include "viewer/view/camera.h"

namespace {

using quillon::ViewState;

// A 400 × 200 view of the eye window [0, 800] × [0, 400]: 2 eye units per pixel.
ViewState view() {
    ViewState v;
    v.W = 400;
    v.H = 200;
    v.left = 0;
    v.right = 800;
    v.bottom = 0;
    v.top = 400;
    return v;
}

// The eye point shown at client pixel (px, py) (y down).
std::pair<double, double> eyeAt(const ViewState& v, double px, double py) {
    return {v.left + px * (v.right - v.left) / v.W, v.top - py * (v.top - v.bottom) / v.H};
}

TEST(NavigationArithmetic, ShiftMovesTheModelWithTheMouse) {
    ViewState v = view();
    auto before = eyeAt(v, 100, 50);
    // The mouse moved 30 pixels right and 10 up: what was under it is under it again.
    quillon::shiftWindow(v, 30, 10);
    auto after = eyeAt(v, 130, 40);
    EXPECT_DOUBLE_EQ(after.first, before.first);
    EXPECT_DOUBLE_EQ(after.second, before.second);
    EXPECT_DOUBLE_EQ(v.right - v.left, 800);  // no zoom
}

TEST(NavigationArithmetic, ZoomRectangleEitherWayGivesTheSameView) {
    ViewState a = view(), b = view();
    quillon::zoomToRectangle(a, 40, 20, 140, 70);
    quillon::zoomToRectangle(b, 140, 70, 40, 20);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom, b.bottom);
    EXPECT_EQ(a.top, b.top);
    // The rectangle's centre pixel (90, 45) becomes the window's centre.
    auto centre = eyeAt(view(), 90, 45);
    EXPECT_DOUBLE_EQ((a.left + a.right) / 2, centre.first);
    EXPECT_DOUBLE_EQ((a.bottom + a.top) / 2, centre.second);
}

TEST(NavigationArithmetic, TheRelativelyLargerSideFillsTheWindow) {
    // 4 times narrower than the view (100 of 400) and 2 times lower (100 of 200): f = 0.5, so
    // the rectangle's height fills the view and the aspect ratio stays.
    ViewState v = view();
    quillon::zoomToRectangle(v, 150, 50, 250, 150);
    EXPECT_DOUBLE_EQ(v.right - v.left, 400);
    EXPECT_DOUBLE_EQ(v.top - v.bottom, 200);
    // Integer centre: (101 + 0) / 2 = 50 truncates, as does (-3 + 0) / 2 = -1 towards zero.
    ViewState odd = view();
    quillon::zoomToRectangle(odd, 0, 0, 101, -3);
    auto centre = eyeAt(view(), 50, -1);
    EXPECT_DOUBLE_EQ((odd.left + odd.right) / 2, centre.first);
    EXPECT_DOUBLE_EQ((odd.bottom + odd.top) / 2, centre.second);
}

TEST(NavigationArithmetic, AZoomRectangleOfOnePixelLeavesTheView) {
    ViewState v = view();
    quillon::zoomToRectangle(v, 77, 33, 77, 33);
    EXPECT_EQ(v.left, 0);
    EXPECT_EQ(v.right, 800);
    EXPECT_EQ(v.bottom, 0);
    EXPECT_EQ(v.top, 400);
    // A line (no width, some height) still zooms: its height fills the view.
    quillon::zoomToRectangle(v, 77, 0, 77, 100);
    EXPECT_DOUBLE_EQ(v.top - v.bottom, 200);
}

TEST(NavigationArithmetic, WheelKeepsThePointUnderTheCursor) {
    ViewState v = view();
    auto under = eyeAt(v, 321, 17);
    quillon::zoomAtPixel(v, true, 321, 17);  // away from the user: 5 % in
    EXPECT_DOUBLE_EQ(v.right - v.left, 800 * 0.95);
    auto after = eyeAt(v, 321, 17);
    EXPECT_NEAR(after.first, under.first, 1e-9);
    EXPECT_NEAR(after.second, under.second, 1e-9);
    quillon::zoomAtPixel(v, false, 5, 190);  // towards: 5 % out
    EXPECT_DOUBLE_EQ(v.right - v.left, 800 * 0.95 * 1.05);
}

TEST(NavigationArithmetic, NothingChangesInAWindowWithoutArea) {
    ViewState v = view();
    v.H = 0;
    quillon::shiftWindow(v, 3, 4);
    quillon::zoomToRectangle(v, 0, 0, 10, 10);
    quillon::zoomAtPixel(v, true, 1, 1);
    EXPECT_EQ(v.left, 0);
    EXPECT_EQ(v.right, 800);
    EXPECT_EQ(v.top, 400);
}

TEST(Fit, AModelAtOnePointGetsOneUnitAndShowsAtTheCentre) {
    ViewState v;
    v.W = 200;
    v.H = 100;
    v.modelBox = {5, 5, -2, -2, 7, 7};
    v.modelCentre.x = 5;
    v.modelCentre.y = -2;
    v.modelCentre.z = 7;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0)
            quillon::applyCamera(v);
        else
            quillon::planView(v);
        EXPECT_GT(v.right - v.left, 0);
        EXPECT_GT(v.top - v.bottom, 0);
        EXPECT_GT(v.zFar - v.zNear, 0);
        // The point's eye position is the window's centre, and between near and far.
        quillon::Matrix4 m = quillon::widen(v.modelView);
        double p[3];
        for (int i = 0; i < 3; ++i)
            p[i] = m[static_cast<std::size_t>(i)] * 5 + m[static_cast<std::size_t>(4 + i)] * -2 +
                   m[static_cast<std::size_t>(8 + i)] * 7 + m[static_cast<std::size_t>(12 + i)];
        EXPECT_NEAR((v.left + v.right) / 2, p[0], 1e-5) << pass;
        EXPECT_NEAR((v.bottom + v.top) / 2, p[1], 1e-5) << pass;
        EXPECT_LT(v.zNear, -p[2]);
        EXPECT_GT(v.zFar, -p[2]);
    }
}

}  // namespace

#include "viewer/render/frame.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/model/result_text.h"
#include "tests/support/frame_fixture.h"
#include "tests/support/temp_file.h"
#include "viewer/platform/gl_framebuffer.h"
#include "viewer/ui/app.h"
#include "viewer/view/camera.h"

namespace {

using quillon::Matrix4;
using testsupport::isBlack;
using testsupport::Picture;
using testsupport::Rgb;

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 c{};
    for (int r = 0; r < 4; ++r)
        for (int col = 0; col < 4; ++col)
            for (int k = 0; k < 4; ++k)
                c[static_cast<std::size_t>(4 * col + r)] +=
                    a[static_cast<std::size_t>(4 * k + r)] *
                    b[static_cast<std::size_t>(4 * col + k)];
    return c;
}

TEST(InvertMatrix, GeneralMatricesAndNegligiblePivots) {
    // Needs pivoting: zeros on the diagonal, mixed scales.
    Matrix4 m{0, 2, 0, 0, 3, 0, 0, 0, 0, 0, 0, -4, 7, 0, 0.5, 1};
    Matrix4 inv;
    ASSERT_TRUE(quillon::invertMatrix(m, inv));
    Matrix4 id = multiply(m, inv);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(id[i], quillon::kIdentity4[i], 1e-12) << i;
    // A rotation with a translation: the inverse is the transposed rotation and back.
    double c = std::cos(0.3), s = std::sin(0.3);
    Matrix4 rt{c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 5, -2, 9, 1};
    ASSERT_TRUE(quillon::invertMatrix(rt, inv));
    EXPECT_NEAR(inv[1], -s, 1e-15);
    EXPECT_NEAR(inv[14], -9, 1e-12);
    EXPECT_NEAR(inv[12], -(c * 5 + s * -2), 1e-12);
    // Singular, and a pivot so small that adding it to 1 changes nothing.
    Matrix4 singular{1, 2, 3, 4, 2, 4, 6, 8, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_FALSE(quillon::invertMatrix(singular, inv));
    Matrix4 tiny = quillon::kIdentity4;
    tiny[0] = tiny[5] = tiny[10] = tiny[15] = 1e-17;
    EXPECT_FALSE(quillon::invertMatrix(tiny, inv));
}

TEST(Lighting, TheLightStaysWithTheViewer) {
    quillon::ViewState v;
    v.left = -2;
    v.right = 4;
    v.bottom = 0;
    v.top = 2;
    v.zFar = 10;
    double q[3];
    quillon::lightPosition(quillon::kIdentity4, v, q);
    EXPECT_EQ(q[0], 1);
    EXPECT_EQ(q[1], 1);
    EXPECT_EQ(q[2], 20);
    // Turned model: the light direction in eye space (inverse applied, then the model-view
    // again) is the same point relative to the translation.
    double c = std::cos(1.1), s = std::sin(1.1);
    Matrix4 mv{c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 3, 4, 5, 1};
    quillon::lightPosition(mv, v, q);
    double eye[3];
    for (int r = 0; r < 3; ++r)
        eye[r] = mv[static_cast<std::size_t>(r)] * q[0] +
                 mv[static_cast<std::size_t>(4 + r)] * q[1] +
                 mv[static_cast<std::size_t>(8 + r)] * q[2];
    EXPECT_NEAR(eye[0], 1 - 3, 1e-9);
    EXPECT_NEAR(eye[1], 1 - 4, 1e-9);
    EXPECT_NEAR(eye[2], 20 - 5, 1e-9);
}

// Two four-node shells side by side, [0,2]×[0,2] and [2,4]×[0,2], inside a node box of
// [-2,6]×[-1,3] (two free nodes widen it), seen from the top.
class FramePixels : public testsupport::FrameTest {
  protected:
    static constexpr int kW = 322, kH = 162;
    void SetUp() override {
        testsupport::ResultText r;
        r.nodes = {"0,0,0", "2,0,0", "4,0,0", "0,2,0", "2,2,0", "4,2,0", "-2,-1,0", "6,3,0"};
        r.disps = std::vector<std::string>(8, "0,0,0.001,0,0,0");
        r.quads = {"0,1,4,3", "1,2,5,4"};
        ASSERT_NO_FATAL_FAILURE(openModel(kW, kH, testsupport::writeFile("plate.txt", r.text())));
        state.model.deformed = false;
        state.model.updateDisplayedPositions();
        state.view.alpha = -90;
        state.view.beta = 90;
        quillon::applyCamera(state.view);
        state.contour.contourOn = false;  // these tests look at outlines and markers
    }
    Picture draw() { return drawFrame(); }
    // Window pixel of a model point in the top view.
    int px(double x) const {
        return static_cast<int>((x - state.view.left) / (state.view.right - state.view.left) * kW);
    }
    int py(double y) const {
        return static_cast<int>(kH - (y - state.view.bottom) /
                                         (state.view.top - state.view.bottom) * kH);
    }
    // Pixels matching `pred` on the vertical edge at model x, between y 0.25 and 1.75.
    template <class Pred>
    int onVerticalEdge(const Picture& p, double x, Pred pred) const {
        int c = px(x);
        return p.count(c - 1, py(1.75), c + 2, py(0.25), pred);
    }
};

// Lit lines seen face on carry the grey specular highlight of the material on top of
// their colour.
bool isWhite(const Rgb& c) {
    return c.r >= 245 && c.g >= 245 && c.b >= 245;
}
bool isRed(const Rgb& c) {
    return c.r >= 245 && c.g < 160 && c.g == c.b;
}

TEST_F(FramePixels, FittedOutlinesAreWhiteOverBlack) {
    Picture p = draw();
    // The node box spans the window's width exactly: x -2 and 6 are its edges.
    EXPECT_NEAR(state.view.left, -2, 1e-5);
    EXPECT_NEAR(state.view.right, 6, 1e-5);
    int rows = py(0.25) - py(1.75);
    for (double x : {0.0, 2.0, 4.0})
        EXPECT_GE(onVerticalEdge(p, x, isWhite), rows) << "edge at x=" << x;
    // Inside the elements and outside them: black.
    EXPECT_EQ(p.count(px(0.2), py(1.8), px(1.8), py(0.2), [](Rgb c) { return !isBlack(c); }), 0);
    EXPECT_EQ(p.count(0, 0, px(-0.2), kH, [](Rgb c) { return !isBlack(c); }), 0);
    EXPECT_EQ(p.count(px(4.2), 0, kW, kH, [](Rgb c) { return !isBlack(c); }), 0);
    // The frame's state at its end.
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_LINE));
    EXPECT_EQ(state.savedModelView, quillon::currentModelView());
}

TEST_F(FramePixels, PickedElementsAreRedAndWinTheSharedEdge) {
    state.model.pickQuad[1] = 1;
    Picture p = draw();
    int rows = py(0.25) - py(1.75);
    EXPECT_GE(onVerticalEdge(p, 4.0, isRed), rows);
    EXPECT_GE(onVerticalEdge(p, 2.0, isRed), rows);  // shared with the white one, drawn first
    EXPECT_EQ(onVerticalEdge(p, 0.0, isRed), 0);
    EXPECT_GE(onVerticalEdge(p, 0.0, isWhite), rows);
}

TEST_F(FramePixels, OutlineFilters) {
    state.model.selQuad[0] = 0;  // grey under All, hidden under Selected
    Picture all = draw();
    auto grey = [](Rgb c) { return c.r > 120 && c.r < 235 && c.r == c.g && c.g == c.b; };
    EXPECT_GT(onVerticalEdge(all, 0.0, grey), 0);
    EXPECT_GT(onVerticalEdge(all, 4.0, isWhite), 0);

    state.model.shellOutlineMode = quillon::DisplayFilter::Selected;
    Picture selected = draw();
    EXPECT_EQ(onVerticalEdge(selected, 0.0, [](Rgb c) { return !isBlack(c); }), 0);
    EXPECT_GT(onVerticalEdge(selected, 4.0, isWhite), 0);
    state.model.pickQuad[0] = 1;  // picked but not selected: still outlined, in red
    Picture pickedOnly = draw();
    EXPECT_GT(onVerticalEdge(pickedOnly, 0.0, isRed), 0);

    state.model.shellOutlineMode = quillon::DisplayFilter::None;
    Picture none = draw();
    EXPECT_EQ(none.count(0, 0, kW, kH, [](Rgb c) { return !isBlack(c); }), 0);
}

TEST_F(FramePixels, NodeMarkersArePlainColouredRings) {
    auto around = [&](const Picture& p, double x, double y, auto pred) {
        return p.count(px(x) - 4, py(y) - 4, px(x) + 5, py(y) + 5, pred);
    };
    state.model.shellOutlineMode = quillon::DisplayFilter::None;
    Picture none = draw();  // markers start hidden
    EXPECT_EQ(around(none, 2, 1, [](Rgb c) { return !isBlack(c); }), 0);

    state.model.nodeMode = quillon::DisplayFilter::All;
    state.model.pickNode[6] = 1;
    state.model.selNode[7] = 0;
    Picture all = draw();
    EXPECT_GT(around(all, -2 + 0.1, -1 + 0.1, [](Rgb c) { return c == Rgb{255, 0, 0}; }), 0);
    EXPECT_GT(around(all, 0, 0, [](Rgb c) { return c == Rgb{255, 255, 255}; }), 0);
    // Unlit grey, exactly (0.5, 0.5, 0.5).
    EXPECT_GT(around(all, 6 - 0.1, 3 - 0.1,
                     [](Rgb c) { return c.r == c.g && c.g == c.b && c.r >= 127 && c.r <= 128; }),
              0);

    state.model.nodeMode = quillon::DisplayFilter::Selected;
    Picture selected = draw();
    EXPECT_EQ(around(selected, 6 - 0.1, 3 - 0.1, [](Rgb c) { return !isBlack(c); }), 0);
    EXPECT_GT(around(selected, 0, 0, [](Rgb c) { return !isBlack(c); }), 0);
}

TEST_F(FramePixels, RubberBandOnlyWhileARectangleIsBeingDrawn) {
    state.model.shellOutlineMode = quillon::DisplayFilter::None;
    state.interaction.anchorX = 20;
    state.interaction.anchorY = 20;
    state.interaction.cornerX = 120;
    state.interaction.cornerY = 100;
    auto white = [](Rgb c) { return c == Rgb{255, 255, 255}; };
    auto band = [&](const Picture& p) { return p.count(60, 19, 80, 22, white); };  // its upper edge

    state.interaction.mode = quillon::InteractionMode::ZoomWindow;
    state.interaction.clickCount = 1;
    state.interaction.rectanglePick = 0;  // no matter for zooming
    EXPECT_GT(band(draw()), 0);
    state.interaction.mode = quillon::InteractionMode::PickShells;
    EXPECT_EQ(band(draw()), 0);  // point picking draws no rectangle
    state.interaction.rectanglePick = 1;
    EXPECT_GT(band(draw()), 0);
    state.interaction.clickCount = 0;
    EXPECT_EQ(band(draw()), 0);
    state.interaction.mode = quillon::InteractionMode::Pan;
    state.interaction.clickCount = 1;
    EXPECT_EQ(band(draw()), 0);
    // The camera's matrices are untouched by the rectangle.
    EXPECT_EQ(state.savedModelView, quillon::currentModelView());
}

}  // namespace

namespace {

// A model whose nodes all lie at one point still gets a projection OpenGL accepts.
class PointModel : public testsupport::FrameTest {};

TEST_F(PointModel, FramesWithoutErrors) {
    testsupport::ResultText r;
    r.nodes = {"1,1,1", "1,1,1", "1,1,1", "1,1,1"};
    r.disps = {"0,0,0,0,0,0", "0,0,0,0,0,0", "0,0,0,0,0,0", "0,0,0,0,0,0"};
    r.quads = {"0,1,2,3"};
    ASSERT_NO_FATAL_FAILURE(openModel(200, 100, testsupport::writeFile("point.txt", r.text())));
    while (glGetError() != GL_NO_ERROR) {
    }
    state.model.nodeMode = quillon::DisplayFilter::All;
    drawFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    EXPECT_TRUE(std::isfinite(p[0]) && p[0] > 0);
    EXPECT_TRUE(std::isfinite(p[10]) && p[10] != 0);
}

}  // namespace

#ifndef _WIN32  // EGL lets a test choose the depth buffer of the context's own surface
// A flat plate of 8 × 5 shells moved in its own plane only, seen from above: every outline lies
// on its face, one step of 24-bit depth in front of it.
std::string flatPlateFile() {
    testsupport::ResultText r;
    constexpr int kAcross = 8, kDown = 5;
    for (int j = 0; j <= kDown; ++j)
        for (int i = 0; i <= kAcross; ++i) {
            r.nodes.push_back(std::to_string(i) + "," + std::to_string(j) + ",0");
            r.disps.push_back("0.01," + std::to_string(0.002 * i) + ",0,0,0,0");
        }
    for (int j = 0; j < kDown; ++j)
        for (int i = 0; i < kAcross; ++i) {
            int a = j * (kAcross + 1) + i;
            r.quads.push_back(std::to_string(a) + "," + std::to_string(a + 1) + "," +
                              std::to_string(a + kAcross + 2) + "," +
                              std::to_string(a + kAcross + 1));
        }
    return testsupport::writeFile("flat_plate.txt", r.text());
}

// The window draws through a framebuffer object and copies it to its own surface: whatever depth
// buffer that surface has (16, 24 or 32 bits), the picture is the headless one, outlines and all.
TEST(WindowSurface, ShowsThePlanViewOfAFlatPlateWhateverItsDepthBuffer) {
    constexpr int kWidth = 320, kHeight = 240;
    const std::string path = flatPlateFile();
    auto draw = [&](int depthBits, bool throughFramebuffer, int& gotBits) {
        quillon::platform::OffscreenGl gl(kWidth, kHeight, depthBits);
        EXPECT_TRUE(gl.status().ok()) << gl.status().failure().message;
        if (!gl.status().ok()) return Picture{};
        glGetIntegerv(GL_DEPTH_BITS, &gotBits);
        quillon::initGlState();
        quillon::AppState state;
        state.view.W = kWidth;
        state.view.H = kHeight;
        EXPECT_TRUE(quillon::openResultFile(state, path).ok());
        quillon::planView(state.view);
        quillon::platform::GlFramebuffer framebuffer;
        if (throughFramebuffer) {
            std::string why =
                framebuffer.open(quillon::platform::OffscreenGl::function, kWidth, kHeight);
            EXPECT_EQ(why, "");
        }
        quillon::FrameCaches caches;
        testsupport::RecordingCanvas canvas;
        quillon::paintFrame(state, caches, canvas);
        framebuffer.copyToWindow();
        framebuffer.release();
        return Picture{kWidth, kHeight, gl.readRgb()};
    };
    int bits = 0;
    const Picture headless = draw(24, false, bits);
    ASSERT_EQ(bits, 24);
    auto outlinePixels = [](const Picture& p) {
        return p.count(0, 0, p.width, p.height,
                       [](const Rgb& c) { return c.r == c.g && c.g == c.b && c.r >= 60; });
    };
    ASSERT_GT(outlinePixels(headless), 1000) << "the headless picture shows the outlines";
    for (int depth : {16, 24, 32}) {
        const Picture shown = draw(depth, true, bits);
        if (bits != depth) {
            ADD_FAILURE() << "asked for " << depth << " depth bits, got " << bits;
            continue;
        }
        int differing = 0;
        for (std::size_t i = 0; i < shown.rgb.size() && shown.rgb.size() == headless.rgb.size();
             i += 3)
            differing += !std::equal(&shown.rgb[i], &shown.rgb[i] + 3, &headless.rgb[i]);
        EXPECT_EQ(shown.rgb.size(), headless.rgb.size());
        EXPECT_EQ(differing, 0) << depth << " bits";
    }
}
#endif

#include "viewer/platform/gl_overlay_canvas.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/model/result_text.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/legend_pixels.h"
#include "tests/support/temp_file.h"
#include "viewer/contour/legend.h"
#include "viewer/ui/app.h"
#include "viewer/view/camera.h"

namespace {

using quillon::platform::GlOverlayCanvas;
using testsupport::isBlack;
using testsupport::Picture;
using testsupport::Rgb;
using testsupport::rgbOf;

// The extent of the pixels that are not black.
struct Extent {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;  // inclusive
    int rows() const { return y1 < y0 ? 0 : y1 - y0 + 1; }
    int columns() const { return x1 < x0 ? 0 : x1 - x0 + 1; }
};
Extent litExtent(const Picture& p) {
    Extent e;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (!isBlack(p.at(x, y))) {
                e.x0 = std::min(e.x0, x);
                e.x1 = std::max(e.x1, x);
                e.y0 = std::min(e.y0, y);
                e.y1 = std::max(e.y1, y);
            }
    return e;
}

class Canvas : public testsupport::GlTest {
  protected:
    static constexpr int kW = 240, kH = 120;
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(makeContext(kW, kH));
        ASSERT_FALSE(canvas.fontFile().empty()) << "no font for the labels";
        clear();
    }
    static void clear() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    Picture drawText(int x, int y, const std::string& t, int height, int width,
                     std::int32_t colour = 0x00FFFFFF) {
        clear();
        canvas.begin(kW, kH);
        canvas.text(x, y, t, colour, height, width);
        canvas.end();
        return picture();
    }
    GlOverlayCanvas canvas;
};

TEST_F(Canvas, FillRectIsAFramedRectangleLikeGdi) {
    glClearColor(0.5f, 0.5f, 0.5f, 1);  // untouched pixels stay grey
    glClear(GL_COLOR_BUFFER_BIT);
    canvas.begin(kW, kH);
    canvas.fillRect(10, 20, 60, 55, 0x00FF7F00);
    canvas.fillRect(100, 20, 102, 30, 0x000000FF);  // too narrow for an inside: all frame
    canvas.fillRect(120, 20, 110, 30, 0x000000FF);  // inverted: nothing
    canvas.end();
    Picture p = picture();
    const Rgb grey = p.at(0, 0), azure{0, 127, 255};
    ASSERT_EQ(grey, (Rgb{128, 128, 128}));
    auto is = [](Rgb c) { return [c](Rgb x) { return x == c; }; };
    // Frame on the pixels left..right-1 and top..bottom-1, the inside filled.
    EXPECT_EQ(p.at(10, 20), (Rgb{0, 0, 0}));
    EXPECT_EQ(p.at(59, 54), (Rgb{0, 0, 0}));
    EXPECT_EQ(p.at(59, 37), (Rgb{0, 0, 0}));
    EXPECT_EQ(p.at(60, 37), grey);
    EXPECT_EQ(p.at(35, 55), grey);
    EXPECT_EQ(p.at(9, 37), grey);
    EXPECT_EQ(p.count(11, 21, 59, 54, is(azure)), 48 * 33);
    EXPECT_EQ(p.count(10, 20, 60, 55, isBlack), 50 * 35 - 48 * 33);
    EXPECT_EQ(p.count(100, 20, 102, 30, isBlack), 20);
    EXPECT_EQ(p.count(103, 0, kW, kH, is(grey)), (kW - 103) * kH);
}

TEST_F(Canvas, TextFillsItsCellInItsColour) {
    const std::int32_t colour = 0x0000FF7F;  // (127, 255, 0)
    Picture p = drawText(10, 10, "Hg|()", 40, 0, colour);
    Extent e = litExtent(p);
    // Nothing above the top or below the cell; ascenders to descenders span most of it.
    EXPECT_GE(e.y0, 10);
    EXPECT_LE(e.y1, 49);
    EXPECT_GE(e.rows(), 30);
    EXPECT_GE(e.x0, 10);
    // Coverage blended over black: full coverage is exactly the colour, and no channel
    // ever exceeds it.
    EXPECT_GT(p.count(0, 0, kW, kH, [&](Rgb c) { return c == rgbOf(colour); }), 20);
    EXPECT_EQ(p.count(0, 0, kW, kH, [](Rgb c) { return c.r > 127 || c.b > 0; }), 0);

    Extent twice = litExtent(drawText(10, 10, "Hg|()", 80, 0));
    EXPECT_NEAR(twice.rows(), 2 * e.rows(), 3);
    EXPECT_LE(twice.y1, 89);
}

TEST_F(Canvas, AWidthScalesTheGlyphsAcross) {
    Extent natural = litExtent(drawText(5, 10, "00000", 40, 0));
    Extent narrow = litExtent(drawText(5, 10, "00000", 40, 10));
    Extent wide = litExtent(drawText(5, 10, "00000", 40, 20));
    EXPECT_EQ(narrow.rows(), natural.rows());  // the height stays
    EXPECT_EQ(wide.rows(), natural.rows());
    EXPECT_NEAR(static_cast<double>(wide.columns()) / narrow.columns(), 2.0, 0.15);
    // Digits are about 1.25 average characters wide in a Times-like face.
    EXPECT_NEAR(wide.columns(), 5 * 20 * 1.25, 12);
}

TEST_F(Canvas, GlyphImagesComeFromTheCacheTheSecondTime) {
    drawText(10, 10, "0123", 30, 15);
    std::size_t first = canvas.glyphsRasterised();
    EXPECT_EQ(first, 4u);
    Picture again = drawText(10, 10, "3210", 30, 15);
    EXPECT_EQ(canvas.glyphsRasterised(), first);
    EXPECT_GT(litExtent(again).columns(), 30);  // drawn from the cache all the same
    drawText(10, 10, "0", 31, 15);              // another size is another image
    EXPECT_EQ(canvas.glyphsRasterised(), first + 1);
}

TEST_F(Canvas, NothingForHeightZeroOrOutsideAFrame) {
    EXPECT_EQ(litExtent(drawText(10, 10, "123", 0, 0)).rows(), 0);
    EXPECT_EQ(litExtent(drawText(10, 10, "123", -20, 0)).rows(), 0);
    clear();
    canvas.text(10, 10, "123", 0x00FFFFFF, 30, 0);  // no begin()
    canvas.fillRect(0, 0, 50, 50, 0x00FFFFFF);
    EXPECT_EQ(litExtent(picture()).rows(), 0);
}

TEST_F(Canvas, TextReachingOverTheEdgesIsClippedNotDropped) {
    Extent left = litExtent(drawText(-25, 10, "88888", 40, 0));
    EXPECT_EQ(left.x0, 0);
    EXPECT_GT(left.columns(), 40);
    Extent top = litExtent(drawText(10, -20, "88888", 40, 0));
    EXPECT_EQ(top.y0, 0);
    Extent corner = litExtent(drawText(kW - 10, kH - 15, "88888", 40, 0));
    EXPECT_EQ(corner.x1, kW - 1);
    EXPECT_EQ(corner.y1, kH - 1);
}

TEST_F(Canvas, TheCameraAndTheFrameStateAreLeftAsTheyWere) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-3, 5, -1, 2, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(30, 1, 2, 3);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    GLfloat projection[16], modelView[16], after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);

    canvas.begin(kW, kH);
    canvas.fillRect(10, 10, 50, 40, 0x0000FF00);  // filled although the polygon mode is lines
    canvas.text(60, 10, "42", 0x00FFFFFF, 30, 0);
    canvas.end();
    Picture p = picture();
    EXPECT_EQ(p.at(30, 25), (Rgb{0, 255, 0}));
    EXPECT_GT(litExtent(p).x1, 60);

    GLint mode = 0, polygon[2] = {0, 0};
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, modelView));
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_TRUE(std::equal(after, after + 16, projection));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glGetIntegerv(GL_POLYGON_MODE, polygon);
    EXPECT_EQ(polygon[0], GL_LINE);
    GLfloat bias = 1;
    glGetFloatv(GL_RED_BIAS, &bias);
    EXPECT_EQ(bias, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A whole frame of the square model with its legend, as the window and snapshots draw it.
class LegendPixels : public testsupport::GlTest {
  protected:
    static constexpr int kW = 800, kH = 600;
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(makeContext(kW, kH));
        quillon::initGlState();
        state.view.W = kW;
        state.view.H = kH;
        auto path = testsupport::writeFile("square.txt", testsupport::squareModel().text());
        ASSERT_TRUE(quillon::openResultFile(state, path).ok());
    }
    Picture draw() {
        canvas.begin(kW, kH);
        quillon::paintFrame(state, caches, canvas);
        canvas.end();
        return picture();
    }
    quillon::AppState state;
    quillon::FrameCaches caches;
    GlOverlayCanvas canvas;
};

TEST_F(LegendPixels, BoxesInBandColoursFramedInBlackWithLabelsBeside) {
    state.contour.contourOn = false;  // the legend shows all the same
    state.model.shellOutlineMode = quillon::DisplayFilter::None;
    Picture p = draw();
    quillon::LegendLayout l =
        testsupport::legendOf(state.model, state.contour.currentComponent, kW, kH);
    testsupport::expectLegendPixels(p, l);
    // Nothing between the boxes and the labels.
    EXPECT_EQ(p.count(kW - 150, l.boxes.back().top - 20, kW - 145, l.boxes.front().bottom + 20,
                      [](Rgb c) { return !isBlack(c); }),
              0);
}

}  // namespace

#include "viewer/render/labels.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/model/result_text.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/temp_file.h"
#include "viewer/render/frame.h"
#include "viewer/state/app_state.h"

namespace {

using quillon::kIdentity4;
using quillon::LabelLayout;
using quillon::Point3D;
using quillon::WindowPoint;

TEST(ProjectToWindow, AppliesTheModelViewColumnMajorAndCutsTowardsZero) {
    quillon::ViewState v;
    v.left = 0;
    v.right = 10;
    v.bottom = -2;
    v.top = 2;
    v.W = 100;
    v.H = 40;
    // A quarter turn about z, then a shift: eye x = 5 - y, eye y = x - 2.
    quillon::Matrix4 mv{0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 5, -2, 7, 1};
    Point3D p;
    p.x = 1;
    p.y = 2;
    p.z = 3;
    WindowPoint w = quillon::ProjectToWindow(mv, v, p);
    EXPECT_EQ(w.x, 30);
    EXPECT_EQ(w.y, 30);  // the window's y axis points down
    p.y = 5.25;          // eye x -0.25: window x -2.5 is cut to -2, not -3
    p.x = -0.05;         // eye y -2.05: window y 40.5 is cut to 40
    w = quillon::ProjectToWindow(mv, v, p);
    EXPECT_EQ(w.x, -2);
    EXPECT_EQ(w.y, 40);
    // Far outside at extreme zoom: saturates instead of overflowing.
    p.y = -1e30;
    EXPECT_GT(quillon::ProjectToWindow(mv, v, p).x, 1000000);
}

// The square model (one four-node shell, one triangle) seen straight on through the volume
// [-1, 3] × [-1, 2] in a 400 × 300 window: 100 pixels per unit.
class Labels : public ::testing::Test {
  protected:
    void SetUp() override { load(testsupport::squareModel()); }
    void load(const testsupport::ResultText& r) {
        ASSERT_TRUE(m.loadResultFile(testsupport::writeFile("model.txt", r.text())).ok());
        v.W = 400;
        v.H = 300;
        v.left = -1;
        v.right = 3;
        v.bottom = -1;
        v.top = 2;
        m.nodeNumberMode = m.shellNumberMode = m.beamNumberMode = quillon::DisplayFilter::All;
    }
    WindowPoint project(double x, double y) const {
        return {static_cast<int>((x + 1) / 4 * 400), static_cast<int>(300 - (y + 1) / 3 * 300)};
    }
    void zoom(double factor) {
        double cx = (v.left + v.right) / 2, cy = (v.bottom + v.top) / 2;
        double hw = (v.right - v.left) / 2 / factor, hh = (v.top - v.bottom) / 2 / factor;
        v.left = cx - hw;
        v.right = cx + hw;
        v.bottom = cy - hh;
        v.top = cy + hh;
    }
    quillon::ResultModel m;
    quillon::ViewState v;
};

TEST_F(Labels, NodeLabelsHaveTheirTopLeftCornerAtTheNode) {
    LabelLayout l = quillon::LayoutNodeNumbers(m, kIdentity4, v);
    ASSERT_EQ(l.texts.size(), 5u);
    EXPECT_EQ(l.colour, 0x00FF0000);
    EXPECT_EQ(l.texts[0].x, 100);
    EXPECT_EQ(l.texts[0].y, 200);
    EXPECT_EQ(l.texts[0].text, "0");
    // Node 1 is shown deformed.
    const Point3D& n1 = m.nodePos[1];
    EXPECT_NE(n1.z, 0);
    WindowPoint w = project(n1.x, n1.y);
    EXPECT_EQ(l.texts[1].x, w.x);
    EXPECT_EQ(l.texts[1].y, w.y);
    EXPECT_EQ(l.texts[4].text, "4");
}

TEST_F(Labels, ShellLabelsAreCentredOnTheCentroid) {
    LabelLayout q = quillon::LayoutQuadNumbers(m, kIdentity4, v);
    ASSERT_EQ(q.texts.size(), 1u);
    EXPECT_EQ(q.colour, 0x00FF00FF);
    double cx = 0, cy = 0;
    for (int k = 0; k < 4; ++k) {
        cx += m.nodePos[static_cast<std::size_t>(m.quadNodes[static_cast<std::size_t>(k)])].x / 4;
        cy += m.nodePos[static_cast<std::size_t>(m.quadNodes[static_cast<std::size_t>(k)])].y / 4;
    }
    WindowPoint c = project(cx, cy);
    EXPECT_EQ(q.texts[0].x, c.x - q.width / 2);  // one character
    EXPECT_EQ(q.texts[0].y, c.y - q.height / 2);

    LabelLayout t = quillon::LayoutTriangleNumbers(m, kIdentity4, v);
    ASSERT_EQ(t.texts.size(), 1u);
    EXPECT_EQ(t.colour, 0x00800080);
    EXPECT_EQ(t.height, q.height);
    // Node 4 of the triangle sits at (3, 0); the centroid of (2,0), (3,0), (2,1)-ish.
    double tx = (m.nodePos[1].x + m.nodePos[4].x + m.nodePos[2].x) / 3;
    double ty = (m.nodePos[1].y + m.nodePos[4].y + m.nodePos[2].y) / 3;
    EXPECT_EQ(t.texts[0].x, project(tx, ty).x - t.width / 2);
}

TEST_F(Labels, FontSizesFollowTheMeanLengthsAndTheZoom) {
    const double E = m.meanShellEdge;
    ASSERT_GT(E, 1);
    ASSERT_EQ(m.meanBeamLength, 0);
    LabelLayout q = quillon::LayoutQuadNumbers(m, kIdentity4, v);
    EXPECT_EQ(q.height, static_cast<int>(100 * (E / 5)));
    EXPECT_EQ(q.width, q.height / 2);
    // Without beams the node labels get half the height that E alone would give.
    LabelLayout n = quillon::LayoutNodeNumbers(m, kIdentity4, v);
    EXPECT_EQ(n.height, static_cast<int>((E * 0.5 / 5) * 100));
    EXPECT_EQ(n.height, q.height / 2);
    EXPECT_TRUE(quillon::LayoutBeamNumbers(m, kIdentity4, v).texts.empty());

    zoom(2);  // half the volume: twice the pixels per unit
    LabelLayout q2 = quillon::LayoutQuadNumbers(m, kIdentity4, v);
    EXPECT_EQ(q2.height, static_cast<int>(200 * (E / 5)));
    EXPECT_GE(q2.height, 2 * q.height);
    EXPECT_LE(q2.height, 2 * q.height + 1);
    EXPECT_EQ(quillon::LayoutNodeNumbers(m, kIdentity4, v).height,
              static_cast<int>((E * 0.5 / 5) * 200));
}

TEST_F(Labels, TheSelectedFilterLooksOnlyAtSelectedFlags) {
    m.shellNumberMode = quillon::DisplayFilter::Selected;
    m.nodeNumberMode = quillon::DisplayFilter::Selected;
    m.selQuad[0] = 0;
    m.pickQuad[0] = 1;  // picked but not selected: no label
    m.pickTri[0] = 0;   // selected and not picked: labelled
    m.selNode[2] = 0;
    m.pickNode[3] = 1;
    EXPECT_TRUE(quillon::LayoutQuadNumbers(m, kIdentity4, v).texts.empty());
    EXPECT_EQ(quillon::LayoutTriangleNumbers(m, kIdentity4, v).texts.size(), 1u);
    LabelLayout n = quillon::LayoutNodeNumbers(m, kIdentity4, v);
    std::vector<std::string> texts;
    for (const auto& t : n.texts) texts.push_back(t.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"0", "1", "3", "4"}));
    // All draws every entity whatever its flags; None draws nothing.
    m.shellNumberMode = quillon::DisplayFilter::All;
    EXPECT_EQ(quillon::LayoutQuadNumbers(m, kIdentity4, v).texts.size(), 1u);
    m.nodeNumberMode = quillon::DisplayFilter::None;
    EXPECT_TRUE(quillon::LayoutNodeNumbers(m, kIdentity4, v).texts.empty());
}

TEST_F(Labels, HeightZeroDrawsNothing) {
    m.meanShellEdge = 0;
    testsupport::RecordingCanvas canvas;
    quillon::DrawNodeNumbers(m, kIdentity4, v, canvas);  // (0 + 0) / 5 · s
    quillon::DrawQuadNumbers(m, kIdentity4, v, canvas);
    quillon::DrawTriangleNumbers(m, kIdentity4, v, canvas);
    EXPECT_TRUE(canvas.calls.empty());
    // Just below one pixel is cut to zero too.
    m.meanShellEdge = 0.0499;
    quillon::DrawQuadNumbers(m, kIdentity4, v, canvas);
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(Labels, BeamLabelsSitOnTheMidpointInYellow) {
    testsupport::ResultText r;
    r.nodes = {"0,0,0", "1,0,0", "1,1,0", "0,1,0"};
    r.disps = std::vector<std::string>(4, "0,0,0.01,0,0,0");
    r.quads = {"0,1,2,3"};
    testsupport::BeamText b;
    b.snd = "0,0,0";
    b.end = "2,0,0";
    b.points = {"0,0,0", "2,0,0", "2,0.1,0", "0,0.1,0"};
    b.disps = std::vector<std::string>(4, "0,0,0.01,0,0,0");
    b.cells = {"0,1,2,3"};
    r.beams = {b, b};
    ASSERT_NO_FATAL_FAILURE(load(r));
    m.selBeam[0] = 0;
    m.beamNumberMode = quillon::DisplayFilter::Selected;
    LabelLayout l = quillon::LayoutBeamNumbers(m, kIdentity4, v);
    ASSERT_EQ(l.texts.size(), 1u);
    EXPECT_EQ(l.colour, 0x0000FFFF);
    EXPECT_EQ(l.height, static_cast<int>(100 * (m.meanBeamLength / 5)));
    const auto& beam = m.beams[1];
    WindowPoint mid = project((beam.start.x + beam.end.x) / 2, (beam.start.y + beam.end.y) / 2);
    EXPECT_EQ(l.texts[0].text, "1");
    EXPECT_EQ(l.texts[0].x, mid.x - l.width / 2);
    EXPECT_EQ(l.texts[0].y, mid.y - l.height / 2);
    // With beams, node labels take the mean of both lengths.
    EXPECT_EQ(quillon::LayoutNodeNumbers(m, kIdentity4, v).height,
              static_cast<int>(((m.meanBeamLength * 0.5 + m.meanShellEdge * 0.5) / 5) * 100));
}

TEST_F(Labels, LongNumbersAreCentredByTheirLength) {
    testsupport::ResultText r;
    for (int i = 0; i < 24; ++i) {
        r.nodes.push_back(std::to_string(i % 12) + "," + std::to_string(i / 12) + ",0");
        r.disps.push_back("0,0,0.01,0,0,0");
    }
    for (int i = 0; i < 11; ++i)
        r.quads.push_back(std::to_string(i) + "," + std::to_string(i + 1) + "," +
                          std::to_string(i + 13) + "," + std::to_string(i + 12));
    ASSERT_NO_FATAL_FAILURE(load(r));
    LabelLayout l = quillon::LayoutQuadNumbers(m, kIdentity4, v);
    ASSERT_EQ(l.texts.size(), 11u);
    EXPECT_EQ(l.texts[10].text, "10");
    double cx = 0, cy = 0;
    for (int k : {10, 11, 23, 22}) {
        cx += m.nodePos[static_cast<std::size_t>(k)].x / 4;
        cy += m.nodePos[static_cast<std::size_t>(k)].y / 4;
    }
    EXPECT_EQ(l.texts[10].x, project(cx, cy).x - (l.width * 2) / 2);
}

TEST(PaintOverlays, LabelsInTheirOrderThenTheLegendEvenWithoutContours) {
    quillon::AppState s;
    ASSERT_TRUE(
        s.model
            .loadResultFile(testsupport::writeFile("square.txt", testsupport::squareModel().text()))
            .ok());
    s.modelLoaded = true;
    s.view.W = 800;
    s.view.H = 600;
    s.view.left = -1;
    s.view.right = 3;
    s.view.bottom = -1;
    s.view.top = 2;
    s.contour.contourOn = false;
    s.model.nodeNumberMode = s.model.shellNumberMode = quillon::DisplayFilter::All;
    testsupport::RecordingCanvas canvas;
    quillon::FrameCaches caches;
    quillon::PaintOverlays(s, caches, canvas);
    std::vector<std::int32_t> order;
    for (const auto& c : canvas.calls)
        if (order.empty() || order.back() != c.colour) order.push_back(c.colour);
    // Nodes, four-node shells, three-node shells; then the legend's bands from the bottom.
    ASSERT_GE(order.size(), 4u);
    EXPECT_EQ(order[0], 0x00FF0000);
    EXPECT_EQ(order[1], 0x00FF00FF);
    EXPECT_EQ(order[2], 0x00800080);
    EXPECT_EQ(canvas.calls.size(), 5u + 1u + 1u + 19u);
    EXPECT_FALSE(canvas.calls[7].isText);
    EXPECT_EQ(canvas.calls[7].x, 600);
    EXPECT_EQ(canvas.calls.back().text, "5021      ");
}

}  // namespace

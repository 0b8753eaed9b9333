// Picking on small hand-made models with a known camera: pixel (px, py) of a 100 × 100 view is
// the eye point (px, 100 - py), the model-view matrix is the identity (eye = model, depth = -z).
#include "viewer/select/picking.h"

#include <gtest/gtest.h>

namespace {

using namespace quillon;

Point3D point(double x, double y, double z = 0) {
    Point3D p;
    p.x = x;
    p.y = y;
    p.z = z;
    return p;
}

struct ModelBuilder {
    ResultModel m;
    ModelBuilder& nodes(std::vector<Point3D> points) {
        m.nodeCount = static_cast<std::int32_t>(points.size());
        m.nodePos = m.nodePos0 = std::move(points);
        return *this;
    }
    ModelBuilder& quads(std::vector<std::int32_t> nodes) {
        m.quadNodes = std::move(nodes);
        m.quadCount = static_cast<std::int32_t>(m.quadNodes.size() / 4);
        return *this;
    }
    ModelBuilder& tris(std::vector<std::int32_t> nodes) {
        m.triNodes = std::move(nodes);
        m.triCount = static_cast<std::int32_t>(m.triNodes.size() / 3);
        return *this;
    }
    ModelBuilder& beam(Point3D a, Point3D b) {
        BeamElement e;
        e.start = e.start0 = a;
        e.end = e.end0 = b;
        m.beams.push_back(e);
        m.beamCount = static_cast<std::int32_t>(m.beams.size());
        return *this;
    }
    ResultModel build() {
        auto flags = [](std::int32_t n, std::uint8_t v) {
            return std::vector<std::uint8_t>(static_cast<std::size_t>(n), v);
        };
        m.selQuad = flags(m.quadCount, 1);
        m.selTri = flags(m.triCount, 1);
        m.selBeam = flags(m.beamCount, 1);
        m.selNode = flags(m.nodeCount, 1);
        m.pickQuad = flags(m.quadCount, 0);
        m.pickTri = flags(m.triCount, 0);
        m.pickBeam = flags(m.beamCount, 0);
        m.pickNode = flags(m.nodeCount, 0);
        return m;
    }
};

PickCamera camera() {
    PickCamera c;
    c.W = c.H = 100;
    c.left = c.bottom = 0;
    c.right = c.top = 100;
    return c;
}

std::vector<std::int32_t> indices(const Picks& picks, EntityKind kind) {
    std::vector<std::int32_t> out;
    for (const PickedEntity& p : picks)
        if (p.kind == kind) out.push_back(p.index);
    return out;
}

// Two squares side by side, [10,30]×[10,30] and [30,50]×[10,30], a triangle over the first at
// the same mean depth, and a square far behind covering both.
ResultModel shells() {
    return ModelBuilder()
        .nodes({point(10, 10), point(30, 10), point(30, 30), point(10, 30), point(50, 10),
                point(50, 30), point(0, 0, -5), point(90, 0, -5), point(90, 90, -5),
                point(0, 90, -5)})
        .quads({0, 1, 2, 3, 1, 4, 5, 2, 6, 7, 8, 9})
        .tris({0, 1, 3})
        .build();
}

TEST(Picking, CoordinatesOfTheLastFrame) {
    PickCamera c = camera();
    c.left = -50;
    c.right = 150;  // two eye units a pixel across
    EyePoint e = c.WindowToEye(25, 75);
    EXPECT_DOUBLE_EQ(e.x, 0);
    EXPECT_DOUBLE_EQ(e.y, 25);
    c.M[12] = 3;  // a translation in the matrix
    c.M[14] = -7;
    auto p = c.ModelToEye(point(1, 2, 3));
    EXPECT_EQ(p[0], 4);
    EXPECT_EQ(p[1], 2);
    EXPECT_EQ(p[2], -4);
    EyeRect r = c.rectangle(60, 10, 20, 40);  // any two corners
    EXPECT_DOUBLE_EQ(r.xmin, -10);
    EXPECT_DOUBLE_EQ(r.xmax, 70);
    EXPECT_DOUBLE_EQ(r.ymin, 60);
    EXPECT_DOUBLE_EQ(r.ymax, 90);
}

TEST(Picking, PolygonTestsOnEdgesAndVertices) {
    EyePoint square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    Polygon2D p;
    p.set(square, 4);
    EXPECT_TRUE(PolygonContainsPoint(p, {5, 5}));
    EXPECT_FALSE(PolygonContainsPoint(p, {10.5, 5}));  // outside the box
    // On the right edge the crossing is not strictly right of the point; the element test
    // counts it.
    EXPECT_FALSE(PolygonContainsPoint(p, {10, 5}));
    EXPECT_TRUE(ElementContainsPoint(p, {10, 5}));
    EXPECT_TRUE(PolygonContainsPoint(p, {0, 5}));
    Polygon2D empty;
    EXPECT_FALSE(PolygonContainsPoint(empty, {0, 0}));

    EXPECT_TRUE(SegmentsTouch({0, 0}, {10, 0}, {10, 0}, {10, 10}));  // at an end
    EXPECT_TRUE(SegmentsTouch({0, 0}, {10, 0}, {5, 0}, {20, 0}));    // overlapping on a line
    EXPECT_TRUE(SegmentsTouch({0, 0}, {10, 10}, {0, 10}, {10, 0}));  // crossing
    EXPECT_FALSE(SegmentsTouch({0, 0}, {10, 0}, {0, 1}, {10, 1}));
    EXPECT_FALSE(SegmentsTouch({0, 0}, {10, 0}, {11, 0}, {20, 0}));  // on a line, apart
}

TEST(Picking, PointPickOfShellsTakesTheNearestContainingOne) {
    ResultModel m = shells();
    PickCamera c = camera();
    // (15, 85) is eye (15, 15): inside square 0, the triangle (same mean depth 0) and the far
    // square 2. The four-node shell visited first wins the tie; the far one is behind.
    Picks p = FindShellAtPoint(m, c, false, 15, 85);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].kind, EntityKind::Quad);
    EXPECT_EQ(p[0].index, 0);
    // Lifting the triangle towards the viewer makes it the nearest.
    for (int k : {0, 1, 3}) m.nodePos[static_cast<std::size_t>(k)].z = 1;
    // Square 0's mean depth is then -0.75 (three lifted nodes), the triangle's -1.
    p = FindShellAtPoint(m, c, false, 15, 85);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(indices(p, EntityKind::Tri), std::vector<std::int32_t>{0});
    // Outside every shell nothing is found.
    EXPECT_TRUE(FindShellAtPoint(m, c, false, 95, 5).empty());
    // Only selected: the far square is the one left under the point.
    m.selQuad[0] = 0;
    m.selTri[0] = 0;
    p = FindShellAtPoint(m, c, true, 15, 85);
    EXPECT_EQ(indices(p, EntityKind::Quad), std::vector<std::int32_t>{2});
}

TEST(Picking, PointPicksOfBeamsAndNodesAlwaysFindOne) {
    ResultModel m =
        ModelBuilder()
            .nodes({point(10, 10, 0), point(10, 10, 3), point(10.2, 10, 1), point(80, 80)})
            .beam(point(0, 0), point(20, 0))    // midpoint (10, 0)
            .beam(point(0, 20), point(20, 20))  // midpoint (10, 20), as far from (10, 10)
            .beam(point(90, 90), point(95, 95))
            .build();
    PickCamera c = camera();
    // Equally far midpoints: the lower index.
    EXPECT_EQ(indices(FindBeamAtPoint(m, c, false, 10, 90), EntityKind::Beam),
              std::vector<std::int32_t>{0});
    // However far: one is found.
    EXPECT_EQ(indices(FindBeamAtPoint(m, c, false, 99, 1), EntityKind::Beam),
              std::vector<std::int32_t>{2});
    m.selBeam[2] = 0;
    EXPECT_EQ(indices(FindBeamAtPoint(m, c, true, 99, 1), EntityKind::Beam),
              std::vector<std::int32_t>{1});
    m.selBeam.assign(3, 0);
    EXPECT_TRUE(FindBeamAtPoint(m, c, true, 99, 1).empty());

    // Nodes 0 and 1 lie at one pixel at two depths, node 2 a fifth of a pixel beside them and
    // between in depth: within half a pixel, the one nearest the viewer (node 1, z = 3) wins.
    EXPECT_EQ(indices(FindNodeAtPoint(m, c, false, 10, 90), EntityKind::Node),
              std::vector<std::int32_t>{1});
    EXPECT_EQ(indices(FindNodeAtPoint(m, c, false, 0, 99), EntityKind::Node),
              std::vector<std::int32_t>{1});
    EXPECT_EQ(indices(FindNodeAtPoint(m, c, false, 99, 0), EntityKind::Node),
              std::vector<std::int32_t>{3});
    m.selNode[1] = 0;
    EXPECT_EQ(indices(FindNodeAtPoint(m, c, true, 10, 90), EntityKind::Node),
              std::vector<std::int32_t>{2});
}

TEST(Picking, RectanglesCatchWhollyInsideOrCrossingByDirection) {
    ResultModel m = shells();
    PickCamera c = camera();
    // Eye x 5 … 35, y 5 … 35: square 0 and the triangle wholly inside, square 1 partly.
    Picks window = FindShellsInRectangle(m, c, false, 5, 95, 35, 65);
    EXPECT_EQ(indices(window, EntityKind::Quad), std::vector<std::int32_t>{0});
    EXPECT_EQ(indices(window, EntityKind::Tri), std::vector<std::int32_t>{0});
    Picks crossing = FindShellsInRectangle(m, c, false, 35, 65, 5, 95);  // dragged to the left
    EXPECT_EQ(indices(crossing, EntityKind::Quad), (std::vector<std::int32_t>{0, 1, 2}));
    // The same pixel x twice is a window.
    EXPECT_TRUE(FindShellsInRectangle(m, c, false, 20, 95, 20, 5).empty());
    // Crossing a shell it lies wholly within: a rectangle corner inside the element.
    EXPECT_EQ(indices(FindShellsInRectangle(m, c, false, 72, 22, 70, 20), EntityKind::Quad),
              std::vector<std::int32_t>{2});
    // A shell whose only contact is a node on the rectangle's edge is crossed (closed
    // segments): the rectangle x 50 … 60 touches square 1 along its right edge.
    EXPECT_EQ(indices(FindShellsInRectangle(m, c, false, 60, 85, 50, 75), EntityKind::Quad),
              (std::vector<std::int32_t>{1, 2}));
}

TEST(Picking, RectanglesOfBeamsAndNodes) {
    ResultModel m = ModelBuilder()
                        .nodes({point(10, 10), point(20, 20), point(30, 30)})
                        .beam(point(10, 10), point(20, 10))  // wholly inside x 5 … 25
                        .beam(point(20, 20), point(40, 20))  // crosses x = 25
                        .beam(point(25, 5), point(25, -5))   // an end on the edge x = 25 only
                        .beam(point(0, 40), point(40, 40))   // above
                        .build();
    PickCamera c = camera();
    // Rectangle x 5 … 25, y 5 … 25.
    EXPECT_EQ(indices(FindBeamsInRectangle(m, c, false, 5, 95, 25, 75), EntityKind::Beam),
              std::vector<std::int32_t>{0});
    // Crossing: only proper crossings count, an end on the edge does not.
    EXPECT_EQ(indices(FindBeamsInRectangle(m, c, false, 25, 75, 5, 95), EntityKind::Beam),
              (std::vector<std::int32_t>{0, 1}));
    // A node exactly on the edge is caught, whatever the direction.
    EXPECT_EQ(indices(FindNodesInRectangle(m, c, false, 5, 95, 20, 80), EntityKind::Node),
              (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(indices(FindNodesInRectangle(m, c, false, 20, 80, 5, 95), EntityKind::Node),
              (std::vector<std::int32_t>{0, 1}));
    m.selNode[0] = 0;
    EXPECT_EQ(indices(FindNodesInRectangle(m, c, true, 5, 95, 20, 80), EntityKind::Node),
              std::vector<std::int32_t>{1});
}

TEST(Picking, MarksPickAndUnpickOnTheStatesCameraAndDeformedPositions) {
    AppState s;
    s.model = shells();
    s.view.W = s.view.H = 100;
    s.view.left = s.view.bottom = 0;
    s.view.right = s.view.top = 100;
    PointPickShells(s, 40, 80, 1);
    EXPECT_EQ(s.model.pickQuad[1], 1);
    PointPickShells(s, 40, 80, 0);
    EXPECT_EQ(s.model.pickQuad[1], 0);
    // The displayed (deformed) positions are what is picked: move square 1 up by 50.
    for (int k : {1, 4, 5, 2}) s.model.nodePos[static_cast<std::size_t>(k)].y += 50;
    PointPickShells(s, 40, 30, 1);  // eye (40, 70)
    EXPECT_EQ(s.model.pickQuad[1], 1);
    RectPickNodes(s, 0, 100, 100, 0, 1);
    for (auto f : s.model.pickNode) EXPECT_EQ(f, 1);
    s.selection.nodes.onlyOperate = true;
    s.model.selNode[3] = 0;
    RectPickNodes(s, 0, 100, 100, 0, 0);
    EXPECT_EQ(s.model.pickNode[3], 1);  // passed over
    EXPECT_EQ(s.model.pickNode[0], 0);
}

}  // namespace

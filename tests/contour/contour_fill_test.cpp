#include "viewer/contour/contour_fill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "tests/model/result_text.h"
#include "tests/support/temp_file.h"
#include "viewer/platform/message.h"

namespace {

using quillon::Point3D;
using quillon::Polygon3D;

Point3D pt(double x, double y, double z = 0) {
    Point3D p;
    p.x = x;
    p.y = y;
    p.z = z;
    return p;
}

struct Piece {
    std::int32_t colour;
    std::vector<Point3D> points;
};

struct Recorder : quillon::PieceSink {
    std::vector<Piece> pieces;
    void piece(std::int32_t colour, const Polygon3D& p) override {
        pieces.push_back(
            {colour, std::vector<Point3D>(p.points.begin(), p.points.begin() + p.count)});
    }
    std::vector<Piece> inColour(std::int32_t c) const {
        std::vector<Piece> out;
        for (const Piece& p : pieces)
            if (p.colour == c) out.push_back(p);
        return out;
    }
};

// Vertices of a piece, exactly.
::testing::AssertionResult samePiece(const Piece& piece, std::vector<Point3D> want) {
    if (piece.points.size() != want.size())
        return ::testing::AssertionFailure() << "vertex count " << piece.points.size();
    for (std::size_t i = 0; i < want.size(); ++i) {
        const Point3D &a = piece.points[i], &b = want[i];
        if (a.x != b.x || a.y != b.y || a.z != b.z)
            return ::testing::AssertionFailure()
                   << "vertex " << i << " is (" << a.x << "," << a.y << "," << a.z << "), want ("
                   << b.x << "," << b.y << "," << b.z << ")";
    }
    return ::testing::AssertionSuccess();
}

const std::vector<std::int32_t> kColours = {10, 11, 12, 13, 14, 15, 16, 17, 18};

std::vector<Piece> fill(std::vector<Point3D> P, std::vector<double> v,
                        const std::vector<double>& levels) {
    Recorder r;
    quillon::FillTriangleBands(P.data(), v.data(), levels, kColours, 9, r);
    return r.pieces;
}

std::vector<double> levels0to9() {
    return quillon::BuildContourLevels(0, 9, 9);
}

TEST(FillTriangleBands, WorkedExamplePieceForPiece) {
    std::vector<double> L = levels0to9();
    for (int k = 0; k <= 9; ++k) ASSERT_EQ(L[static_cast<std::size_t>(k)], k);
    Point3D P0 = pt(0, 0), P1 = pt(4.5, 0), P2 = pt(0, 9);
    // Given in another order: the sort puts them by value.
    std::vector<Piece> pieces = fill({P2, P0, P1}, {9, 0, 4.5}, L);
    Recorder r;
    r.pieces = pieces;
    auto band0 = r.inColour(10);
    ASSERT_EQ(band0.size(), 2u);  // case 5
    EXPECT_TRUE(samePiece(band0[0], {P0, P0, pt(1, 0)}));
    EXPECT_TRUE(samePiece(band0[1], {pt(1, 0), pt(0, 1), P0}));
    auto band4 = r.inColour(14);
    ASSERT_EQ(band4.size(), 3u);  // case 7
    EXPECT_TRUE(samePiece(band4[0], {pt(0, 4), pt(4, 0), P1}));
    EXPECT_TRUE(samePiece(band4[1], {P1, pt(0, 5), pt(0, 4)}));
    EXPECT_TRUE(samePiece(band4[2], {P1, pt(4, 1), pt(0, 5)}));
    auto band8 = r.inColour(18);
    ASSERT_EQ(band8.size(), 2u);  // case 10, the second piece degenerate
    EXPECT_TRUE(samePiece(band8[0], {pt(0, 8), pt(1, 7), P2}));
    EXPECT_TRUE(samePiece(band8[1], {P2, P2, pt(0, 8)}));
    // Bands come in order, lowest first, and every band has pieces.
    for (std::size_t i = 1; i < pieces.size(); ++i)
        EXPECT_LE(pieces[i - 1].colour, pieces[i].colour);
    for (std::int32_t c : kColours) EXPECT_FALSE(r.inColour(c).empty()) << c;
}

TEST(FillTriangleBands, LevelCases) {
    std::vector<double> L = levels0to9();
    Point3D P0 = pt(0, 0), P1 = pt(1, 0), P2 = pt(0, 1);
    // Strictly inside one band: the whole triangle once (case 3).
    auto inside = fill({P0, P1, P2}, {3.2, 3.5, 3.9}, L);
    ASSERT_EQ(inside.size(), 1u);
    EXPECT_EQ(inside[0].colour, 13);
    EXPECT_TRUE(samePiece(inside[0], {P0, P1, P2}));

    // All three on an inner level: filled in the band below (case 4: the whole triangle and a
    // degenerate piece), then whole in the band above (case 9).
    auto onLevel = fill({P0, P1, P2}, {4, 4, 4}, L);
    ASSERT_EQ(onLevel.size(), 3u);
    EXPECT_EQ(onLevel[0].colour, 13);
    EXPECT_TRUE(samePiece(onLevel[0], {P2, P0, P1}));
    EXPECT_EQ(onLevel[1].colour, 13);
    EXPECT_TRUE(samePiece(onLevel[1], {P1, P1, P2}));
    EXPECT_EQ(onLevel[2].colour, 14);
    EXPECT_TRUE(samePiece(onLevel[2], {P0, P1, P2}));

    // On the lowest level: band 0 whole; on the highest: band N-1 whole.
    auto lowest = fill({P0, P1, P2}, {0, 0, 0}, L);
    ASSERT_EQ(lowest.size(), 1u);
    EXPECT_EQ(lowest[0].colour, 10);
    EXPECT_TRUE(samePiece(lowest[0], {P0, P1, P2}));
    auto highest = fill({P0, P1, P2}, {9, 9, 9}, L);
    ASSERT_EQ(highest.size(), 2u);  // case 4 of the top band: whole, plus a degenerate piece
    EXPECT_EQ(highest[0].colour, 18);
    EXPECT_TRUE(samePiece(highest[0], {P2, P0, P1}));
    EXPECT_EQ(highest[1].colour, 18);

    // A band edge through the triangle: the two sides share their edge points exactly.
    auto split = fill({P0, P1, P2}, {0.5, 1.5, 1.2}, L);
    ASSERT_GE(split.size(), 2u);
    EXPECT_EQ(split.front().colour, 10);
    EXPECT_EQ(split.back().colour, 11);
}

TEST(FillTriangleBands, AllLevelsEqualGiveOnlyDegeneratePieces) {
    std::vector<double> L = quillon::BuildContourLevels(5, 5, 9);
    auto pieces = fill({pt(0, 0), pt(1, 0), pt(0, 1)}, {5, 5, 5}, L);
    ASSERT_FALSE(pieces.empty());
    for (const Piece& p : pieces) {
        double ax = p.points[1].x - p.points[0].x, ay = p.points[1].y - p.points[0].y;
        double bx = p.points[2].x - p.points[0].x, by = p.points[2].y - p.points[0].y;
        EXPECT_EQ(ax * by - ay * bx, 0) << "a piece with area in band " << p.colour;
    }
}

TEST(FillTriangleBands, ValuesThatAreNoNumbersGiveNothing) {
    std::vector<double> L = levels0to9();
    EXPECT_TRUE(fill({pt(0, 0), pt(1, 0), pt(0, 1)}, {1, std::nan(""), 2}, L).empty());
    EXPECT_TRUE(
        fill({pt(0, 0), pt(1, 0), pt(0, 1)}, {1, 2, std::numeric_limits<double>::infinity()}, L)
            .empty());
}

TEST(FindPointBetween, InterpolatesAndRefusesLevelsOutside) {
    Point3D out = pt(-1, -1);
    EXPECT_TRUE(
        quillon::FindPointBetweenTwoPointsByphysicalQuantity(pt(0, 0), 0, pt(10, 0), 10, 2.5, out));
    EXPECT_EQ(out.x, 2.5);
    EXPECT_TRUE(
        quillon::FindPointBetweenTwoPointsByphysicalQuantity(pt(0, 0), 3, pt(7, 7), 3, 3, out));
    EXPECT_EQ(out.x, 7);  // equal values: the second point
    out = pt(-1, -1);
    EXPECT_FALSE(
        quillon::FindPointBetweenTwoPointsByphysicalQuantity(pt(0, 0), 1, pt(10, 0), 2, 5, out));
    EXPECT_EQ(out.x, -1);
}

// A model of two quads side by side in the plane z = 0, one triangle and one beam of two cells.
class ContourPass : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::ResultText r;
        r.nodes = {"0,0,0", "1,0,0", "2,0,0", "0,1,0", "1,1,0", "2,1,0", "3,0,0"};
        r.disps = std::vector<std::string>(7, "0,0,0.1,0,0,0");
        r.quads = {"0,1,4,3", "1,2,5,4"};
        r.tris = {"2,6,5"};
        testsupport::BeamText b;
        b.points = {"0,0,-1", "1,0,-1", "2,0,-1", "0,0,-2", "1,0,-2", "2,0,-2"};
        b.disps = std::vector<std::string>(6, "0,0,0,0,0,0");
        b.cells = {"0,1,4,3", "1,2,5,4"};
        b.stressBase = 1000;  // Se 1000 … 1017 over its two cells
        r.beams = {b};
        ASSERT_TRUE(model.loadResultFile(testsupport::writeFile("pass.txt", r.text())).ok);
        settings.currentComponent = quillon::kSe;
        quillon::SelectedStressRange(model, quillon::kSe, settings.SL, settings.SR);
    }
    Recorder run(const quillon::Matrix4& M = kTop) {
        Recorder r;
        quillon::ContourPass(model, settings,
                             quillon::contourLevels(model, settings.currentComponent), M, r);
        return r;
    }
    static constexpr quillon::Matrix4 kTop = quillon::kIdentity4;  // looking down -z
    quillon::ResultModel model;
    quillon::ContourSettings settings;
};

TEST_F(ContourPass, FacingPicksTheLayerShownPerElement) {
    // Quad 0: Se of node k in layer l is 10k + l. Seen from +z its normal faces the viewer:
    // layer 0; from below, layer 1. The same shells then give other pieces.
    EXPECT_EQ(quillon::facingLayer(pt(0, 0), pt(1, 0), pt(1, 1), kTop), 0);
    quillon::Matrix4 below = kTop;
    below[10] = -1;
    EXPECT_EQ(quillon::facingLayer(pt(0, 0), pt(1, 0), pt(1, 1), below), 1);
    EXPECT_EQ(quillon::facingLayer(pt(0, 0), pt(1, 0), pt(2, 0), kTop), 1);  // no area: layer 1
    settings.SL = settings.SR = 31;  // only quad 0 (0 … 31) and … reach 31
    Recorder top = run(kTop), bottom = run(below);
    ASSERT_FALSE(top.pieces.empty());
    ASSERT_FALSE(bottom.pieces.empty());
    bool differs = top.pieces.size() != bottom.pieces.size();
    for (std::size_t i = 0; !differs && i < top.pieces.size(); ++i)
        differs = top.pieces[i].colour != bottom.pieces[i].colour ||
                  top.pieces[i].points[0].x != bottom.pieces[i].points[0].x ||
                  top.pieces[i].points[0].y != bottom.pieces[i].points[0].y;
    EXPECT_TRUE(differs);
}

TEST_F(ContourPass, PickedRedSelectedInBandsOthersNotAtAll) {
    model.pickQuad[1] = 1;
    model.selQuad[1] = 0;  // picked counts whatever the selection
    model.selTri[0] = 0;   // neither: no fill
    model.pickBeam[0] = 1;
    Recorder r = run();
    auto red = r.inColour(quillon::kPickedFillColour);
    ASSERT_EQ(red.size(), 1u + 2u);  // the quad, then the beam's two cells
    EXPECT_EQ(red[0].points.size(), 4u);
    EXPECT_TRUE(samePiece(
        red[0], {model.nodePos[1], model.nodePos[2], model.nodePos[5], model.nodePos[4]}));
    EXPECT_TRUE(samePiece(red[2], {model.beams[0].meshPos[1], model.beams[0].meshPos[2],
                                   model.beams[0].meshPos[5], model.beams[0].meshPos[4]}));
    // Everything else comes from quad 0, whose corners span x 0 … 1.
    for (const Piece& p : r.pieces) {
        if (p.colour == quillon::kPickedFillColour) continue;
        for (const Point3D& q : p.points) EXPECT_LE(q.x, 1.0);
    }
}

TEST_F(ContourPass, TheIntervalDecidesWhichElementsAreFilled) {
    auto filledX = [&](double minX, double maxX) {
        int n = 0;
        for (const Piece& p : run().pieces)
            if (p.points[0].x >= minX && p.points[0].x <= maxX &&
                p.points[0].z == model.nodePos[0].z)
                ++n;
        return n;
    };
    // Quad 0 spans Se 0 … 31, quad 1 100 … 131, the triangle 5000 … 5021.
    settings.SL = 31;  // touches quad 0 at its top: filled
    settings.SR = 31;
    EXPECT_GT(filledX(0, 1), 0);
    settings.SL = 31.5;
    settings.SR = 99.5;  // between the two quads: nothing
    EXPECT_EQ(run().pieces.size(), 0u);
    settings.SL = 100;  // touches quad 1 at its bottom
    settings.SR = 100;
    Recorder r = run();
    ASSERT_FALSE(r.pieces.empty());
    for (const Piece& p : r.pieces) EXPECT_GE(p.points[0].x, 1.0);
}

TEST_F(ContourPass, BeamsAreFilledWholeOrNotAtAll) {
    auto beamPieces = [&](const Recorder& r) {
        int n = 0;
        for (const Piece& p : r.pieces) n += p.points[0].z < -0.5 ? 1 : 0;
        return n;
    };
    settings.SL = 1016.5;  // only the last records of cell 1 reach it …
    settings.SR = 1e9;
    Recorder r = run();
    // … yet both cells are filled: 2 cells × 4 triangles, at least one piece each.
    EXPECT_GE(beamPieces(r), 8);
    std::set<double> cellsSeen;
    for (const Piece& p : r.pieces)
        if (p.points[0].z < -0.5)
            cellsSeen.insert(std::floor((p.points[0].x + p.points[1].x + p.points[2].x) / 3));
    EXPECT_EQ(cellsSeen.size(), 2u);
    settings.SL = 1017.5;  // above the whole beam
    EXPECT_EQ(beamPieces(run()), 0);
    model.beams[0].cellCount = 0;  // a beam without cells has nothing to fill
    model.beams[0].cellStress.clear();
    settings.SL = 0;
    EXPECT_EQ(beamPieces(run()), 0);
}

}  // namespace

namespace {

// The warning says what happens, and it happens: the values are left out of the ranges, and
// an element is not filled only on the side where the layer holding one faces the viewer, and
// only while that component is shown.
TEST(NonFiniteStresses, WarnedOnceAtLoadLeftOutOfTheScaleAndOfTheFillOnTheirSide) {
    testsupport::ResultText r = testsupport::squareModel();
    std::string text = r.text();
    // The Se of quad node 1, layer 0 becomes no number, and of triangle node 0, layer 0,
    // minus infinity.
    text.replace(text.find(",10.000000\n"), 11, ",nan\n");
    text.replace(text.find(",5000.000000\n"), 13, ",-inf\n");
    std::vector<std::string> shown;
    auto previous = quillon::platform::setMessagePresenter(
        [&](const std::string& t, const std::string& caption) {
            shown.push_back(caption + " " + t);
        });
    quillon::ResultModel m;
    quillon::LoadStatus st = m.loadResultFile(testsupport::writeFile("nan.txt", text));
    quillon::platform::setMessagePresenter(previous);
    ASSERT_TRUE(st.ok) << st.message;
    ASSERT_EQ(shown,
              (std::vector<std::string>{
                  "Warning! Some stresses in this file are not finite numbers. They are left "
                  "out of the stress ranges; while such a component is shown, an element or "
                  "beam cell with one is not filled on the side where the layer holding it "
                  "faces the viewer."}));
    double lo, hi;
    quillon::SelectedStressRange(m, quillon::kSe, lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 5021);

    const quillon::Matrix4 top = quillon::kIdentity4;  // layer 0 faces the viewer
    quillon::Matrix4 below = top;
    below[10] = -1;  // layer 1 does
    ASSERT_EQ(quillon::facingLayer(m.nodePos[0], m.nodePos[1], m.nodePos[2], top), 0);
    ASSERT_EQ(quillon::facingLayer(m.nodePos[1], m.nodePos[4], m.nodePos[2], top), 0);
    auto pieces = [&](quillon::StressComponent c, const quillon::Matrix4& M, bool quad) {
        Recorder rec;
        std::vector<double> levels = quillon::contourLevels(m, c);
        if (quad)
            quillon::ContourQuad(m, 0, c, levels, M, rec);
        else
            quillon::ContourTriangleElement(m, 0, c, levels, M, rec);
        return rec.pieces.size();
    };
    for (bool quad : {true, false}) {
        SCOPED_TRACE(quad ? "quad" : "triangle");
        EXPECT_EQ(pieces(quillon::kSe, top, quad), 0u);
        EXPECT_GT(pieces(quillon::kSe, below, quad), 0u);
        EXPECT_GT(pieces(quillon::StressComponent{0}, top, quad), 0u);  // Sx is a number
    }
}

}  // namespace

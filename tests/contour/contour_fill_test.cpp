#include "viewer/contour/contour_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/model/result_text.h"
#include "tests/support/temp_file.h"
#include "viewer/platform/message.h"

namespace {

using quillon::Point3D;
using quillon::Polygon3D;
using quillon::ResultModel;

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

// Twice the signed area of a, b, c in the xy plane.
double area2(const Point3D& a, const Point3D& b, const Point3D& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// A point of the plane with the value the triangle's linear interpolation gives there.
struct Vertex {
    double x, y, value;
};

// Keeps the part of a convex polygon where sign × (value − t) ≥ 0 (one clipping step).
std::vector<Vertex> clip(const std::vector<Vertex>& poly, double t, double sign) {
    std::vector<Vertex> out;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Vertex& a = poly[i];
        const Vertex& b = poly[(i + 1) % poly.size()];
        double fa = sign * (a.value - t), fb = sign * (b.value - t);
        if (fa >= 0) out.push_back(a);
        if ((fa < 0 && fb > 0) || (fa > 0 && fb < 0)) {
            double u = fa / (fa - fb);
            out.push_back({a.x + u * (b.x - a.x), a.y + u * (b.y - a.y), t});
        }
    }
    return out;
}

double polygonArea(const std::vector<Vertex>& poly) {
    double twice = 0;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Vertex& a = poly[i];
        const Vertex& b = poly[(i + 1) % poly.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2;
}

// Band pieces against geometry computed here independently: over many random triangles and
// values (a quarter of them exactly on a level, some outside the levels), the pieces of each
// band lie inside the triangle where the value is within the band, their areas add up to the
// area of that part, and every point of the triangle lies in exactly one piece of the band
// its value is in. A triangle all on one inner level lies in the bands on both sides, and is
// left out of the last check.
TEST(FillTriangleBands, PiecesCoverTheTriangleExactlyBandByBand) {
    std::mt19937_64 rng(2024);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    int checkedPoints = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const double L0 = uniform(-100, 100), span = uniform(1e-3, 1000);
        const std::vector<double> L = quillon::BuildContourLevels(L0, L0 + span, 9);
        Point3D P[3];
        do {
            for (Point3D& q : P) q = pt(uniform(-10, 10), uniform(-10, 10));
        } while (std::fabs(area2(P[0], P[1], P[2])) < 1e-2);
        double v[3];
        for (double& x : v)
            x = uniform(0, 1) < 0.25 ? L[std::uniform_int_distribution<std::size_t>(0, 9)(rng)]
                                     : uniform(L0 - 0.1 * span, L0 + 1.1 * span);
        // The band cases with one vertex below the band and two in it, and one in it and two
        // above, come first: 2 and 6.
        const double caseTwo[3] = {L[0] + 0.5 * (L[1] - L[0]), L[3], L[5]};
        const double caseSix[3] = {L[0], L[1] + 0.2 * (L[2] - L[1]), L[1] + 0.9 * (L[2] - L[1])};
        const double* fixed = trial == 0 ? caseTwo : caseSix;
        if (trial < 2) std::copy(fixed, fixed + 3, v);
        SCOPED_TRACE("trial " + std::to_string(trial));

        std::vector<Point3D> points(P, P + 3);
        std::vector<double> values(v, v + 3);
        const std::vector<Piece> pieces = fill(points, values, L);
        const double area = std::fabs(area2(P[0], P[1], P[2])) / 2;
        // The value at a point of the plane, from its barycentric coordinates.
        auto bary = [&](const Point3D& q, double b[3]) {
            double whole = area2(P[0], P[1], P[2]);
            b[0] = area2(q, P[1], P[2]) / whole;
            b[1] = area2(P[0], q, P[2]) / whole;
            b[2] = area2(P[0], P[1], q) / whole;
        };
        auto valueAt = [&](const Point3D& q) {
            double b[3];
            bary(q, b);
            return b[0] * v[0] + b[1] * v[1] + b[2] * v[2];
        };
        const double eps = 1e-9 * span;
        std::vector<double> bandArea(9, 0.0);
        for (const Piece& p : pieces) {
            int band = p.colour - kColours[0];
            ASSERT_GE(band, 0);
            ASSERT_LT(band, 9);
            ASSERT_EQ(p.points.size(), 3u);
            for (const Point3D& q : p.points) {
                double b[3];
                bary(q, b);
                EXPECT_GE(std::min({b[0], b[1], b[2]}), -1e-9) << "a piece vertex outside";
                double value = valueAt(q);
                EXPECT_GE(value, L[band] - eps) << "band " << band;
                EXPECT_LE(value, L[band + 1] + eps) << "band " << band;
                EXPECT_EQ(q.z, 0);
            }
            bandArea[band] += std::fabs(area2(p.points[0], p.points[1], p.points[2])) / 2;
        }
        const std::vector<Vertex> triangle = {
            {P[0].x, P[0].y, v[0]}, {P[1].x, P[1].y, v[1]}, {P[2].x, P[2].y, v[2]}};
        double total = 0;
        for (int band = 0; band < 9; ++band) {
            double want = polygonArea(clip(clip(triangle, L[band], 1), L[band + 1], -1));
            EXPECT_NEAR(bandArea[band], want, 1e-9 * area) << "band " << band;
            total += bandArea[band];
        }
        const bool flatOnInnerLevel = v[0] == v[1] && v[1] == v[2] &&
                                      std::find(L.begin() + 1, L.end() - 1, v[0]) != L.end() - 1;
        const bool withinLevels =
            std::min({v[0], v[1], v[2]}) >= L[0] && std::max({v[0], v[1], v[2]}) <= L[9];
        if (withinLevels && !flatOnInnerLevel) {
            EXPECT_NEAR(total, area, 1e-9 * area);
        }
        if (flatOnInnerLevel) continue;

        // Points well inside the triangle and away from every level line.
        for (int k = 0; k < 40; ++k) {
            double a = uniform(0, 1), b = uniform(0, 1);
            if (a + b > 1) {  // folded back into the triangle
                a = 1 - a;
                b = 1 - b;
            }
            Point3D q = pt(P[0].x + a * (P[1].x - P[0].x) + b * (P[2].x - P[0].x),
                           P[0].y + a * (P[1].y - P[0].y) + b * (P[2].y - P[0].y));
            double bq[3];
            bary(q, bq);
            if (std::min({bq[0], bq[1], bq[2]}) < 1e-6) continue;
            double value = valueAt(q);
            bool nearLevel = false;
            for (double level : L) nearLevel |= std::fabs(value - level) < 1e-6 * span;
            if (nearLevel) continue;
            int holding = 0, band = -1;
            for (const Piece& p : pieces) {
                double whole = area2(p.points[0], p.points[1], p.points[2]);
                if (std::fabs(whole) < 1e-12 * area) continue;  // degenerate
                double s0 = area2(q, p.points[1], p.points[2]) / whole;
                double s1 = area2(p.points[0], q, p.points[2]) / whole;
                double s2 = area2(p.points[0], p.points[1], q) / whole;
                if (s0 > 0 && s1 > 0 && s2 > 0) {
                    ++holding;
                    band = p.colour - kColours[0];
                }
            }
            if (value < L[0] || value > L[9]) {
                EXPECT_EQ(holding, 0) << "a point outside the levels is filled";
                continue;
            }
            ++checkedPoints;
            ASSERT_EQ(holding, 1) << "point (" << q.x << "," << q.y << ") of value " << value;
            EXPECT_GE(value, L[band]);
            EXPECT_LE(value, L[band + 1]);
        }
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_GT(checkedPoints, 50000);
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
        ASSERT_TRUE(model.loadResultFile(testsupport::writeFile("pass.txt", r.text())).ok());
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
    EXPECT_EQ(quillon::facingLayer(pt(0, 0), pt(1, 0), pt(1, 1), kTop), 0);
    quillon::Matrix4 below = kTop;
    below[10] = -1;
    EXPECT_EQ(quillon::facingLayer(pt(0, 0), pt(1, 0), pt(1, 1), below), 1);
    EXPECT_EQ(quillon::facingLayer(pt(0, 0), pt(1, 0), pt(2, 0), kTop), 1);  // no area: layer 1

    // Each layer of quad 0 and of the triangle gets one Se at every node, each in a band of
    // its own, so that the colour of every piece tells which layer it was cut from. Both
    // shells face +z: seen from above layer 0 shows, from below layer 1.
    const double quadSe[2] = {5, 85}, triSe[2] = {15, 75};
    for (int layer = 0; layer < 2; ++layer) {
        for (int k = 0; k < 4; ++k)
            model.quadStress[quillon::stressIndex(4, layer, k, quillon::kSe)] = quadSe[layer];
        for (int k = 0; k < 3; ++k)
            model.triStress[quillon::stressIndex(3, layer, k, quillon::kSe)] = triSe[layer];
    }
    model.selQuad[1] = 0;  // only quad 0 and the triangle
    model.selBeam[0] = 0;
    settings.SL = -1e9;
    settings.SR = 1e9;
    const std::vector<double> levels = quillon::BuildContourLevels(0, 90, 9);  // 0, 10, … 90
    auto colours = [&](const quillon::Matrix4& M) {
        Recorder r;
        quillon::ContourPass(model, settings, levels, M, r);
        std::vector<std::int32_t> out;
        for (const Piece& p : r.pieces) out.push_back(p.colour);
        return out;
    };
    const std::vector<std::int32_t>& table = model.colourTable;
    // The quad in four triangles around its centre, then the triangle whole.
    EXPECT_EQ(colours(kTop),
              (std::vector<std::int32_t>{table[0], table[0], table[0], table[0], table[1]}));
    EXPECT_EQ(colours(below),
              (std::vector<std::int32_t>{table[8], table[8], table[8], table[8], table[7]}));
    ASSERT_EQ(table[0], ResultModel::kBlue);
    ASSERT_EQ(table[8], ResultModel::kRed);
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

TEST_F(ContourPass, AnIntervalHoldingTheSelectionNeedsNoElementRanges) {
    // Levels that span the selection spare the shells' ranges; the pieces stay those of the
    // whole pass, also for a shell with values that are no numbers or infinite.
    model.quadStress[quillon::stressIndex(4, 0, 2, quillon::kSe)] =
        std::numeric_limits<double>::quiet_NaN();
    for (int row = 0; row < 6; ++row)
        model.triStress[static_cast<std::size_t>(row * 7 + quillon::kSe)] =
            std::numeric_limits<double>::infinity();
    quillon::SelectedStressRange(model, quillon::kSe, settings.SL, settings.SR);
    const std::vector<double> levels = quillon::contourLevels(model, settings.currentComponent);
    auto same = [&](const char* what) -> std::size_t {
        Recorder whole, spared;
        quillon::ContourPass(model, settings, levels, kTop, whole);
        quillon::ContourPassRange(model, settings, levels, kTop, spared, 0,
                                  quillon::contourUnitCount(model), true);
        EXPECT_EQ(whole.pieces.size(), spared.pieces.size()) << what;
        for (std::size_t i = 0; i < std::min(whole.pieces.size(), spared.pieces.size()); ++i) {
            EXPECT_EQ(whole.pieces[i].colour, spared.pieces[i].colour) << what << " " << i;
            EXPECT_TRUE(samePiece(whole.pieces[i], spared.pieces[i].points)) << what << " " << i;
        }
        return whole.pieces.size();
    };
    EXPECT_GT(same("the selection's own range"), 0u);
    settings.SL -= 1;
    settings.SR += 1;
    EXPECT_GT(same("a wider interval"), 0u);
    settings.SL = 31.5;  // between the quads: the ranges decide again
    settings.SR = 99.5;
    EXPECT_EQ(same("an inner interval"), 0u);
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
    common::Outcome st = m.loadResultFile(testsupport::writeFile("nan.txt", text));
    quillon::platform::setMessagePresenter(previous);
    ASSERT_TRUE(st.ok()) << st.failure().message;
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

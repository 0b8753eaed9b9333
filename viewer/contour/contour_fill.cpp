#include "viewer/contour/contour_fill.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

namespace quillon {
namespace {

Point3D xyz(double x, double y, double z) {
    Point3D p;
    p.x = x;
    p.y = y;
    p.z = z;
    return p;
}

// Emits a triangle piece.
void emit(PieceSink& sink, std::int32_t colour, const Point3D& a, const Point3D& b,
          const Point3D& c) {
    Polygon3D poly;
    const Point3D pts[3] = {a, b, c};
    poly.setPoints(3, pts);
    sink.piece(colour, poly);
}

// Interpolated edge point; the band table only asks for levels between the two values, so
// the fallback (the second point) is never used with finite values.
Point3D between(const Point3D& a, double va, const Point3D& b, double vb, double t) {
    Point3D p = b;
    FindPointBetweenTwoPointsByphysicalQuantity(a, va, b, vb, t, p);
    return p;
}

// Range of one shell over all its nodes and both layers.
void shellRange(const double* block, int n, StressComponent component, double& emin, double& emax) {
    emin = 1e20;
    emax = -1e20;
    for (int r = 0; r < 2 * n; ++r) {
        double v = StressOf(block + r * kStressComponents, component);
        if (emin > v) emin = v;
        if (v > emax) emax = v;
    }
}

// Pointers to the corners of a face.
std::array<const Point3D*, 4> corners(const std::vector<Point3D>& positions,
                                      const std::int32_t* nodes, int n) {
    std::array<const Point3D*, 4> P{};
    for (int k = 0; k < n; ++k)
        P[static_cast<std::size_t>(k)] = &positions[static_cast<std::size_t>(nodes[k])];
    return P;
}

bool reachesInterval(const ContourSettings& s, double emin, double emax) {
    return !(s.SL > emax || emin > s.SR);
}

// The component's values at the corners of the layer that faces the viewer.
void facingCornerValues(const Point3D* const* P, int n, const double* block,
                        StressComponent component, const double direction[3], double* s) {
    const int layer = facingLayerAlong(*P[0], *P[1], *P[2], direction);
    for (int j = 0; j < n; ++j) s[j] = StressOf(block + stressIndex(n, layer, j, 0), component);
}

const double* viewDirection(const Matrix4& M, double direction[3]) {
    direction[0] = M[2];
    direction[1] = M[6];
    direction[2] = M[10];
    return direction;
}

// Four triangles around the centroid of a four-point face with corner values s, each cut into
// bands.
void fillFourPointFace(const Point3D* const* P, const double* s, const std::vector<double>& levels,
                       const std::vector<std::int32_t>& colours, int N, PieceSink& sink) {
    // Dividing by four and multiplying by 0.25 give the same bits.
    const double quarter = 0.25;
    Point3D c = xyz((P[0]->x + P[1]->x + P[2]->x + P[3]->x) * quarter,
                    (P[0]->y + P[1]->y + P[2]->y + P[3]->y) * quarter,
                    (P[0]->z + P[1]->z + P[2]->z + P[3]->z) * quarter);
    double sc = (s[0] + s[1] + s[2] + s[3]) * quarter;
    for (int j = 0; j < 4; ++j) {
        int k = (j + 1) % 4;
        Point3D pts[3] = {c, *P[j], *P[k]};
        double vals[3] = {sc, s[j], s[k]};
        FillTriangleBands(pts, vals, levels, colours, N, sink);
    }
}

// The same for a four-point face whose values are read from its block of stresses.
void contourFourPointFace(const Point3D* P[4], const double* block, StressComponent component,
                          const std::vector<double>& levels,
                          const std::vector<std::int32_t>& colours, int N, const Matrix4& M,
                          PieceSink& sink) {
    double direction[3], s[4];
    facingCornerValues(P, 4, block, component, viewDirection(M, direction), s);
    fillFourPointFace(P, s, levels, colours, N, sink);
}

// A three-node shell with corner values s, cut into bands.
void fillTriangleElement(const ResultModel& m, std::size_t e, const double* values,
                         const std::vector<double>& levels, PieceSink& sink) {
    const std::int32_t* idx = &m.triNodes[e * 3];
    Point3D P[3];
    double s[3];
    for (int j = 0; j < 3; ++j) {
        P[j] = m.nodePos[static_cast<std::size_t>(idx[j])];
        s[j] = values[j];
    }
    FillTriangleBands(P, s, levels, m.colourTable, m.colourCount, sink);
}

}  // namespace

void faceNormal(const Point3D& p0, const Point3D& p1, const Point3D& p2, double n[3]) {
    double ax = p1.x - p0.x, ay = p1.y - p0.y, az = p1.z - p0.z;
    double bx = p2.x - p0.x, by = p2.y - p0.y, bz = p2.z - p0.z;
    n[0] = ay * bz - az * by;
    n[1] = az * bx - ax * bz;
    n[2] = ax * by - ay * bx;
    double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (len == 0) {
        n[0] = n[1] = 0;
        n[2] = 1;
        return;
    }
    n[0] /= len;
    n[1] /= len;
    n[2] /= len;
}

void Polygon3D::setPoints(int n, const Point3D* source) {
    assert(n >= 1 && n <= 4);  // corners of a shell, or a band's piece of one
    count = n;
    for (int i = 0; i < n; ++i) points[static_cast<std::size_t>(i)] = source[i];
}

bool FindPointBetweenTwoPointsByphysicalQuantity(const Point3D& Pa, double va, const Point3D& Pb,
                                                 double vb, double t, Point3D& out) {
    if ((va > t && vb > t) || (t > vb && t > va)) return false;
    if (va == vb) {
        out = Pb;
        return true;
    }
    out = xyz((Pa.x - Pb.x) * (t - vb) / (va - vb) + Pb.x,
              (Pa.y - Pb.y) * (t - vb) / (va - vb) + Pb.y,
              (Pa.z - Pb.z) * (t - vb) / (va - vb) + Pb.z);
    return true;
}

void FillTriangleBands(Point3D P[3], double s[3], const std::vector<double>& L,
                       const std::vector<std::int32_t>& colours, int N, PieceSink& sink) {
    // A value that is no number has no band.
    if (!std::isfinite(s[0]) || !std::isfinite(s[1]) || !std::isfinite(s[2])) return;
    if (!sink.mayShow(P[0], P[1], P[2])) return;
    for (int i = 0; i < 2; ++i) {
        int m = i;
        for (int j = i + 1; j < 3; ++j)
            if (s[j] < s[m]) m = j;
        if (m != i) {
            std::swap(s[i], s[m]);
            std::swap(P[i], P[m]);
        }
    }
    const double s0 = s[0], s1 = s[1], s2 = s[2];
    auto A = [&](double t) { return between(P[0], s0, P[2], s2, t); };
    auto B = [&](double t) { return between(P[1], s1, P[0], s0, t); };
    auto C = [&](double t) { return between(P[2], s2, P[1], s1, t); };
    for (int k = 0; k < N; ++k) {
        const double lo = L[static_cast<std::size_t>(k)], hi = L[static_cast<std::size_t>(k) + 1];
        const std::int32_t col = colours[static_cast<std::size_t>(k)];
        if (s0 > lo) {
            if (s0 > hi) continue;  // 1
            if (s1 > hi) {          // 2
                emit(sink, col, B(hi), A(hi), P[0]);
            } else if (s2 < hi) {  // 3
                emit(sink, col, P[0], P[1], P[2]);
            } else {  // 4
                Point3D ahi = A(hi);
                emit(sink, col, ahi, P[0], P[1]);
                emit(sink, col, P[1], C(hi), ahi);
            }
        } else if (s1 > lo) {
            if (s1 > hi) {  // 5
                Point3D alo = A(lo), bhi = B(hi);
                emit(sink, col, alo, B(lo), bhi);
                emit(sink, col, bhi, A(hi), alo);
            } else if (s2 < hi) {  // 6
                Point3D alo = A(lo);
                emit(sink, col, alo, B(lo), P[1]);
                emit(sink, col, P[1], P[2], alo);
            } else {  // 7
                Point3D alo = A(lo), ahi = A(hi);
                emit(sink, col, alo, B(lo), P[1]);
                emit(sink, col, P[1], ahi, alo);
                emit(sink, col, P[1], C(hi), ahi);
            }
        } else {
            if (s2 < lo) continue;  // 8
            if (s2 < hi) {          // 9
                if (s0 == s1 && s1 == s2)
                    emit(sink, col, P[0], P[1], P[2]);
                else
                    emit(sink, col, A(lo), C(lo), P[2]);
            } else {  // 10
                Point3D alo = A(lo), chi = C(hi);
                emit(sink, col, alo, C(lo), chi);
                emit(sink, col, chi, A(hi), alo);
            }
        }
    }
}

int facingLayer(const Point3D& p0, const Point3D& p1, const Point3D& p2, const Matrix4& M) {
    double direction[3];
    return facingLayerAlong(p0, p1, p2, viewDirection(M, direction));
}

int facingLayerAlong(const Point3D& p0, const Point3D& p1, const Point3D& p2,
                     const double direction[3]) {
    double ax = p1.x - p0.x, ay = p1.y - p0.y, az = p1.z - p0.z;
    double bx = p2.x - p0.x, by = p2.y - p0.y, bz = p2.z - p0.z;
    double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    // No guard for a face without area: its normal is not a number and it shows layer 1.
    nx /= len;
    ny /= len;
    nz /= len;
    double d = nx * direction[0] + ny * direction[1] + nz * direction[2];
    return d > 0 ? 0 : 1;
}

void ContourQuad(const ResultModel& m, std::int32_t e, StressComponent component,
                 const std::vector<double>& levels, const Matrix4& M, PieceSink& sink) {
    const std::int32_t* idx = &m.quadNodes[static_cast<std::size_t>(e) * 4];
    const Point3D* P[4];
    for (int j = 0; j < 4; ++j) P[j] = &m.nodePos[static_cast<std::size_t>(idx[j])];
    contourFourPointFace(P, &m.quadStress[static_cast<std::size_t>(e) * stressBlockSize(4)],
                         component, levels, m.colourTable, m.colourCount, M, sink);
}

void ContourTriangleElement(const ResultModel& m, std::int32_t e, StressComponent component,
                            const std::vector<double>& levels, const Matrix4& M, PieceSink& sink) {
    const std::size_t i = static_cast<std::size_t>(e);
    double direction[3], s[3];
    facingCornerValues(corners(m.nodePos, &m.triNodes[i * 3], 3).data(), 3,
                       &m.triStress[i * stressBlockSize(3)], component, viewDirection(M, direction),
                       s);
    fillTriangleElement(m, i, s, levels, sink);
}

void ContourBeam(const ResultModel& m, std::int32_t beam, StressComponent component,
                 const std::vector<double>& levels, const Matrix4& M, PieceSink& sink) {
    const BeamElement& b = m.beams[static_cast<std::size_t>(beam)];
    for (std::int32_t c = 0; c < b.cellCount; ++c) {
        const std::int32_t* idx = &b.cellNodes[static_cast<std::size_t>(c) * 4];
        const Point3D* P[4];
        for (int j = 0; j < 4; ++j) P[j] = &b.meshPos[static_cast<std::size_t>(idx[j])];
        contourFourPointFace(P, &b.cellStress[static_cast<std::size_t>(c) * stressBlockSize(4)],
                             component, levels, m.colourTable, m.colourCount, M, sink);
    }
}

namespace {
void fillRed(const std::vector<Point3D>& pos, const std::int32_t* idx, int n, PieceSink& sink) {
    Point3D pts[4];
    for (int j = 0; j < n; ++j) pts[j] = pos[static_cast<std::size_t>(idx[j])];
    Polygon3D poly;
    poly.setPoints(n, pts);
    sink.piece(kPickedFillColour, poly);
}
}  // namespace

void FillPickedQuad(const ResultModel& m, std::int32_t e, PieceSink& sink) {
    fillRed(m.nodePos, &m.quadNodes[static_cast<std::size_t>(e) * 4], 4, sink);
}

void FillPickedTriangle(const ResultModel& m, std::int32_t e, PieceSink& sink) {
    fillRed(m.nodePos, &m.triNodes[static_cast<std::size_t>(e) * 3], 3, sink);
}

void FillPickedBeam(const ResultModel& m, std::int32_t beam, PieceSink& sink) {
    const BeamElement& b = m.beams[static_cast<std::size_t>(beam)];
    for (std::int32_t c = 0; c < b.cellCount; ++c)
        fillRed(b.meshPos, &b.cellNodes[static_cast<std::size_t>(c) * 4], 4, sink);
}

std::vector<double> contourLevels(const ResultModel& m, StressComponent component) {
    double lo = 0, hi = 0;
    SelectedStressRange(m, component, lo, hi);
    return BuildContourLevels(lo, hi, m.colourCount);
}

std::size_t contourUnitCount(const ResultModel& m) {
    return static_cast<std::size_t>(m.quadCount) + static_cast<std::size_t>(m.triCount) +
           static_cast<std::size_t>(m.beamCount);
}

void FacingValues::keyTo(const ResultModel& m, StressComponent component, const Matrix4& M) {
    if (keyed_ && version_ == m.positionsVersion && component_ == component &&
        direction_[0] == M[2] && direction_[1] == M[6] && direction_[2] == M[10])
        return;
    quad_.resize(static_cast<std::size_t>(m.quadCount) * 4);
    triangle_.resize(static_cast<std::size_t>(m.triCount) * 3);
    quadKnown_.assign(static_cast<std::size_t>(m.quadCount), 0);
    triangleKnown_.assign(static_cast<std::size_t>(m.triCount), 0);
    keyed_ = true;
    version_ = m.positionsVersion;
    component_ = component;
    viewDirection(M, direction_);
}

const double* FacingValues::quad(const ResultModel& m, std::size_t i) {
    return valuesOf(quad_, quadKnown_, m.nodePos, m.quadNodes, m.quadStress, 4, i);
}

const double* FacingValues::triangle(const ResultModel& m, std::size_t i) {
    return valuesOf(triangle_, triangleKnown_, m.nodePos, m.triNodes, m.triStress, 3, i);
}

const double* FacingValues::valuesOf(std::vector<double>& values, std::vector<std::uint8_t>& known,
                                     const std::vector<Point3D>& positions,
                                     const std::vector<std::int32_t>& nodes,
                                     const std::vector<double>& stresses, int n, std::size_t i) {
    const std::size_t count = static_cast<std::size_t>(n);
    double* s = &values[count * i];
    if (!known[i]) {
        facingCornerValues(corners(positions, &nodes[count * i], n).data(), n,
                           &stresses[i * stressBlockSize(n)], component_, direction_, s);
        known[i] = 1;
    }
    return s;
}

void ContourPassRange(const ResultModel& m, const ContourSettings& s,
                      const std::vector<double>& levels, const Matrix4& M, PieceSink& sink,
                      std::size_t begin, std::size_t end, bool levelsSpanTheSelection,
                      FacingValues* facing) {
    const StressComponent component = s.currentComponent;
    // Every finite value of a selected shell lies within the levels' span: an interval that
    // holds the span is reached by every shell that has such a value, and one that has none
    // gets no pieces either way. Its range need not be read then.
    const bool everyShellReaches = levelsSpanTheSelection && !levels.empty() &&
                                   s.SL <= levels.front() && s.SR >= levels.back();
    const std::size_t quads = static_cast<std::size_t>(m.quadCount);
    const std::size_t shells = quads + static_cast<std::size_t>(m.triCount);
    end = std::min(end, contourUnitCount(m));
    double emin = 0, emax = 0;
    for (std::size_t u = begin; u < end; ++u) {
        if (u < quads) {
            std::size_t i = u;
            std::int32_t e = static_cast<std::int32_t>(i);
            if (m.pickQuad[i]) {
                FillPickedQuad(m, e, sink);
            } else if (m.selQuad[i] &&
                       sink.mayShowFace(corners(m.nodePos, &m.quadNodes[i * 4], 4).data(), 4)) {
                if (!everyShellReaches)
                    shellRange(&m.quadStress[i * stressBlockSize(4)], 4, component, emin, emax);
                if (!everyShellReaches && !reachesInterval(s, emin, emax)) continue;
                if (facing)
                    fillFourPointFace(corners(m.nodePos, &m.quadNodes[i * 4], 4).data(),
                                      facing->quad(m, i), levels, m.colourTable, m.colourCount,
                                      sink);
                else
                    ContourQuad(m, e, component, levels, M, sink);
            }
        } else if (u < shells) {
            std::size_t i = u - quads;
            std::int32_t e = static_cast<std::int32_t>(i);
            if (m.pickTri[i]) {
                FillPickedTriangle(m, e, sink);
            } else if (m.selTri[i] &&
                       sink.mayShowFace(corners(m.nodePos, &m.triNodes[i * 3], 3).data(), 3)) {
                if (!everyShellReaches)
                    shellRange(&m.triStress[i * stressBlockSize(3)], 3, component, emin, emax);
                if (!everyShellReaches && !reachesInterval(s, emin, emax)) continue;
                if (facing)
                    fillTriangleElement(m, i, facing->triangle(m, i), levels, sink);
                else
                    ContourTriangleElement(m, e, component, levels, M, sink);
            }
        } else {
            std::size_t i = u - shells;
            std::int32_t b = static_cast<std::int32_t>(i);
            if (m.pickBeam[i]) {
                FillPickedBeam(m, b, sink);
            } else if (m.selBeam[i]) {
                // A beam is filled whole or not at all; one without cells has nothing to fill.
                if (BeamStressRange(m.beams[i], component, emin, emax) &&
                    reachesInterval(s, emin, emax))
                    ContourBeam(m, b, component, levels, M, sink);
            }
        }
    }
}

void ContourPass(const ResultModel& m, const ContourSettings& s, const std::vector<double>& levels,
                 const Matrix4& M, PieceSink& sink) {
    ContourPassRange(m, s, levels, M, sink, 0, contourUnitCount(m), false);
}

}  // namespace quillon

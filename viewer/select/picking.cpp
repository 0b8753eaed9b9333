#include "viewer/select/picking.h"

#include <algorithm>
#include <cmath>

namespace quillon {
namespace {

std::size_t at(std::int32_t i) {
    return static_cast<std::size_t>(i);
}

double cross(EyePoint u, EyePoint v) {
    return u.x * v.y - u.y * v.x;
}
EyePoint minus(EyePoint a, EyePoint b) {
    return {a.x - b.x, a.y - b.y};
}

bool closedInside(const EyeRect& r, double x, double y) {
    return r.xmin <= x && x <= r.xmax && r.ymin <= y && y <= r.ymax;
}
bool strictlyInside(const EyeRect& r, double x, double y) {
    return r.xmin < x && x < r.xmax && r.ymin < y && y < r.ymax;
}
// Corners in the order (xmin, ymin), (xmax, ymin), (xmax, ymax), (xmin, ymax).
std::array<EyePoint, 4> corners(const EyeRect& r) {
    return {EyePoint{r.xmin, r.ymin}, EyePoint{r.xmax, r.ymin}, EyePoint{r.xmax, r.ymax},
            EyePoint{r.xmin, r.ymax}};
}

// Both crossing-number tests; `exact` is the element variant.
bool containsPoint(const Polygon2D& poly, EyePoint p, bool exact) {
    if (poly.count == 0) return false;
    if (p.x < poly.xmin || p.x > poly.xmax || p.y < poly.ymin || p.y > poly.ymax) return false;
    int crossings = 0;
    for (int i = 0; i < poly.count; ++i) {
        const EyePoint a = poly.v[static_cast<std::size_t>(i)];
        const EyePoint b = poly.v[static_cast<std::size_t>((i + 1) % poly.count)];
        if ((a.y > p.y) == (b.y > p.y)) continue;
        const bool vertical = exact ? a.x == b.x : std::fabs(a.x - b.x) < 1e-10;
        const double x = vertical ? a.x : a.x + (b.x - a.x) * (p.y - a.y) / (b.y - a.y);
        if (exact ? x >= p.x : x > p.x) ++crossings;
    }
    return crossings % 2 == 1;
}

// The shells of the model, four-node first, each with its node indices.
template <class Visit>
void forEachShell(const ResultModel& m, bool onlySelected, Visit visit) {
    for (std::int32_t e = 0; e < m.quadCount; ++e)
        if (!onlySelected || m.selQuad[at(e)])
            visit(EntityKind::Quad, e, &m.quadNodes[at(e * m.nodesPerQuad)], m.nodesPerQuad);
    for (std::int32_t e = 0; e < m.triCount; ++e)
        if (!onlySelected || m.selTri[at(e)])
            visit(EntityKind::Tri, e, &m.triNodes[at(e * m.nodesPerTri)], m.nodesPerTri);
}

// The eye x and y of a shell's nodes as a polygon.
Polygon2D shellPolygon(const ResultModel& m, const PickCamera& c, const std::int32_t* nodes,
                       int n) {
    EyePoint points[4];
    for (int k = 0; k < n && k < 4; ++k) {
        auto e = c.ModelToEye(m.nodePos[at(nodes[k])]);
        points[k] = {e[0], e[1]};
    }
    Polygon2D poly;
    poly.set(points, n < 4 ? n : 4);
    return poly;
}

bool boxesOverlap(double axmin, double axmax, double aymin, double aymax, const EyeRect& r) {
    return !(axmin > r.xmax || r.xmin > axmax || aymin > r.ymax || r.ymin > aymax);
}

bool shellCrosses(const Polygon2D& poly, const EyeRect& r) {
    if (!boxesOverlap(poly.xmin, poly.xmax, poly.ymin, poly.ymax, r)) return false;
    for (int k = 0; k < poly.count; ++k)
        if (strictlyInside(r, poly.v[static_cast<std::size_t>(k)].x,
                           poly.v[static_cast<std::size_t>(k)].y))
            return true;
    const auto c = corners(r);
    for (const EyePoint& corner : c)
        if (ElementContainsPoint(poly, corner)) return true;
    for (int i = 0; i < poly.count; ++i) {
        const EyePoint a = poly.v[static_cast<std::size_t>(i)];
        const EyePoint b = poly.v[static_cast<std::size_t>((i + 1) % poly.count)];
        for (std::size_t k = 0; k < 4; ++k)
            if (SegmentsTouch(a, b, c[k], c[(k + 1) % 4])) return true;
    }
    return false;
}

bool beamCrosses(EyePoint a, EyePoint b, const EyeRect& r) {
    if (!boxesOverlap(std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y),
                      std::max(a.y, b.y), r))
        return false;
    if (strictlyInside(r, a.x, a.y) || strictlyInside(r, b.x, b.y)) return true;
    const auto c = corners(r);
    for (std::size_t k = 0; k < 4; ++k) {
        const EyePoint c0 = c[k], c1 = c[(k + 1) % 4];
        if (cross(minus(b, a), minus(c0, a)) * cross(minus(b, a), minus(c1, a)) < 0 &&
            cross(minus(c1, c0), minus(b, c0)) * cross(minus(c1, c0), minus(a, c0)) < 0)
            return true;
    }
    return false;
}

EyePoint eyeOf(const PickCamera& c, const Point3D& p) {
    auto e = c.ModelToEye(p);
    return {e[0], e[1]};
}

Point3D midpoint(const BeamElement& b) {
    Point3D m;
    m.x = (b.start.x + b.end.x) / 2;
    m.y = (b.start.y + b.end.y) / 2;
    m.z = (b.start.z + b.end.z) / 2;
    return m;
}

}  // namespace

void Polygon2D::set(const EyePoint* points, int n) {
    count = n;
    if (n == 0) return;
    xmin = xmax = points[0].x;
    ymin = ymax = points[0].y;
    for (int k = 0; k < n; ++k) {
        v[static_cast<std::size_t>(k)] = points[k];
        xmin = std::min(xmin, points[k].x);
        xmax = std::max(xmax, points[k].x);
        ymin = std::min(ymin, points[k].y);
        ymax = std::max(ymax, points[k].y);
    }
}

EyePoint PickCamera::WindowToEye(double px, double py) const {
    return {(px - W / 2) * (right - left) / W + (left + right) / 2,
            (H / 2 - py) * (top - bottom) / H + (bottom + top) / 2};
}

std::array<double, 3> PickCamera::ModelToEye(const Point3D& p) const {
    return {M[0] * p.x + M[4] * p.y + M[8] * p.z + M[12],
            M[1] * p.x + M[5] * p.y + M[9] * p.z + M[13],
            M[2] * p.x + M[6] * p.y + M[10] * p.z + M[14]};
}

EyeRect PickCamera::rectangle(int x0, int y0, int x1, int y1) const {
    EyePoint low = WindowToEye(std::min(x0, x1), std::max(y0, y1));
    EyePoint high = WindowToEye(std::max(x0, x1), std::min(y0, y1));
    return {low.x, high.x, low.y, high.y};
}

PickCamera pickCamera(const AppState& s) {
    PickCamera c;
    c.W = s.view.W;
    c.H = s.view.H;
    c.left = s.view.left;
    c.right = s.view.right;
    c.bottom = s.view.bottom;
    c.top = s.view.top;
    c.M = s.savedModelView;
    return c;
}

bool PolygonContainsPoint(const Polygon2D& polygon, EyePoint p) {
    return containsPoint(polygon, p, false);
}
bool ElementContainsPoint(const Polygon2D& polygon, EyePoint p) {
    return containsPoint(polygon, p, true);
}

bool SegmentsTouch(EyePoint a1, EyePoint a2, EyePoint b1, EyePoint b2) {
    if (std::max(a1.x, a2.x) < std::min(b1.x, b2.x) ||
        std::max(b1.x, b2.x) < std::min(a1.x, a2.x) ||
        std::max(a1.y, a2.y) < std::min(b1.y, b2.y) || std::max(b1.y, b2.y) < std::min(a1.y, a2.y))
        return false;
    if (cross(minus(a2, a1), minus(b2, a1)) * cross(minus(a2, a1), minus(b1, a1)) > 0) return false;
    if (cross(minus(b2, b1), minus(a2, b1)) * cross(minus(b2, b1), minus(a1, b1)) > 0) return false;
    return true;
}

Picks FindShellAtPoint(const ResultModel& m, const PickCamera& c, bool onlySelected, int px,
                       int py) {
    const EyePoint p = c.WindowToEye(px, py);
    double best = 1e20;
    PickedEntity winner{EntityKind::Quad, -1};
    forEachShell(m, onlySelected,
                 [&](EntityKind kind, std::int32_t e, const std::int32_t* nodes, int n) {
                     const Polygon2D poly = shellPolygon(m, c, nodes, n);
                     if (!PolygonContainsPoint(poly, p)) return;
                     double depth = 0;
                     for (int k = 0; k < n; ++k) depth += -c.ModelToEye(m.nodePos[at(nodes[k])])[2];
                     depth /= n;
                     if (best > depth) {
                         best = depth;
                         winner = {kind, e};
                     }
                 });
    if (winner.index < 0) return {};
    return {winner};
}

Picks FindBeamAtPoint(const ResultModel& m, const PickCamera& c, bool onlySelected, int px,
                      int py) {
    const EyePoint p = c.WindowToEye(px, py);
    std::int32_t winner = -1;
    double nearest = 0;
    for (std::int32_t b = 0; b < m.beamCount; ++b) {
        if (onlySelected && !m.selBeam[at(b)]) continue;
        const EyePoint e = eyeOf(c, midpoint(m.beams[at(b)]));
        const double d = std::sqrt((e.x - p.x) * (e.x - p.x) + (e.y - p.y) * (e.y - p.y));
        if (winner < 0 || d < nearest) {
            winner = b;
            nearest = d;
        }
    }
    if (winner < 0) return {};
    return {{EntityKind::Beam, winner}};
}

Picks FindNodeAtPoint(const ResultModel& m, const PickCamera& c, bool onlySelected, int px,
                      int py) {
    const EyePoint p = c.WindowToEye(px, py);
    auto distance = [&](const std::array<double, 3>& e) {
        return std::sqrt((e[0] - p.x) * (e[0] - p.x) + (e[1] - p.y) * (e[1] - p.y));
    };
    std::int32_t winner = -1;
    double d0 = 0, bestDepth = 0;
    for (std::int32_t n = 0; n < m.nodeCount; ++n) {
        if (onlySelected && !m.selNode[at(n)]) continue;
        const auto e = c.ModelToEye(m.nodePos[at(n)]);
        const double d = distance(e);
        if (winner < 0 || d < d0) {
            winner = n;
            d0 = d;
            bestDepth = -e[2];
        }
    }
    if (winner < 0) return {};
    // Of the nodes as near as the nearest to within half a pixel, the one nearest the viewer.
    const double t = 0.5 * (c.right - c.left) / c.W;
    for (std::int32_t n = 0; n < m.nodeCount; ++n) {
        if (onlySelected && !m.selNode[at(n)]) continue;
        const auto e = c.ModelToEye(m.nodePos[at(n)]);
        if (std::fabs(distance(e) - d0) < t && -e[2] < bestDepth) {
            winner = n;
            bestDepth = -e[2];
        }
    }
    return {{EntityKind::Node, winner}};
}

Picks FindShellsInRectangle(const ResultModel& m, const PickCamera& c, bool onlySelected, int x0,
                            int y0, int x1, int y1) {
    const EyeRect r = c.rectangle(x0, y0, x1, y1);
    const bool crossing = x1 < x0;
    Picks picks;
    forEachShell(m, onlySelected,
                 [&](EntityKind kind, std::int32_t e, const std::int32_t* nodes, int n) {
                     const Polygon2D poly = shellPolygon(m, c, nodes, n);
                     bool caught = true;
                     if (crossing) {
                         caught = shellCrosses(poly, r);
                     } else {
                         for (int k = 0; k < poly.count && caught; ++k)
                             caught = closedInside(r, poly.v[static_cast<std::size_t>(k)].x,
                                                   poly.v[static_cast<std::size_t>(k)].y);
                     }
                     if (caught) picks.push_back({kind, e});
                 });
    return picks;
}

Picks FindBeamsInRectangle(const ResultModel& m, const PickCamera& c, bool onlySelected, int x0,
                           int y0, int x1, int y1) {
    const EyeRect r = c.rectangle(x0, y0, x1, y1);
    const bool crossing = x1 < x0;
    Picks picks;
    for (std::int32_t b = 0; b < m.beamCount; ++b) {
        if (onlySelected && !m.selBeam[at(b)]) continue;
        const EyePoint a = eyeOf(c, m.beams[at(b)].start), e = eyeOf(c, m.beams[at(b)].end);
        const bool caught = crossing ? beamCrosses(a, e, r)
                                     : closedInside(r, a.x, a.y) && closedInside(r, e.x, e.y);
        if (caught) picks.push_back({EntityKind::Beam, b});
    }
    return picks;
}

Picks FindNodesInRectangle(const ResultModel& m, const PickCamera& c, bool onlySelected, int x0,
                           int y0, int x1, int y1) {
    const EyeRect r = c.rectangle(x0, y0, x1, y1);
    Picks picks;
    for (std::int32_t n = 0; n < m.nodeCount; ++n) {
        if (onlySelected && !m.selNode[at(n)]) continue;
        const EyePoint e = eyeOf(c, m.nodePos[at(n)]);
        if (closedInside(r, e.x, e.y)) picks.push_back({EntityKind::Node, n});
    }
    return picks;
}

void MarkPicks(ResultModel& m, const Picks& picks, int mark) {
    const auto flag = static_cast<std::uint8_t>(mark);
    for (const PickedEntity& p : picks) {
        switch (p.kind) {
            case EntityKind::Quad:
                m.pickQuad[at(p.index)] = flag;
                break;
            case EntityKind::Tri:
                m.pickTri[at(p.index)] = flag;
                break;
            case EntityKind::Beam:
                m.pickBeam[at(p.index)] = flag;
                break;
            case EntityKind::Node:
                m.pickNode[at(p.index)] = flag;
                break;
        }
    }
}

void PointPickShells(AppState& s, int x, int y, int mark) {
    MarkPicks(s.model,
              FindShellAtPoint(s.model, pickCamera(s), s.selection.shells.onlyOperate, x, y), mark);
}
void PointPickBeams(AppState& s, int x, int y, int mark) {
    MarkPicks(s.model, FindBeamAtPoint(s.model, pickCamera(s), s.selection.beams.onlyOperate, x, y),
              mark);
}
void PointPickNodes(AppState& s, int x, int y, int mark) {
    MarkPicks(s.model, FindNodeAtPoint(s.model, pickCamera(s), s.selection.nodes.onlyOperate, x, y),
              mark);
}
void RectPickShells(AppState& s, int x0, int y0, int x1, int y1, int mark) {
    MarkPicks(s.model,
              FindShellsInRectangle(s.model, pickCamera(s), s.selection.shells.onlyOperate, x0, y0,
                                    x1, y1),
              mark);
}
void RectPickBeams(AppState& s, int x0, int y0, int x1, int y1, int mark) {
    MarkPicks(
        s.model,
        FindBeamsInRectangle(s.model, pickCamera(s), s.selection.beams.onlyOperate, x0, y0, x1, y1),
        mark);
}
void RectPickNodes(AppState& s, int x0, int y0, int x1, int y1, int mark) {
    MarkPicks(
        s.model,
        FindNodesInRectangle(s.model, pickCamera(s), s.selection.nodes.onlyOperate, x0, y0, x1, y1),
        mark);
}

const PickKind& pickKind(SelectionKind kind) {
    using M = ResultModel;
    using Mode = InteractionMode;
    static constexpr PickKind kKinds[] = {
        {.selected = {&M::selQuad, &M::selTri},
         .picked = {&M::pickQuad, &M::pickTri},
         .settings = &SelectionSettings::shells,
         .pickMode = Mode::PickShells,
         .unpickMode = Mode::UnpickShells,
         .pointPick = PointPickShells,
         .rectanglePick = RectPickShells},
        {.selected = {&M::selBeam, nullptr},
         .picked = {&M::pickBeam, nullptr},
         .settings = &SelectionSettings::beams,
         .pickMode = Mode::PickBeams,
         .unpickMode = Mode::UnpickBeams,
         .pointPick = PointPickBeams,
         .rectanglePick = RectPickBeams},
        {.selected = {&M::selNode, nullptr},
         .picked = {&M::pickNode, nullptr},
         .settings = &SelectionSettings::nodes,
         .pickMode = Mode::PickNodes,
         .unpickMode = Mode::UnpickNodes,
         .pointPick = PointPickNodes,
         .rectanglePick = RectPickNodes},
    };
    return kKinds[static_cast<int>(kind)];
}

SelectionKind pickModeKind(InteractionMode mode) {
    for (SelectionKind kind : {SelectionKind::Shells, SelectionKind::Beams})
        if (mode == pickKind(kind).pickMode || mode == pickKind(kind).unpickMode) return kind;
    return SelectionKind::Nodes;
}

void ClearPicks(ResultModel& m, SelectionKind kind) {
    forEachArray(m, pickKind(kind).picked, [](std::vector<std::uint8_t>& flags) {
        std::fill(flags.begin(), flags.end(), 0);
    });
}

}  // namespace quillon

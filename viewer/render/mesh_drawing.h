#pragma once
// Shell and beam outlines and node markers (the OpenGL half of the mesh drawing).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewer/contour/contour_fill.h"
#include "viewer/contour/lit_vertices.h"
#include "viewer/model/result_model.h"
#include "viewer/view/window_projection.h"

namespace quillon {

constexpr std::int32_t kPickedColour = 0x000000FF;    // red
constexpr std::int32_t kSelectedColour = 0x00FFFFFF;  // white
constexpr std::int32_t kOtherColour = 0x005A5A5A;     // grey

// The outline colour of an entity under a display filter; false when it is not drawn.
bool outlineColour(DisplayFilter filter, bool picked, bool selected, std::int32_t& colour);

enum class OutlineKind { Quad, Triangle, Beam };
// The outlines in drawing order: picked four-node shells, picked three-node shells, the other
// four-node and three-node shells, picked beams, the other beams — each sweep in index order.
// At equal depth the first fragment stays, so an edge that a picked element shares with another
// shows in the picked colour. Cut into units, one per element and sweep (2 × (four-node shells
// + three-node shells + beams)), so that a range of units can be visited on its own.
std::size_t outlineUnitCount(const ResultModel& m);
// visit(sweep 0…5, kind, index) for the outlines of units begin … end − 1.
template <class Visit>
void forEachOutlineIn(const ResultModel& m, std::size_t begin, std::size_t end, Visit visit) {
    const std::size_t Q = static_cast<std::size_t>(m.quadCount);
    const std::size_t T = static_cast<std::size_t>(m.triCount);
    const std::size_t B = static_cast<std::size_t>(m.beamCount);
    const std::size_t sweepStart[7] = {
        0, Q, Q + T, 2 * Q + T, 2 * (Q + T), 2 * (Q + T) + B, 2 * (Q + T + B)};
    if (end > sweepStart[6]) end = sweepStart[6];
    for (int sweep = 0; sweep < 6; ++sweep) {
        const std::size_t from = std::max(begin, sweepStart[sweep]);
        const std::size_t to = std::min(end, sweepStart[sweep + 1]);
        const bool picked = sweep == 0 || sweep == 1 || sweep == 4;
        const OutlineKind kind = sweep >= 4       ? OutlineKind::Beam
                                 : sweep % 2 == 0 ? OutlineKind::Quad
                                                  : OutlineKind::Triangle;
        const std::vector<std::uint8_t>& flags = kind == OutlineKind::Quad       ? m.pickQuad
                                                 : kind == OutlineKind::Triangle ? m.pickTri
                                                                                 : m.pickBeam;
        for (std::size_t u = from; u < to; ++u) {
            const std::size_t i = u - sweepStart[sweep];
            if ((flags[i] != 0) == picked) visit(sweep, kind, static_cast<std::int32_t>(i));
        }
    }
}
template <class Visit>
void forEachOutline(const ResultModel& m, Visit visit) {
    forEachOutlineIn(m, 0, outlineUnitCount(m), visit);
}

void DrawQuadOutline(const ResultModel& model, std::int32_t index);
void DrawTriangleOutline(const ResultModel& model, std::int32_t index);
void DrawBeamSurface(const ResultModel& model, std::int32_t index);
// One node marker: a wire sphere of one colour and line width.
struct NodeMarker {
    Point3D centre;
    double radius;
    float rgb[3];
    int lineWidth;
};
// visit(marker) for the node markers in drawing order: picked nodes red, thick and twice the
// size, selected ones white and twice the size, the others grey unless only the selection shows.
template <class Visit>
void forEachNodeMarker(const ResultModel& m, Visit visit) {
    if (m.nodeMode == DisplayFilter::None) return;
    const Box6& b = m.nodeBox;
    const double r0 = std::sqrt((b[1] - b[0]) * (b[1] - b[0]) + (b[3] - b[2]) * (b[3] - b[2]) +
                                (b[5] - b[4]) * (b[5] - b[4])) /
                      600;
    for (std::size_t k = 0; k < static_cast<std::size_t>(m.nodeCount); ++k) {
        const Point3D& p = m.nodePos[k];
        if (m.pickNode[k])
            visit(NodeMarker{p, 2 * r0, {1, 0, 0}, 3});
        else if (m.selNode[k])
            visit(NodeMarker{p, 2 * r0, {1, 1, 1}, 1});
        else if (m.nodeMode != DisplayFilter::Selected)
            visit(NodeMarker{p, r0, {0.5f, 0.5f, 0.5f}, 1});
    }
}
// All node markers; called with lighting off.
void DrawNodeMarkers(const ResultModel& model);

// The outline of one entity as lit line segments, appended to `out`: exactly the lines OpenGL
// draws for its polygons in line mode, in the same order — a four-point face is cut into the
// triangles 0 1 3 and 1 2 3, whose edges give 0→1, 3→0, 1→2, 2→3; a three-point face gives
// 0→1, 1→2, 2→0. Each segment carries the normal of the side of its triangle that faces the
// viewer, so that lit as a line it takes the colour two-sided lighting gives that edge, and lies
// where glPolygonOffset(-1, -1) puts that edge, short of the offset's one step of depth: the
// fill drawn with these outlines must be pushed back by glPolygonOffset(0, 1) instead. A face
// whose lines can touch no pixel of the window is left out.
void appendOutline(const ResultModel& model, OutlineKind kind, std::int32_t index,
                   const WindowProjection& window, LitLines& out);
// Draws lit segments as outlines: lit like the polygons they outline.
void DrawLitSegments(const LitDrawing& drawing, const LitLines& segments);

// Five latitude rings of twelve segments around (x, y, z).
constexpr int kWireSphereRings = 5, kWireSphereSegments = 12;
void DrawWireSphere(double x, double y, double z, double radius);
// Ring k (1 … kWireSphereRings, from the bottom) of a wire sphere of radius r about the origin:
// its points across (x, y), a closed loop; returns the ring's height (z).
double wireSphereRing(double r, int k, double ring[kWireSphereSegments][2]);

}  // namespace quillon

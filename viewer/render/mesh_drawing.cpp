#include "viewer/render/mesh_drawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "viewer/contour/material.h"

namespace quillon {
namespace {

// One lit face of an outline: its corners and its normal.
struct Face {
    const Point3D* points[4];
    int count;
    double normal[3];
};

Face faceOf(const std::vector<Point3D>& positions, const std::int32_t* nodes, int n) {
    Face f;
    f.count = n;
    for (int k = 0; k < n; ++k) f.points[k] = &positions[static_cast<std::size_t>(nodes[k])];
    faceNormal(*f.points[0], *f.points[1], *f.points[2], f.normal);
    return f;
}

// Calls emit(colour, face) for the outline of a shell when its filter shows it.
template <class Emit>
void shellOutline(const ResultModel& m, const std::int32_t* nodes, int n, bool picked,
                  bool selected, Emit emit) {
    std::int32_t colour;
    if (outlineColour(m.shellOutlineMode, picked, selected, colour))
        emit(colour, faceOf(m.nodePos, nodes, n));
}

// Calls emit(colour, face) for every cell of a beam's surface when its filter shows it.
template <class Emit>
void beamOutline(const ResultModel& m, std::size_t i, Emit emit) {
    std::int32_t colour;
    if (!outlineColour(m.beamMeshLineMode, m.pickBeam[i] != 0, m.selBeam[i] != 0, colour)) return;
    const BeamElement& b = m.beams[i];
    for (std::size_t c = 0; c < static_cast<std::size_t>(b.cellCount); ++c)
        emit(colour, faceOf(b.meshPos, &b.cellNodes[c * 4], 4));
}

void drawFace(std::int32_t colour, const Face& f) {
    SetMaterialColour(colour);
    glLineWidth(1.0f);
    glBegin(f.count == 4 ? GL_QUADS : GL_TRIANGLES);
    glNormal3dv(f.normal);
    for (int k = 0; k < f.count; ++k) glVertex3d(f.points[k]->x, f.points[k]->y, f.points[k]->z);
    glEnd();
}

void outlineMode() {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
}

}  // namespace

bool outlineColour(DisplayFilter filter, bool picked, bool selected, std::int32_t& colour) {
    if (filter == DisplayFilter::None) return false;
    if (filter == DisplayFilter::Selected && !picked && !selected) return false;
    colour = picked ? kPickedColour : selected ? kSelectedColour : kOtherColour;
    return true;
}

void DrawQuadOutline(const ResultModel& m, std::int32_t e) {
    std::size_t i = static_cast<std::size_t>(e);
    outlineMode();
    shellOutline(m, &m.quadNodes[i * 4], 4, m.pickQuad[i] != 0, m.selQuad[i] != 0, drawFace);
}

void DrawTriangleOutline(const ResultModel& m, std::int32_t e) {
    std::size_t i = static_cast<std::size_t>(e);
    outlineMode();
    shellOutline(m, &m.triNodes[i * 3], 3, m.pickTri[i] != 0, m.selTri[i] != 0, drawFace);
}

void DrawBeamSurface(const ResultModel& m, std::int32_t index) {
    bool first = true;
    beamOutline(m, static_cast<std::size_t>(index), [&](std::int32_t colour, const Face& f) {
        if (first) outlineMode();
        first = false;
        drawFace(colour, f);
    });
}

std::size_t outlineUnitCount(const ResultModel& m) {
    return 2 * (static_cast<std::size_t>(m.quadCount) + static_cast<std::size_t>(m.triCount) +
                static_cast<std::size_t>(m.beamCount));
}

namespace {
// The edges of a face in line mode, as (from, to) corner pairs, and the triangle each belongs
// to (0: corners 0 1 2 of a three-point face or 0 1 3 of a four-point one; 1: corners 1 2 3).
constexpr int kQuadEdges[4][3] = {{0, 1, 0}, {3, 0, 0}, {1, 2, 1}, {2, 3, 1}};
constexpr int kTriangleEdges[3][3] = {{0, 1, 0}, {1, 2, 0}, {2, 0, 0}};

// The part of the offset that glPolygonOffset(-1, -1) gives the triangle p0 p1 p2 of a polygon
// drawn in line mode that depends on the triangle: the larger of its depth slopes across the
// window, towards the viewer. (The other part, one resolvable step of depth, is the fill's:
// it is pushed back by as much.) Worked out as OpenGL works it out, in single precision from
// window coordinates rounded to it: for faces seen almost edge-on or face-on the rounding
// decides the slopes. A face seen exactly edge-on has no finite slope.
float lineOffset(const WindowDepthPoint& p0, const WindowDepthPoint& p1,
                 const WindowDepthPoint& p2) {
    auto f = [](double v) { return static_cast<float>(v); };
    const float ex = f(p0.x) - f(p2.x), ey = f(p0.y) - f(p2.y), ez = f(p0.z) - f(p2.z);
    const float fx = f(p1.x) - f(p2.x), fy = f(p1.y) - f(p2.y), fz = f(p1.z) - f(p2.z);
    const float invDet = 1.0f / (ex * fy - ey * fx);
    const float dzdx = std::fabs((ey * fz - ez * fy) * invDet);
    const float dzdy = std::fabs((ez * fx - ex * fz) * invDet);
    const float steeper = dzdx > dzdy ? dzdx : dzdy;
    return -steeper;
}

void appendFaceOutline(std::int32_t colour, const Face& f, const WindowProjection& window,
                       LitLines& out) {
    const Point3D* const* P = f.points;
    WindowDepthPoint w[4] = {};
    for (int k = 0; k < f.count; ++k) w[k] = window.toWindow(*P[k]);
    // Lines that touch no pixel the frame draws change nothing.
    if (!window.mayTouchWithLines(w, f.count)) return;
    const LitNormal front = litNormal(f.normal);
    const double flipped[3] = {-f.normal[0], -f.normal[1], -f.normal[2]};
    const LitNormal back = litNormal(flipped);
    // The triangles OpenGL cuts the face into, each with its side and its offset, and its
    // corners as they are drawn: every corner of each triangle once.
    const int triangles[2][3] = {{0, 1, f.count == 4 ? 3 : 2}, {1, 2, 3}};
    std::uint32_t corner[2][4] = {};
    for (int t = 0; t < (f.count == 4 ? 2 : 1); ++t) {
        const WindowDepthPoint &a = w[triangles[t][0]], &b = w[triangles[t][1]],
                               &c = w[triangles[t][2]];
        const bool facesViewer = WindowProjection::frontFacing(a, b, c);
        const float offset = lineOffset(a, b, c);
        for (int k : triangles[t]) {
            const Point3D& p = *P[k];
            const double depth = w[k].z;
            // OpenGL moves each vertex by the offset and keeps it within the depth range; a
            // slope that is no number leaves it where it is.
            const float z = static_cast<float>(depth);
            float moved = z + offset;
            if (std::isnan(moved)) moved = z;
            moved = std::clamp(moved, 0.0f, 1.0f);
            // Not to the very front: rounding must not take it past the near plane.
            const Point3D s = window.depthStep(std::max(static_cast<double>(moved), 1e-6) - depth);
            Point3D end;
            end.x = p.x + s.x;
            end.y = p.y + s.y;
            end.z = p.z + s.z;
            corner[t][k] = static_cast<std::uint32_t>(out.vertices.size());
            out.vertices.push_back(litVertex(colour, facesViewer ? front : back, end));
        }
    }
    const int edges = f.count == 4 ? 4 : 3;
    for (int e = 0; e < edges; ++e) {
        const int* edge = f.count == 4 ? kQuadEdges[e] : kTriangleEdges[e];
        out.indices.push_back(corner[edge[2]][edge[0]]);
        out.indices.push_back(corner[edge[2]][edge[1]]);
    }
}
}  // namespace

void appendOutline(const ResultModel& m, OutlineKind kind, std::int32_t index,
                   const WindowProjection& window, LitLines& out) {
    auto add = [&](std::int32_t colour, const Face& f) {
        appendFaceOutline(colour, f, window, out);
    };
    const std::size_t i = static_cast<std::size_t>(index);
    if (kind == OutlineKind::Quad)
        shellOutline(m, &m.quadNodes[i * 4], 4, m.pickQuad[i] != 0, m.selQuad[i] != 0, add);
    else if (kind == OutlineKind::Triangle)
        shellOutline(m, &m.triNodes[i * 3], 3, m.pickTri[i] != 0, m.selTri[i] != 0, add);
    else
        beamOutline(m, i, add);
}

void DrawLitSegments(const LitDrawing& drawing, const LitLines& segments) {
    glLineWidth(1.0f);
    // Lines take the front colour; the back one would be lighting computed for nothing.
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    drawing.draw(segments);
}

void DrawNodeMarkers(const ResultModel& m) {
    forEachNodeMarker(m, [](const NodeMarker& marker) {
        glColor3f(marker.rgb[0], marker.rgb[1], marker.rgb[2]);
        glLineWidth(static_cast<GLfloat>(marker.lineWidth));
        DrawWireSphere(marker.centre.x, marker.centre.y, marker.centre.z, marker.radius);
    });
}

double wireSphereRing(double r, int k, double ring[kWireSphereSegments][2]) {
    const double pi = std::acos(-1.0);
    const double phi = (k / 6.0) * pi - pi / 2;
    const double rho = std::cos(phi) * r;
    for (int j = 0; j < kWireSphereSegments; ++j) {
        const double theta = j * 2 * pi / kWireSphereSegments;
        ring[j][0] = std::cos(theta) * rho;
        ring[j][1] = std::sin(theta) * rho;
    }
    return std::sin(phi) * r;
}

void DrawWireSphere(double x, double y, double z, double r) {
    for (int k = 1; k <= kWireSphereRings; ++k) {
        double ring[kWireSphereSegments][2];
        const double height = wireSphereRing(r, k, ring);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z + height));
        glBegin(GL_LINE_LOOP);
        for (const double* p : ring) glVertex2f(static_cast<float>(p[0]), static_cast<float>(p[1]));
        glEnd();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
}

}  // namespace quillon

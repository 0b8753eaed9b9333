#include "viewer/render/mesh_drawing.h"

#include <GL/gl.h>

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

void OutlineCache::draw(const ResultModel& m) {
    if (version_ != m.positionsVersion || shellMode_ != m.shellOutlineMode ||
        beamMode_ != m.beamMeshLineMode || !flags_.matches(m)) {
        for (LitBatch& b : sweeps_) b.clear();
        forEachOutline(m, [&](int sweep, OutlineKind kind, std::int32_t index) {
            LitBatch& batch = sweeps_[static_cast<std::size_t>(sweep)];
            auto add = [&](std::int32_t colour, const Face& f) {
                batch.add(colour, f.normal, f.points, f.count);
            };
            std::size_t i = static_cast<std::size_t>(index);
            if (kind == OutlineKind::Quad)
                shellOutline(m, &m.quadNodes[i * 4], 4, m.pickQuad[i] != 0, m.selQuad[i] != 0, add);
            else if (kind == OutlineKind::Triangle)
                shellOutline(m, &m.triNodes[i * 3], 3, m.pickTri[i] != 0, m.selTri[i] != 0, add);
            else
                beamOutline(m, i, add);
        });
        ++rebuilds_;
        version_ = m.positionsVersion;
        shellMode_ = m.shellOutlineMode;
        beamMode_ = m.beamMeshLineMode;
        flags_.take(m);
    }
    outlineMode();
    glLineWidth(1.0f);
    static const unsigned kPrimitive[6] = {GL_QUADS,     GL_TRIANGLES, GL_QUADS,
                                           GL_TRIANGLES, GL_QUADS,     GL_QUADS};
    for (std::size_t k = 0; k < sweeps_.size(); ++k) sweeps_[k].draw(kPrimitive[k]);
}

void DrawNodeMarkers(const ResultModel& m) {
    if (m.nodeMode == DisplayFilter::None) return;
    const Box6& b = m.nodeBox;
    double r0 = std::sqrt((b[1] - b[0]) * (b[1] - b[0]) + (b[3] - b[2]) * (b[3] - b[2]) +
                          (b[5] - b[4]) * (b[5] - b[4])) /
                600;
    for (std::int32_t i = 0; i < m.nodeCount; ++i) {
        std::size_t k = static_cast<std::size_t>(i);
        double radius;
        if (m.pickNode[k]) {
            glColor3f(1, 0, 0);
            glLineWidth(3);
            radius = 2 * r0;
        } else if (m.selNode[k]) {
            glColor3f(1, 1, 1);
            glLineWidth(1);
            radius = 2 * r0;
        } else {
            if (m.nodeMode == DisplayFilter::Selected) continue;
            glColor3f(0.5f, 0.5f, 0.5f);
            glLineWidth(1);
            radius = r0;
        }
        const Point3D& p = m.nodePos[k];
        DrawWireSphere(p.x, p.y, p.z, radius);
    }
}

void DrawWireSphere(double x, double y, double z, double r) {
    const double pi = std::acos(-1.0);
    for (int k = 1; k <= 5; ++k) {
        double phi = (k / 6.0) * pi - pi / 2;
        double rho = std::cos(phi) * r;
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslatef(static_cast<float>(x), static_cast<float>(y),
                     static_cast<float>(z + std::sin(phi) * r));
        glBegin(GL_LINE_LOOP);
        for (int j = 0; j < 12; ++j) {
            double theta = j * 2 * pi / 12;
            glVertex2f(static_cast<float>(std::cos(theta) * rho),
                       static_cast<float>(std::sin(theta) * rho));
        }
        glEnd();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
}

}  // namespace quillon

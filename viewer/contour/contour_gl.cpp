#include "viewer/contour/contour_gl.h"

#include <GL/gl.h>

#include "viewer/contour/material.h"

namespace quillon {

void DrawPolygonPiece(std::int32_t colour, const Polygon3D& poly) {
    if (poly.count < 3) return;
    double n[3];
    faceNormal(poly.points[0], poly.points[1], poly.points[2], n);
    SetMaterialColour(colour);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glBegin(GL_POLYGON);
    glNormal3dv(n);
    for (int i = 0; i < poly.count; ++i) {
        const Point3D& p = poly.points[static_cast<std::size_t>(i)];
        glVertex3d(p.x, p.y, p.z);
    }
    glEnd();
}

void PieceBatch::piece(std::int32_t colour, const Polygon3D& poly) {
    if (poly.count < 3) return;
    double n[3];
    faceNormal(poly.points[0], poly.points[1], poly.points[2], n);
    // A polygon is a fan from its first vertex, as OpenGL cuts it.
    for (int t = 1; t + 1 < poly.count; ++t) {
        const Point3D* triangle[3] = {&poly.points[0], &poly.points[static_cast<std::size_t>(t)],
                                      &poly.points[static_cast<std::size_t>(t) + 1]};
        triangles_.add(colour, n, triangle, 3);
    }
}

void PieceBatch::draw() const {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    triangles_.draw(GL_TRIANGLES);
}

const std::vector<double>& ContourCache::levels(const ResultModel& m, StressComponent component) {
    if (levelsVersion_ != m.positionsVersion || levelsComponent_ != component ||
        levelsSelQuad_ != m.selQuad || levelsSelTri_ != m.selTri || levelsSelBeam_ != m.selBeam) {
        levels_ = contourLevels(m, component);
        levelsVersion_ = m.positionsVersion;
        levelsComponent_ = component;
        levelsSelQuad_ = m.selQuad;
        levelsSelTri_ = m.selTri;
        levelsSelBeam_ = m.selBeam;
    }
    return levels_;
}

bool ContourCache::facingChanged(const ResultModel& m, const Matrix4& M, bool force) {
    if (!force && viewRow_[0] == M[2] && viewRow_[1] == M[6] && viewRow_[2] == M[10]) return false;
    viewRow_[0] = M[2];
    viewRow_[1] = M[6];
    viewRow_[2] = M[10];
    std::vector<std::uint8_t> facing;
    facing.reserve(static_cast<std::size_t>(m.quadCount + m.triCount));
    auto addShells = [&](const std::vector<std::int32_t>& nodes, std::int32_t count,
                         std::size_t n) {
        for (std::size_t e = 0; e < static_cast<std::size_t>(count); ++e) {
            const std::int32_t* idx = &nodes[e * n];
            facing.push_back(static_cast<std::uint8_t>(
                facingLayer(m.nodePos[static_cast<std::size_t>(idx[0])],
                            m.nodePos[static_cast<std::size_t>(idx[1])],
                            m.nodePos[static_cast<std::size_t>(idx[2])], M)));
        }
    };
    addShells(m.quadNodes, m.quadCount, 4);
    addShells(m.triNodes, m.triCount, 3);
    for (const BeamElement& b : m.beams)
        for (std::size_t c = 0; c < static_cast<std::size_t>(b.cellCount); ++c) {
            const std::int32_t* idx = &b.cellNodes[c * 4];
            facing.push_back(static_cast<std::uint8_t>(
                facingLayer(b.meshPos[static_cast<std::size_t>(idx[0])],
                            b.meshPos[static_cast<std::size_t>(idx[1])],
                            b.meshPos[static_cast<std::size_t>(idx[2])], M)));
        }
    if (!force && facing == facing_) return false;
    facing_ = std::move(facing);
    return true;
}

void ContourCache::draw(const ResultModel& m, const ContourSettings& s, const Matrix4& M) {
    const std::vector<double>& L = levels(m, s.currentComponent);
    bool stale = version_ != m.positionsVersion;
    bool facing = facingChanged(m, M, stale);  // other positions: the facing is worked out afresh
    if (stale || facing || settings_.currentComponent != s.currentComponent ||
        settings_.SL != s.SL || settings_.SR != s.SR || pieceLevels_ != L || !flags_.matches(m)) {
        batch_.clear();
        ContourPass(m, s, L, M, batch_);
        ++rebuilds_;
        version_ = m.positionsVersion;
        settings_ = s;
        pieceLevels_ = L;
        flags_.take(m);
    }
    batch_.draw();
}

}  // namespace quillon

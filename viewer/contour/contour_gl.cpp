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

void PieceBatch::clear() {
    positions_.clear();
    normals_.clear();
    colours_.clear();
}

std::size_t PieceBatch::bytes() const {
    return positions_.capacity() * sizeof(float) + normals_.capacity() * sizeof(float) + colours_.capacity();
}

void PieceBatch::piece(std::int32_t colour, const Polygon3D& poly) {
    if (poly.count < 3) return;
    double n[3];
    faceNormal(poly.points[0], poly.points[1], poly.points[2], n);
    const std::uint8_t rgba[4] = {static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                                  static_cast<std::uint8_t>((colour >> 16) & 0xFF), 255};
    // A polygon is a fan from its first vertex, as OpenGL cuts it.
    for (int t = 1; t + 1 < poly.count; ++t)
        for (int v : {0, t, t + 1}) {
            const Point3D& p = poly.points[static_cast<std::size_t>(v)];
            positions_.insert(positions_.end(), {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
            normals_.insert(normals_.end(), {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])});
            colours_.insert(colours_.end(), rgba, rgba + 4);
        }
}

void PieceBatch::draw() const {
    if (positions_.empty()) return;
    // Ambient 0.2 × colour under a light ambient of 0.2 and a scene ambient of 0.2 is colour
    // × 0.04 × 2; diffuse 0.8 × colour under a light of 1 is colour × 0.8. With the colour as
    // ambient and diffuse material, the light supplies the factors instead.
    GLfloat lightAmbient[4], lightDiffuse[4], sceneAmbient[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient);
    const GLfloat a[4] = {lightAmbient[0] * 0.2f, lightAmbient[1] * 0.2f, lightAmbient[2] * 0.2f, lightAmbient[3]};
    const GLfloat d[4] = {lightDiffuse[0] * 0.8f, lightDiffuse[1] * 0.8f, lightDiffuse[2] * 0.8f, lightDiffuse[3]};
    const GLfloat s[4] = {sceneAmbient[0] * 0.2f, sceneAmbient[1] * 0.2f, sceneAmbient[2] * 0.2f, sceneAmbient[3]};
    glLightfv(GL_LIGHT0, GL_AMBIENT, a);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, d);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, s);
    SetMaterialColour(0);  // specular, emission and shininess of every piece
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions_.data());
    glNormalPointer(GL_FLOAT, 0, normals_.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, colours_.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(positions_.size() / 3));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    glDisable(GL_COLOR_MATERIAL);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient);
}

const std::vector<double>& ContourCache::levels(const ResultModel& m, StressComponent component) {
    if (levelsVersion_ != m.positionsVersion || levelsComponent_ != component || levelsSelQuad_ != m.selQuad ||
        levelsSelTri_ != m.selTri || levelsSelBeam_ != m.selBeam) {
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
    auto addShells = [&](const std::vector<std::int32_t>& nodes, std::int32_t count, std::size_t n) {
        for (std::size_t e = 0; e < static_cast<std::size_t>(count); ++e) {
            const std::int32_t* idx = &nodes[e * n];
            facing.push_back(static_cast<std::uint8_t>(
                facingLayer(m.nodePos[static_cast<std::size_t>(idx[0])], m.nodePos[static_cast<std::size_t>(idx[1])],
                            m.nodePos[static_cast<std::size_t>(idx[2])], M)));
        }
    };
    addShells(m.quadNodes, m.quadCount, 4);
    addShells(m.triNodes, m.triCount, 3);
    for (const BeamElement& b : m.beams)
        for (std::size_t c = 0; c < static_cast<std::size_t>(b.cellCount); ++c) {
            const std::int32_t* idx = &b.cellNodes[c * 4];
            facing.push_back(static_cast<std::uint8_t>(
                facingLayer(b.meshPos[static_cast<std::size_t>(idx[0])], b.meshPos[static_cast<std::size_t>(idx[1])],
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
    if (stale || facing || settings_.currentComponent != s.currentComponent || settings_.SL != s.SL ||
        settings_.SR != s.SR || pieceLevels_ != L || selQuad_ != m.selQuad || selTri_ != m.selTri ||
        selBeam_ != m.selBeam || pickQuad_ != m.pickQuad || pickTri_ != m.pickTri || pickBeam_ != m.pickBeam) {
        batch_.clear();
        ContourPass(m, s, L, M, batch_);
        ++rebuilds_;
        version_ = m.positionsVersion;
        settings_ = s;
        pieceLevels_ = L;
        selQuad_ = m.selQuad;
        selTri_ = m.selTri;
        selBeam_ = m.selBeam;
        pickQuad_ = m.pickQuad;
        pickTri_ = m.pickTri;
        pickBeam_ = m.pickBeam;
    }
    batch_.draw();
}

}  // namespace quillon

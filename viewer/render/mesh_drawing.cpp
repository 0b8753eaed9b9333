#include "viewer/render/mesh_drawing.h"

#include <GL/gl.h>

#include <cmath>

#include "viewer/contour/material.h"

namespace quillon {
namespace {

void drawShellOutline(const ResultModel& m, const std::int32_t* nodes, int n, bool picked, bool selected) {
    const Point3D& p0 = m.nodePos[static_cast<std::size_t>(nodes[0])];
    const Point3D& p1 = m.nodePos[static_cast<std::size_t>(nodes[1])];
    const Point3D& p2 = m.nodePos[static_cast<std::size_t>(nodes[2])];
    double normal[3];
    faceNormal(p0, p1, p2, normal);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    std::int32_t colour;
    if (!outlineColour(m.shellOutlineMode, picked, selected, colour)) return;
    SetMaterialColour(colour);
    glLineWidth(1.0f);
    glBegin(n == 4 ? GL_QUADS : GL_TRIANGLES);
    glNormal3dv(normal);
    for (int k = 0; k < n; ++k) {
        const Point3D& p = m.nodePos[static_cast<std::size_t>(nodes[k])];
        glVertex3d(p.x, p.y, p.z);
    }
    glEnd();
}

}  // namespace

bool outlineColour(std::int32_t filter, bool picked, bool selected, std::int32_t& colour) {
    if (filter == None) return false;
    if (filter == Selected && !picked && !selected) return false;
    colour = picked ? kPickedColour : selected ? kSelectedColour : kOtherColour;
    return true;
}

void DrawQuadOutline(const ResultModel& m, std::int32_t e) {
    std::size_t i = static_cast<std::size_t>(e);
    drawShellOutline(m, &m.quadNodes[i * 4], 4, m.pickQuad[i] != 0, m.selQuad[i] != 0);
}

void DrawTriangleOutline(const ResultModel& m, std::int32_t e) {
    std::size_t i = static_cast<std::size_t>(e);
    drawShellOutline(m, &m.triNodes[i * 3], 3, m.pickTri[i] != 0, m.selTri[i] != 0);
}

void DrawBeamSurface(const ResultModel& m, std::int32_t index) {
    std::size_t i = static_cast<std::size_t>(index);
    std::int32_t colour;
    if (!outlineColour(m.beamMeshLineMode, m.pickBeam[i] != 0, m.selBeam[i] != 0, colour)) return;
    SetMaterialColour(colour);
    glLineWidth(1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    const BeamElement& b = m.beams[i];
    for (std::int32_t c = 0; c < b.cellCount; ++c) {
        const std::int32_t* idx = &b.cellNodes[static_cast<std::size_t>(c) * 4];
        const Point3D* p[4];
        for (int k = 0; k < 4; ++k) p[k] = &b.meshPos[static_cast<std::size_t>(idx[k])];
        double normal[3];
        faceNormal(*p[0], *p[1], *p[2], normal);
        glBegin(GL_QUADS);
        glNormal3dv(normal);
        for (int k = 0; k < 4; ++k) glVertex3d(p[k]->x, p[k]->y, p[k]->z);
        glEnd();
    }
}

void DrawNodeMarkers(const ResultModel& m) {
    if (m.nodeMode == None) return;
    const Box6& b = m.nodeBox;
    double r0 = std::sqrt((b[1] - b[0]) * (b[1] - b[0]) + (b[3] - b[2]) * (b[3] - b[2]) + (b[5] - b[4]) * (b[5] - b[4])) / 600;
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
            if (m.nodeMode == Selected) continue;
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
        glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z + std::sin(phi) * r));
        glBegin(GL_LINE_LOOP);
        for (int j = 0; j < 12; ++j) {
            double theta = j * 2 * pi / 12;
            glVertex2f(static_cast<float>(std::cos(theta) * rho), static_cast<float>(std::sin(theta) * rho));
        }
        glEnd();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
}

}  // namespace quillon

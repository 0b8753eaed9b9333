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

void LitTriangleSink::piece(std::int32_t colour, const Polygon3D& poly) {
    if (poly.count < 3) return;
    double n[3];
    faceNormal(poly.points[0], poly.points[1], poly.points[2], n);
    const LitNormal normal = litNormal(n);
    for (int t = 1; t + 1 < poly.count; ++t) {
        const Point3D* triangle[3] = {&poly.points[0], &poly.points[static_cast<std::size_t>(t)],
                                      &poly.points[static_cast<std::size_t>(t) + 1]};
        if (window_ && !window_->mayCoverPixelCentre(*triangle[0], *triangle[1], *triangle[2])) {
            ++leftOut_;
            continue;
        }
        appendLit(out_, colour, normal, triangle, 3);
    }
}

void DrawLitTriangles(const LitDrawing& drawing, const LitVertex* vertices, std::size_t count) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    drawing.draw(GL_TRIANGLES, vertices, count);
}

const std::vector<double>& LevelsCache::levels(const ResultModel& m, StressComponent component) {
    if (version_ != m.positionsVersion || component_ != component || selQuad_ != m.selQuad ||
        selTri_ != m.selTri || selBeam_ != m.selBeam) {
        levels_ = contourLevels(m, component);
        version_ = m.positionsVersion;
        component_ = component;
        selQuad_ = m.selQuad;
        selTri_ = m.selTri;
        selBeam_ = m.selBeam;
    }
    return levels_;
}

}  // namespace quillon

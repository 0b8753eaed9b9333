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
    // The normal is worked out once the first triangle of the polygon is known to show.
    bool haveNormal = false;
    LitNormal front{}, back{};
    for (int t = 1; t + 1 < poly.count; ++t) {
        const Point3D* triangle[3] = {&poly.points[0], &poly.points[static_cast<std::size_t>(t)],
                                      &poly.points[static_cast<std::size_t>(t) + 1]};
        // Where the corners land serves both the test for pixel centres and the side.
        const WindowDepthPoint a = window_.toWindow(*triangle[0]),
                               b = window_.toWindow(*triangle[1]),
                               c = window_.toWindow(*triangle[2]);
        if (leaveOut_ && !window_.mayCoverPixelCentre(a, b, c)) {
            ++leftOut_;
            continue;
        }
        if (!haveNormal) {
            double n[3];
            faceNormal(poly.points[0], poly.points[1], poly.points[2], n);
            front = litNormal(n);
            const double flipped[3] = {-n[0], -n[1], -n[2]};
            back = litNormal(flipped);
            haveNormal = true;
        }
        appendLit(out_, colour, WindowProjection::frontFacing(a, b, c) ? front : back, triangle, 3);
    }
}

void DrawLitTriangles(const LitDrawing& drawing, const LitVertex* vertices, std::size_t count) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // The normals face the viewer already: lighting the back as well would be work for nothing.
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    // Pushed back by the one step of depth that the outline segments drawn with them leave out
    // of their pull towards the viewer.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.0f, 1.0f);
    drawing.draw(GL_TRIANGLES, vertices, count);
    glDisable(GL_POLYGON_OFFSET_FILL);
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

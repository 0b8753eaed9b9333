#pragma once
// Drawing the contour pieces with OpenGL.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewer/contour/contour_fill.h"
#include "viewer/contour/lit_vertices.h"
#include "viewer/view/window_projection.h"

namespace quillon {

// One filled, lit, two-sided polygon in its own begin/end block.
void DrawPolygonPiece(std::int32_t colour, const Polygon3D& polygon);

// Draws every piece at once, as it comes.
class ImmediatePieceSink : public PieceSink {
  public:
    void piece(std::int32_t colour, const Polygon3D& polygon) override {
        DrawPolygonPiece(colour, polygon);
    }
};

// Keeps pieces as lit triangles for the window, in the order they came: a polygon becomes a fan
// from its first vertex, as OpenGL cuts it. Each triangle's normal is turned to the side the
// viewer sees, so that lighting its front gives what two-sided lighting gives it. With
// `leaveOut`, triangles that cover no pixel centre of the window are left out: drawing them
// would change no pixel.
class LitTriangleSink : public PieceSink {
  public:
    LitTriangleSink(LitVertices& out, const WindowProjection& window, bool leaveOut = true)
        : out_(out), window_(window), leaveOut_(leaveOut) {}
    void piece(std::int32_t colour, const Polygon3D& polygon) override;
    bool mayShow(const Point3D& a, const Point3D& b, const Point3D& c) const override {
        if (!leaveOut_ || window_.mayCoverPixelCentre(a, b, c)) return true;
        ++leftOut_;
        return false;
    }
    bool mayShowFace(const Point3D* const* corners, int count) const override {
        if (!leaveOut_ || window_.mayCoverPixelCentre(corners, count)) return true;
        ++leftOut_;
        return false;
    }
    // What was left out: triangles of pieces, whole triangles of elements never cut, and whole
    // elements passed over.
    std::size_t leftOut() const { return leftOut_; }

  private:
    LitVertices& out_;
    const WindowProjection& window_;
    bool leaveOut_;
    mutable std::size_t leftOut_ = 0;
};

// Draws the triangles of a LitTriangleSink as the pieces of the contour pass: filled, lit on the
// side their normals give, and pushed back by one step of depth (glPolygonOffset(0, 1)) for the
// outline segments of appendOutline to lie on.
void DrawLitTriangles(const LitDrawing& drawing, const LitVertex* vertices, std::size_t count);

// The levels of the current component over the selection, kept while they cannot change.
class LevelsCache {
  public:
    const std::vector<double>& levels(const ResultModel& model, StressComponent component);

  private:
    std::uint64_t version_ = 0;
    StressComponent component_ = -1;
    std::vector<std::uint8_t> selQuad_, selTri_, selBeam_;
    std::vector<double> levels_;
};

}  // namespace quillon

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

// Keeps pieces as lit triangles, in the order they came: a polygon becomes a fan from its first
// vertex, as OpenGL cuts it. Given a window, it leaves out the triangles that cover no pixel
// centre of it, which would change no pixel.
class LitTriangleSink : public PieceSink {
  public:
    explicit LitTriangleSink(LitVertices& out, const WindowProjection* window = nullptr)
        : out_(out), window_(window) {}
    void piece(std::int32_t colour, const Polygon3D& polygon) override;
    std::size_t leftOut() const { return leftOut_; }

  private:
    LitVertices& out_;
    const WindowProjection* window_;
    std::size_t leftOut_ = 0;
};

// Draws lit triangles as the pieces of the contour pass: filled, both sides lit.
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

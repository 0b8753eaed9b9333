#pragma once
// Drawing the contour pieces with OpenGL.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewer/contour/contour_fill.h"
#include "viewer/contour/lit_batch.h"

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

// Keeps pieces as triangles in vertex arrays and draws them all, in the order they came,
// with one call; the picture is that of drawing them one by one.
class PieceBatch : public PieceSink {
  public:
    void clear() { triangles_.clear(); }
    void piece(std::int32_t colour, const Polygon3D& polygon) override;
    void draw() const;
    std::size_t triangleCount() const { return triangles_.vertexCount() / 3; }
    std::size_t bytes() const { return triangles_.bytes(); }

  private:
    LitBatch triangles_;
};

// The contour pass of the frames, computed again only when something it depends on changed:
// the model's positions, the component, the interval, the selected and picked flags, or the
// side that any element turns to the viewer.
class ContourCache {
  public:
    void draw(const ResultModel& model, const ContourSettings& settings, const Matrix4& M);
    // The levels of the current component over the selection (kept while they cannot change).
    const std::vector<double>& levels(const ResultModel& model, StressComponent component);
    std::size_t rebuildCount() const { return rebuilds_; }
    const PieceBatch& batch() const { return batch_; }

  private:
    // Whether any element turns another side to the viewer than at the last check.
    bool facingChanged(const ResultModel& model, const Matrix4& M, bool force);

    // What the levels were computed from.
    std::uint64_t levelsVersion_ = 0;
    StressComponent levelsComponent_ = -1;
    std::vector<std::uint8_t> levelsSelQuad_, levelsSelTri_, levelsSelBeam_;
    std::vector<double> levels_;
    // What the pieces were computed from.
    std::uint64_t version_ = 0;
    ContourSettings settings_{false, -1, 0, 0};
    std::vector<double> pieceLevels_;
    ElementFlags flags_;
    double viewRow_[3] = {0, 0, 0};
    std::vector<std::uint8_t> facing_;
    PieceBatch batch_;
    std::size_t rebuilds_ = 0;
};

}  // namespace quillon

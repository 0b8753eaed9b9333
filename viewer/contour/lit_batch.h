#pragma once
// Lit primitives kept in vertex arrays and drawn, in the order they were added, with one call.
// Each primitive has one colour and one normal, as if its material had been set with
// SetMaterialColour before it was drawn: the colour becomes a per-vertex colour that serves
// as ambient and diffuse material, and while the batch draws, the light's ambient and
// diffuse and the scene's ambient are scaled by the factors the material would have had
// (0.2 and 0.8), so lighting gives the same result.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewer/model/result_model.h"

namespace quillon {

class LitBatch {
  public:
    void clear();
    // One primitive of n vertices (the same n for every primitive of a batch drawn as quads
    // or triangles).
    void add(std::int32_t colour, const double normal[3], const Point3D* const* points, int n);
    // Draws everything as `primitive` (GL_TRIANGLES, GL_QUADS) with the current polygon mode.
    void draw(unsigned primitive) const;
    std::size_t vertexCount() const { return positions_.size() / 3; }
    std::size_t bytes() const;

  private:
    std::vector<float> positions_, normals_;  // 3 per vertex
    std::vector<std::uint8_t> colours_;       // RGBA per vertex
};

}  // namespace quillon

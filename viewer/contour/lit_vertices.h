#pragma once
// Lit primitives in vertex arrays. Each primitive has one colour and one normal, as if its
// material had been set with SetMaterialColour before it was drawn: the colour becomes a
// per-vertex colour that serves as ambient and diffuse material, and while they draw, the
// light's ambient and diffuse and the scene's ambient are scaled by the factors the material
// would have had (0.2 and 0.8), so lighting gives the same result.
#include <cstdint>
#include <vector>

#include "viewer/model/result_model.h"

namespace quillon {

struct LitVertex {
    float position[3];
    float normal[3];
    std::uint8_t colour[4];  // RGBA
};
using LitVertices = std::vector<LitVertex>;

// Lines as pairs of indices into their vertices: a vertex that ends two lines is kept once.
struct LitLines {
    LitVertices vertices;
    std::vector<std::uint32_t> indices;
    void clear() {
        vertices.clear();
        indices.clear();
    }
};

// A normal as the arrays keep it.
struct LitNormal {
    float n[3];
};
inline LitNormal litNormal(const double n[3]) {
    return {{static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])}};
}

// One vertex of a 0x00BBGGRR colour.
inline LitVertex litVertex(std::int32_t colour, const LitNormal& normal, const Point3D& p) {
    return {
        {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)},
        {normal.n[0], normal.n[1], normal.n[2]},
        {static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
         static_cast<std::uint8_t>((colour >> 16) & 0xFF), 255}};
}

// Appends `count` vertices of one colour and one normal.
inline void appendLit(LitVertices& out, std::int32_t colour, const LitNormal& normal,
                      const Point3D* const* points, int count) {
    for (int k = 0; k < count; ++k) out.push_back(litVertex(colour, normal, *points[k]));
}

// While it lives, lit vertex arrays can be drawn; it leaves lighting as it found it.
class LitDrawing {
  public:
    LitDrawing();
    ~LitDrawing();
    LitDrawing(const LitDrawing&) = delete;
    LitDrawing& operator=(const LitDrawing&) = delete;
    // Draws the vertices as `primitive` (GL_TRIANGLES, GL_QUADS, GL_LINES) with the current
    // polygon mode.
    void draw(unsigned primitive, const LitVertex* vertices, std::size_t count) const;
    // Draws the lines, each a pair of indices, in the order of the indices.
    void draw(const LitLines& lines) const;

  private:
    void point(const LitVertex* vertices) const;
    float lightAmbient_[4], lightDiffuse_[4], sceneAmbient_[4];
};

}  // namespace quillon

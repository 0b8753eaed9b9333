#pragma once
#include <cstdint>

namespace quillon {
// Sets the OpenGL material of both faces from a 0x00BBGGRR colour: ambient 0.2 × colour,
// diffuse 0.8 × colour, specular 0.5 grey, no emission, shininess 64.
void SetMaterialColour(std::int32_t colour);

// The four material vectors SetMaterialColour sets, for callers that compare or cache them.
struct MaterialValues {
    float ambient[4], diffuse[4], specular[4], emission[4];
    float shininess;
};
MaterialValues materialFor(std::int32_t colour);
}  // namespace quillon

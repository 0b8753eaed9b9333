#include "viewer/contour/material.h"

#include <GL/gl.h>

namespace quillon {

MaterialValues materialFor(std::int32_t colour) {
    float r = static_cast<float>((colour & 0xFF) / 255.0);
    float g = static_cast<float>(((colour >> 8) & 0xFF) / 255.0);
    float b = static_cast<float>(((colour >> 16) & 0xFF) / 255.0);
    auto k = [](double factor, float c) { return static_cast<float>(factor * c); };
    return MaterialValues{{k(0.2, r), k(0.2, g), k(0.2, b), 1.0f},
                          {k(0.8, r), k(0.8, g), k(0.8, b), 1.0f},
                          {0.5f, 0.5f, 0.5f, 1.0f},
                          {0.0f, 0.0f, 0.0f, 1.0f},
                          64.0f};
}

void SetMaterialColour(std::int32_t colour) {
    MaterialValues m = materialFor(colour);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m.ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, m.emission);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m.shininess);
}

}  // namespace quillon

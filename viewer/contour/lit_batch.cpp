#include "viewer/contour/lit_batch.h"

#include <GL/gl.h>

#include "viewer/contour/material.h"

namespace quillon {

void LitBatch::clear() {
    positions_.clear();
    normals_.clear();
    colours_.clear();
}

std::size_t LitBatch::bytes() const {
    return positions_.capacity() * sizeof(float) + normals_.capacity() * sizeof(float) +
           colours_.capacity();
}

void LitBatch::add(std::int32_t colour, const double n[3], const Point3D* const* points,
                   int count) {
    const std::uint8_t rgba[4] = {static_cast<std::uint8_t>(colour & 0xFF),
                                  static_cast<std::uint8_t>((colour >> 8) & 0xFF),
                                  static_cast<std::uint8_t>((colour >> 16) & 0xFF), 255};
    const float normal[3] = {static_cast<float>(n[0]), static_cast<float>(n[1]),
                             static_cast<float>(n[2])};
    for (int v = 0; v < count; ++v) {
        const Point3D& p = *points[v];
        positions_.insert(positions_.end(), {static_cast<float>(p.x), static_cast<float>(p.y),
                                             static_cast<float>(p.z)});
        normals_.insert(normals_.end(), normal, normal + 3);
        colours_.insert(colours_.end(), rgba, rgba + 4);
    }
}

void LitBatch::draw(unsigned primitive) const {
    if (positions_.empty()) return;
    GLfloat lightAmbient[4], lightDiffuse[4], sceneAmbient[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient);
    const GLfloat a[4] = {lightAmbient[0] * 0.2f, lightAmbient[1] * 0.2f, lightAmbient[2] * 0.2f,
                          lightAmbient[3]};
    const GLfloat d[4] = {lightDiffuse[0] * 0.8f, lightDiffuse[1] * 0.8f, lightDiffuse[2] * 0.8f,
                          lightDiffuse[3]};
    const GLfloat s[4] = {sceneAmbient[0] * 0.2f, sceneAmbient[1] * 0.2f, sceneAmbient[2] * 0.2f,
                          sceneAmbient[3]};
    glLightfv(GL_LIGHT0, GL_AMBIENT, a);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, d);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, s);
    SetMaterialColour(0);  // the specular, emission and shininess every primitive shares
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions_.data());
    glNormalPointer(GL_FLOAT, 0, normals_.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, colours_.data());
    glDrawArrays(primitive, 0, static_cast<GLsizei>(positions_.size() / 3));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    glDisable(GL_COLOR_MATERIAL);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient);
}

}  // namespace quillon

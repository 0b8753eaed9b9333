#include "viewer/contour/lit_vertices.h"

#include <GL/gl.h>

#include <cstddef>

#include "viewer/contour/material.h"

namespace quillon {

LitDrawing::LitDrawing() {
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient_);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse_);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient_);
    const GLfloat a[4] = {lightAmbient_[0] * 0.2f, lightAmbient_[1] * 0.2f, lightAmbient_[2] * 0.2f,
                          lightAmbient_[3]};
    const GLfloat d[4] = {lightDiffuse_[0] * 0.8f, lightDiffuse_[1] * 0.8f, lightDiffuse_[2] * 0.8f,
                          lightDiffuse_[3]};
    const GLfloat s[4] = {sceneAmbient_[0] * 0.2f, sceneAmbient_[1] * 0.2f, sceneAmbient_[2] * 0.2f,
                          sceneAmbient_[3]};
    glLightfv(GL_LIGHT0, GL_AMBIENT, a);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, d);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, s);
    SetMaterialColour(0);  // the specular, emission and shininess every primitive shares
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
}

LitDrawing::~LitDrawing() {
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_COLOR_MATERIAL);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient_);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse_);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient_);
}

void LitDrawing::point(const LitVertex* v) const {
    constexpr GLsizei stride = sizeof(LitVertex);
    glVertexPointer(3, GL_FLOAT, stride, v->position);
    glNormalPointer(GL_FLOAT, stride, v->normal);
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, v->colour);
}

void LitDrawing::draw(unsigned primitive, const LitVertex* v, std::size_t count) const {
    if (count == 0) return;
    point(v);
    glDrawArrays(primitive, 0, static_cast<GLsizei>(count));
}

void LitDrawing::draw(const LitLines& lines) const {
    if (lines.indices.empty()) return;
    point(lines.vertices.data());
    glDrawElements(GL_LINES, static_cast<GLsizei>(lines.indices.size()), GL_UNSIGNED_INT,
                   lines.indices.data());
}

}  // namespace quillon

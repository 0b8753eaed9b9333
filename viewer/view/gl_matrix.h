#pragma once
// The model-view matrix as OpenGL keeps it: 16 float32 in column order, changed by the same
// steps in the same float arithmetic as the fixed-function matrix calls (glLoadIdentity,
// gluLookAt, glTranslatef, glRotatef), so that the matrix a frame loads equals the one the
// calls would have built there.
#include <array>

#include "viewer/model/matrix4.h"

namespace quillon {

using Matrix4f = std::array<float, 16>;
constexpr Matrix4f kIdentity4f{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// m = m × n, both column-major.
void multiplyMatrix(Matrix4f& m, const Matrix4f& n);
// glTranslatef on m.
void translateMatrix(Matrix4f& m, float x, float y, float z);
// glRotatef on m: `angle` degrees about the axis (x, y, z).
void rotateMatrix(Matrix4f& m, float angle, float x, float y, float z);
// gluLookAt on m.
void lookAtMatrix(Matrix4f& m, double eyeX, double eyeY, double eyeZ, double centreX,
                  double centreY, double centreZ, double upX, double upY, double upZ);
// The matrix read back as glGetFloatv does and widened to float64.
Matrix4 widen(const Matrix4f& m);

}  // namespace quillon

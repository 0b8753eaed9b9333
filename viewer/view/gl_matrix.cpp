#include "viewer/view/gl_matrix.h"

#include <cmath>

namespace quillon {
namespace {
// Row r, column c of a column-major matrix.
constexpr std::size_t at(int r, int c) {
    return static_cast<std::size_t>(4 * c + r);
}
}  // namespace

void multiplyMatrix(Matrix4f& m, const Matrix4f& n) {
    Matrix4f p;
    for (int i = 0; i < 4; ++i) {
        const float a0 = m[at(i, 0)], a1 = m[at(i, 1)], a2 = m[at(i, 2)], a3 = m[at(i, 3)];
        for (int j = 0; j < 4; ++j)
            p[at(i, j)] = a0 * n[at(0, j)] + a1 * n[at(1, j)] + a2 * n[at(2, j)] + a3 * n[at(3, j)];
    }
    m = p;
}

void translateMatrix(Matrix4f& m, float x, float y, float z) {
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
}

void rotateMatrix(Matrix4f& m, float angle, float x, float y, float z) {
    const double radians = static_cast<double>(angle) * std::acos(-1.0) / 180.0;
    const float s = static_cast<float>(std::sin(radians));
    const float c = static_cast<float>(std::cos(radians));
    Matrix4f r = kIdentity4f;
    // Turns about a coordinate axis are built directly, as OpenGL does; others by the general
    // axis-angle formula.
    if (x == 0 && y == 0 && z != 0) {
        r[at(0, 0)] = c;
        r[at(1, 1)] = c;
        r[at(0, 1)] = z < 0 ? s : -s;
        r[at(1, 0)] = z < 0 ? -s : s;
    } else if (x == 0 && z == 0 && y != 0) {
        r[at(0, 0)] = c;
        r[at(2, 2)] = c;
        r[at(0, 2)] = y < 0 ? -s : s;
        r[at(2, 0)] = y < 0 ? s : -s;
    } else if (y == 0 && z == 0 && x != 0) {
        r[at(1, 1)] = c;
        r[at(2, 2)] = c;
        r[at(1, 2)] = x < 0 ? s : -s;
        r[at(2, 1)] = x < 0 ? -s : s;
    } else {
        const float length = std::sqrt(x * x + y * y + z * z);
        if (length <= 1.0e-4f) return;  // no axis: OpenGL leaves the matrix as it is
        x /= length;
        y /= length;
        z /= length;
        const float xx = x * x, yy = y * y, zz = z * z, xy = x * y, yz = y * z, zx = z * x;
        const float xs = x * s, ys = y * s, zs = z * s, oneC = 1.0f - c;
        r[at(0, 0)] = (oneC * xx) + c;
        r[at(0, 1)] = (oneC * xy) - zs;
        r[at(0, 2)] = (oneC * zx) + ys;
        r[at(1, 0)] = (oneC * xy) + zs;
        r[at(1, 1)] = (oneC * yy) + c;
        r[at(1, 2)] = (oneC * yz) - xs;
        r[at(2, 0)] = (oneC * zx) - ys;
        r[at(2, 1)] = (oneC * yz) + xs;
        r[at(2, 2)] = (oneC * zz) + c;
    }
    multiplyMatrix(m, r);
}

namespace {
void normalize(float v[3]) {
    const float r = static_cast<float>(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    if (r == 0.0f) return;
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}
void cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}
}  // namespace

void lookAtMatrix(Matrix4f& m, double eyeX, double eyeY, double eyeZ, double centreX,
                  double centreY, double centreZ, double upX, double upY, double upZ) {
    float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                        static_cast<float>(centreZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    float side[3];
    normalize(forward);
    cross(forward, up, side);
    normalize(side);
    cross(side, forward, up);
    Matrix4f l = kIdentity4f;
    l[at(0, 0)] = side[0];
    l[at(0, 1)] = side[1];
    l[at(0, 2)] = side[2];
    l[at(1, 0)] = up[0];
    l[at(1, 1)] = up[1];
    l[at(1, 2)] = up[2];
    l[at(2, 0)] = -forward[0];
    l[at(2, 1)] = -forward[1];
    l[at(2, 2)] = -forward[2];
    multiplyMatrix(m, l);
    translateMatrix(m, static_cast<float>(-eyeX), static_cast<float>(-eyeY),
                    static_cast<float>(-eyeZ));
}

Matrix4 widen(const Matrix4f& m) {
    Matrix4 out;
    for (std::size_t i = 0; i < 16; ++i) out[i] = m[i];
    return out;
}

}  // namespace quillon

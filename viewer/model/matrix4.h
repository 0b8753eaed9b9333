#pragma once
#include <array>

namespace quillon {
// Column-major 4 × 4 matrix of doubles (element 4·c + r is row r, column c).
using Matrix4 = std::array<double, 16>;
constexpr Matrix4 kIdentity4{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}  // namespace quillon

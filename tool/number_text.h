#pragma once
// Number texts of the model file, independent of any locale: always a full stop, no grouping.
#include <cstddef>
#include <cstdint>

namespace tarvik {

// Room that one number may need: fixed notation of the largest double has 309 digits before
// the point.
constexpr std::size_t kMaxNumberChars = 330;

// The default notation of a stream with 6 significant digits: the shorter of fixed and
// scientific, trailing zeros dropped (0.3, 2.1e+11, 1e-07).
char* FormatGeneral6(char* first, char* last, double value);
// Fixed notation with exactly five decimals (1.50000, -0.00000).
char* FormatFixed5(char* first, char* last, double value);
char* FormatInt(char* first, char* last, std::int32_t value);

}  // namespace tarvik

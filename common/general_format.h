#pragma once
// Numbers as printf's "%g" writes them (six significant digits, trailing zeros dropped,
// exponent form below 1e-4 and from 1e6), in the C locale, fast enough for reports of millions
// of values: the digits come from integer arithmetic on a scaled value, and the few values
// whose rounding that cannot decide are handed to the exact conversion.
#include <cstddef>

namespace common {

// Writes the text into `out` (at least 32 bytes) and returns its length.
std::size_t formatGeneral6(double value, char* out);

}  // namespace common

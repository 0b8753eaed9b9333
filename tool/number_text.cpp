#include "tool/number_text.h"

#include <charconv>
#include <cmath>

namespace tarvik {
namespace {

__extension__ typedef unsigned __int128 Uint128;

// |value| below this has at most 18 digits once scaled by 10^5.
constexpr double kFastFixedLimit = 1e13;

}  // namespace

char* FormatGeneral6(char* first, char* last, double value) {
    return std::to_chars(first, last, value, std::chars_format::general, 6).ptr;
}

// Coordinates are written by the million, and the library's conversion with a fixed
// precision is slow: ordinary magnitudes are rounded here exactly as printf rounds (the exact
// binary value, ties to even), the rest goes to the library.
char* FormatFixed5(char* first, char* last, double value) {
    double magnitude = std::fabs(value);
    if (!(magnitude < kFastFixedLimit) || last - first < 40)
        return std::to_chars(first, last, value, std::chars_format::fixed, 5).ptr;

    // magnitude = mantissa * 2^exponent exactly, mantissa below 2^53.
    int exponent = 0;
    double fraction = std::frexp(magnitude, &exponent);
    auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;
    std::uint64_t scaled = 0;  // round(magnitude * 10^5), ties to even
    if (exponent >= 0) {
        scaled = (mantissa << exponent) * 100000;  // below 1e18 by the limit above
    } else {
        Uint128 n = static_cast<Uint128>(mantissa) * 100000;
        int shift = -exponent;
        if (shift < 128) {
            Uint128 q = n >> shift;
            Uint128 rest = n - (q << shift);
            Uint128 half = static_cast<Uint128>(1) << (shift - 1);
            if (rest > half || (rest == half && (q & 1))) ++q;
            scaled = static_cast<std::uint64_t>(q);
        }
    }

    char* p = first;
    if (std::signbit(value)) *p++ = '-';
    p = std::to_chars(p, last, scaled / 100000).ptr;
    *p++ = '.';
    auto decimals = static_cast<std::uint32_t>(scaled % 100000);
    for (int i = 4; i >= 0; --i) {
        p[i] = static_cast<char>('0' + decimals % 10);
        decimals /= 10;
    }
    return p + 5;
}

char* FormatInt(char* first, char* last, std::int32_t value) {
    return std::to_chars(first, last, value).ptr;
}

}  // namespace tarvik

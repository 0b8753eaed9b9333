#include "common/general_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace common {
namespace {

// 10^k for k = 0 … 22 are exact doubles.
constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                             1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

std::size_t exact(double value, char* out) {
    auto [end, ec] = std::to_chars(out, out + 32, value, std::chars_format::general, 6);
    return static_cast<std::size_t>(end - out);
}

// |value| × 10^shift, for |shift| within the exact powers; false otherwise.
bool scale(double magnitude, int shift, double& scaled) {
    if (shift >= 0 && shift <= 22)
        scaled = magnitude * kExact[shift];
    else if (shift < 0 && shift >= -22)
        scaled = magnitude / kExact[-shift];
    else
        return false;
    return true;
}

}  // namespace

std::size_t formatGeneral6(double value, char* out) {
    if (!std::isfinite(value) || value == 0) return exact(value, out);
    const double magnitude = std::fabs(value);
    int e10 = static_cast<int>(std::floor(std::log10(magnitude)));
    double scaled = 0;
    // One correctly rounded multiplication or division by an exact power of ten: the scaled value
    // is within an ulp of the true one, far from any rounding boundary unless it is near a tie.
    if (!scale(magnitude, 5 - e10, scaled)) return exact(value, out);
    if (scaled < 100000.0) {
        --e10;
        if (!scale(magnitude, 5 - e10, scaled)) return exact(value, out);
    } else if (scaled >= 1000000.0) {
        ++e10;
        if (!scale(magnitude, 5 - e10, scaled)) return exact(value, out);
    }
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    // Near a tie the scaled value's last bit could decide the rounding: the exact conversion
    // does. Elsewhere an error of an ulp cannot move the result.
    if (std::fabs(fraction - 0.5) < 1e-6) return exact(value, out);
    std::int64_t digits = static_cast<std::int64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    if (digits == 1000000) {
        digits = 100000;
        ++e10;
    }
    // Six digits d0 … d5; the significant ones end at the last that is not zero.
    char d[6];
    for (int k = 5; k >= 0; --k) {
        d[k] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    int significant = 6;
    while (significant > 1 && d[significant - 1] == '0') --significant;
    char* p = out;
    if (value < 0) *p++ = '-';
    if (e10 < -4 || e10 >= 6) {
        *p++ = d[0];
        if (significant > 1) {
            *p++ = '.';
            for (int k = 1; k < significant; ++k) *p++ = d[k];
        }
        *p++ = 'e';
        *p++ = e10 < 0 ? '-' : '+';
        int e = e10 < 0 ? -e10 : e10;
        if (e >= 100) *p++ = static_cast<char>('0' + e / 100);
        *p++ = static_cast<char>('0' + e / 10 % 10);
        *p++ = static_cast<char>('0' + e % 10);
    } else if (e10 >= 0) {
        // e10 + 1 digits before the point, the rest of the significant ones after it.
        for (int k = 0; k <= e10; ++k) *p++ = d[k];
        if (significant > e10 + 1) {
            *p++ = '.';
            for (int k = e10 + 1; k < significant; ++k) *p++ = d[k];
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int k = 0; k < -e10 - 1; ++k) *p++ = '0';
        for (int k = 0; k < significant; ++k) *p++ = d[k];
    }
    return static_cast<std::size_t>(p - out);
}

}  // namespace common

// formatGeneral6 writes what printf's "%g" writes, for every kind of double.
#include "common/general_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

std::string printfG(double v) {
#if defined(_WIN32)
    // The C library of mingw-w64 drops the sign of a negative NaN; the formatter keeps it, as
    // glibc's printf does, so that reports read alike everywhere.
    if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
#endif
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", v);
    return buffer;
}

std::string ours(double v) {
    char buffer[64];
    return std::string(buffer, common::formatGeneral6(v, buffer));
}

TEST(GeneralFormat, EdgeCasesAsPrintf) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {0.0,
                     -0.0,
                     1.0,
                     -1.0,
                     0.5,
                     2.5e8,
                     3.25e-5,
                     1e-4,
                     9.99999e-5,
                     9.999995e-5,
                     0.0001,
                     999999.0,
                     999999.5,
                     999999.4999,
                     1e6,
                     123456.5,
                     123457.5,
                     0.1234565,
                     1e-300,
                     5e-324,
                     1.7976931348623157e308,
                     1e22,
                     1e23,
                     1e-17,
                     1e-18,
                     1e27,
                     1e28,
                     inf,
                     -inf,
                     std::nan(""),
                     -2.5,
                     100.0,
                     1234567.0,
                     0.000123456789,
                     12345.65,
                     1.5,
                     2.5,
                     0.15,
                     0.25}) {
        EXPECT_EQ(ours(v), printfG(v)) << std::hexfloat << v;
    }
}

TEST(GeneralFormat, MillionsOfRandomValuesAsPrintf) {
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int> exponent(-30, 30);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<std::uint64_t> bits;
    int mismatches = 0;
    for (int i = 0; i < 3000000 && mismatches < 10; ++i) {
        double v = 0;
        switch (i % 4) {
            case 0:  // any magnitude where stresses live
                v = mantissa(random) * std::pow(10.0, exponent(random));
                break;
            case 1: {  // any bit pattern
                std::uint64_t b = bits(random);
                std::memcpy(&v, &b, sizeof v);
                break;
            }
            case 2:  // values of few digits, as files hold them
                v = std::round(mantissa(random) * 1e5) / std::pow(10.0, exponent(random) % 8);
                break;
            default:  // exactly halfway between two six-digit values, and beside them
                v = (std::floor(mantissa(random) * 1e5) + 0.5) *
                    std::pow(10.0, exponent(random) % 6 - 5);
                v = std::nextafter(v, (i / 4) % 3 == 0 ? v : (i / 4) % 3 == 1 ? 1e300 : -1e300);
                break;
        }
        if (ours(v) != printfG(v)) {
            ++mismatches;
            ADD_FAILURE() << std::hexfloat << v << std::defaultfloat << ": " << ours(v) << " vs "
                          << printfG(v);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace

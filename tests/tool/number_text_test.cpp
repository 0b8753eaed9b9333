// The number texts must equal what a stream in the classic locale writes, in its default
// notation with 6 significant digits and in fixed notation with 5 decimals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tool/number_text.h"

namespace {

const double kValues[] = {0.0,
                          -0.0,
                          0.3,
                          -0.3,
                          2.1e11,
                          1e-7,
                          1.5e-5,
                          0.0001,
                          0.00001,
                          123456.5,
                          123456.4,
                          1234567.0,
                          999999.5,
                          100000.0,
                          0.1 + 0.2,
                          2.675,
                          1.000005,
                          0.000005,
                          -0.000001,
                          -0.000004999,
                          1.234565,
                          12345678901234.5,
                          1e16,
                          -1e300,
                          5e-324,
                          std::numeric_limits<double>::max(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};

std::string StreamGeneral(double v) {
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s << v;
    return s.str();
}

std::string StreamFixed(double v) {
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s << std::fixed << std::setprecision(5) << v;
    return s.str();
}

TEST(NumberText, GeneralEqualsTheStreamDefault) {
    char buf[tarvik::kMaxNumberChars];
    for (double v : kValues) {
        std::string ours(buf, tarvik::FormatGeneral6(buf, buf + sizeof buf, v));
        EXPECT_EQ(ours, StreamGeneral(v)) << v;
    }
    EXPECT_EQ(std::string(buf, tarvik::FormatGeneral6(buf, buf + sizeof buf, 2.1e11)), "2.1e+11");
    EXPECT_EQ(std::string(buf, tarvik::FormatGeneral6(buf, buf + sizeof buf, 0.3)), "0.3");
    EXPECT_EQ(std::string(buf, tarvik::FormatGeneral6(buf, buf + sizeof buf, 1e-7)), "1e-07");
}

TEST(NumberText, FixedEqualsTheStreamWithFiveDecimals) {
    char buf[tarvik::kMaxNumberChars];
    for (double v : kValues) {
        char* end = tarvik::FormatFixed5(buf, buf + sizeof buf, v);
        ASSERT_LT(end - buf, static_cast<long>(sizeof buf)) << v;
        EXPECT_EQ(std::string(buf, end), StreamFixed(v)) << v;
    }
    EXPECT_EQ(std::string(buf, tarvik::FormatFixed5(buf, buf + sizeof buf, 1.234567)), "1.23457");
    EXPECT_EQ(std::string(buf, tarvik::FormatFixed5(buf, buf + sizeof buf, -0.000001)), "-0.00000");
    EXPECT_EQ(std::string(buf, tarvik::FormatFixed5(buf, buf + sizeof buf, 2.0)), "2.00000");
}

// Rounding to five decimals must follow the exact binary value with ties to even, as printf
// does, for every magnitude: random values, values on and next to ties (multiples of 1/64),
// and values near the powers of ten.
TEST(NumberText, FixedRoundsLikePrintfForManyValues) {
    std::mt19937_64 random(12345);
    std::vector<double> values;
    for (int i = 0; i < 100000; ++i) {
        double exponent = std::uniform_real_distribution<double>(-8, 16)(random);
        double v = std::pow(10.0, exponent) * (random() % 2 ? 1 : -1);
        values.push_back(v);
        values.push_back(std::nextafter(v, 0.0));
    }
    for (int k = -2000; k <= 2000; ++k) {
        double tie = k / 64.0 + 1000 * (k % 7);
        values.insert(values.end(), {tie, std::nextafter(tie, 1e300), std::nextafter(tie, -1e300)});
    }
    for (int e = -6; e <= 16; ++e) {
        double p = std::pow(10.0, e);
        values.insert(values.end(), {p, std::nextafter(p, 0.0), 1e13 - p, 0.000005 * p});
    }
    char buf[tarvik::kMaxNumberChars];
    char expected[tarvik::kMaxNumberChars];
    int mismatches = 0;
    for (double v : values) {
        std::string ours(buf, tarvik::FormatFixed5(buf, buf + sizeof buf, v));
        std::snprintf(expected, sizeof expected, "%.5f", v);
        if (ours != expected && ++mismatches < 10) ADD_FAILURE() << ours << " != " << expected;
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace

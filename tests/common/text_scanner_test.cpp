#include "common/text_scanner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string writeTemp(const std::string& name, const std::string& text) {
    auto path = std::filesystem::temp_directory_path() / ("scanner_" + name);
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

TEST(TextScanner, FollowsTheScanRulesForNumbersAndLiterals) {
    common::TextScanner s;
    ASSERT_TRUE(s.open(writeTemp("rules", "K=  +12\n\n  -3.5e2,x 0x10, inf,1 ,")));
    std::int32_t i = 0;
    double d = 0;
    EXPECT_TRUE(s.match("K="));
    EXPECT_TRUE(s.readInt(i));
    EXPECT_EQ(i, 12);
    EXPECT_EQ(s.line(), 1);
    EXPECT_TRUE(s.readDouble(d));  // skips the blank lines and blanks before the number
    EXPECT_EQ(d, -350.0);
    EXPECT_EQ(s.line(), 3);
    EXPECT_TRUE(s.match(','));
    EXPECT_FALSE(s.readDouble(d));  // 'x' starts no number and is not consumed
    EXPECT_TRUE(s.match('x'));
    EXPECT_TRUE(s.readDouble(d));  // hexadecimal, as strtod reads it
    EXPECT_EQ(d, 16.0);
    EXPECT_TRUE(s.match(','));
    EXPECT_TRUE(s.readDouble(d));
    EXPECT_TRUE(std::isinf(d));
    EXPECT_TRUE(s.match(','));
    EXPECT_TRUE(s.readInt(i));
    EXPECT_FALSE(s.match(','));  // a blank before a comma does not match it
    s.skipSpace();
    EXPECT_TRUE(s.match(','));
    EXPECT_TRUE(s.atEnd());
}

TEST(TextScanner, RejectsMalformedAndOversizedNumbers) {
    common::TextScanner s;
    ASSERT_TRUE(s.open(writeTemp("bad", "+-1 2147483648 -2147483648 1e999 - ")));
    std::int32_t i = 0;
    double d = 0;
    EXPECT_FALSE(s.readInt(i));
    EXPECT_TRUE(s.match("+-1"));
    EXPECT_FALSE(s.readInt(i));  // does not fit in 32 bits
    EXPECT_TRUE(s.match("2147483648"));
    EXPECT_TRUE(s.readInt(i));
    EXPECT_EQ(i, INT32_MIN);
    EXPECT_TRUE(s.readDouble(d));  // beyond double: infinity, as strtod gives
    EXPECT_TRUE(std::isinf(d));
    EXPECT_FALSE(s.readDouble(d));
}

TEST(TextScanner, ItemsStraddlingBlocksAndLineCounts) {
    // A block of 16 bytes forces numbers, literals and white space across block edges.
    std::string text;
    for (int k = 0; k < 500; ++k)
        text += "VAL=" + std::to_string(k) + "," + std::to_string(k * 0.001234567) + "\r\n";
    common::TextScanner s(16);
    ASSERT_TRUE(s.open(writeTemp("blocks", text)));
    for (int k = 0; k < 500; ++k) {
        ASSERT_EQ(s.line(), k + 1);
        ASSERT_TRUE(s.match("VAL="));
        std::int32_t i = -1;
        double d = -1;
        ASSERT_TRUE(s.readInt(i));
        ASSERT_EQ(i, k);
        ASSERT_TRUE(s.match(','));
        ASSERT_TRUE(s.readDouble(d));
        ASSERT_EQ(d, std::stod(std::to_string(k * 0.001234567)));
        s.skipSpace();
    }
    EXPECT_TRUE(s.atEnd());
    EXPECT_EQ(s.offset(), text.size());
}

TEST(TextScanner, SkipLineAndMissingFile) {
    common::TextScanner s(16);
    EXPECT_FALSE(s.open("/nonexistent/dir/file.txt"));
    ASSERT_TRUE(s.open(writeTemp("lines", "#0: anything at all, even 1,2\nE=5\nlast")));
    EXPECT_TRUE(s.skipLine());
    EXPECT_EQ(s.line(), 2);
    EXPECT_TRUE(s.match("E="));
    EXPECT_TRUE(s.skipLine());
    EXPECT_FALSE(s.skipLine());  // no line feed before the end
    EXPECT_TRUE(s.atEnd());
}

}  // namespace

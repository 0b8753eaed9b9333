#include "common/text_scanner.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/support/temp_file.h"

namespace {

std::string writeTemp(const std::string& name, const std::string& text) {
    return testsupport::writeFile(name, text);
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

TEST(TextScanner, IntegersWithLongRunsOfLeadingZeros) {
    common::TextScanner s;
    ASSERT_TRUE(s.open(writeTemp("zeros",
                                 "0000000000000000000000012 -0000000000000000002147483648 "
                                 "+0000000000000000002147483647 0000000000000000002147483648 9")));
    std::int32_t i = 0;
    EXPECT_TRUE(s.readInt(i));
    EXPECT_EQ(i, 12);
    EXPECT_TRUE(s.readInt(i));
    EXPECT_EQ(i, INT32_MIN);
    EXPECT_TRUE(s.readInt(i));
    EXPECT_EQ(i, INT32_MAX);
    EXPECT_FALSE(s.readInt(i));  // one past the largest, whatever its zeros
    EXPECT_TRUE(s.match("0000000000000000002147483648"));
    EXPECT_TRUE(s.readInt(i));
    EXPECT_EQ(i, 9);
    EXPECT_TRUE(s.atEnd());
}

// Numbers longer than the scanner's look-ahead, with the end of the first block on every
// byte of them in turn: each must read as the same number read whole, with the same end.
TEST(TextScanner, LongNumbersReadTheSameWhereverTheBlockEnds) {
    const std::string zeros(300, '0');
    const std::string reals[] = {
        "1." + zeros + "e-3",  // the exponent meets the block end
        "-" + zeros + "0.5E+0" + std::string(4, '0') + "2",
        "0." + zeros + "12345678901234567890123456789",  // more digits than a double holds
        "0x" + zeros + "1.8p+1",                         // hexadecimal
        "nan(" + std::string(300, 'a') + ")",
        "+." + zeros + "1e" + zeros + "5"};
    constexpr std::size_t kBlock = 1024;      // single reads
    constexpr std::size_t kRowBlock = 16384;  // rows read straight from the block
    for (const std::string& token : reals) {
        double expected = std::strtod(token.c_str(), nullptr);
        for (std::size_t before = 0; before <= token.size(); ++before) {
            SCOPED_TRACE(token.substr(0, 12) + "... with the block end after byte " +
                         std::to_string(before));
            // The token starts `before` bytes ahead of the first block end.
            std::string text = std::string(kBlock - before, ' ') + token + ",7\n";
            common::TextScanner s(kBlock);
            ASSERT_TRUE(s.open(writeTemp("real", text)));
            double d = 0;
            std::int32_t i = 0;
            ASSERT_TRUE(s.readDouble(d));
            if (std::isnan(expected)) {
                EXPECT_TRUE(std::isnan(d));
            } else {
                EXPECT_EQ(std::bit_cast<std::uint64_t>(d), std::bit_cast<std::uint64_t>(expected))
                    << d;
            }
            ASSERT_TRUE(s.match(','));
            ASSERT_TRUE(s.readInt(i));
            EXPECT_EQ(i, 7);

            // The same token as the middle value of a row.
            text = "1," + std::string(kRowBlock - before - 2, ' ') + token + ",7\n";
            common::TextScanner rows(kRowBlock);
            ASSERT_TRUE(rows.open(writeTemp("row", text)));
            double v[3] = {};
            ASSERT_TRUE(rows.readDoubles(v, 3));
            EXPECT_EQ(v[0], 1);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(v[1]), std::bit_cast<std::uint64_t>(d));
            EXPECT_EQ(v[2], 7);
            EXPECT_EQ(rows.offset(), text.size() - 1);
            if (::testing::Test::HasFailure()) return;
        }
    }

    const std::string ints[] = {zeros + "1", "-" + zeros + "2147483648", "+" + zeros + "12"};
    const std::int32_t values[] = {1, INT32_MIN, 12};
    const std::string tooLarge = zeros + "2147483648";
    for (std::size_t n = 0; n < std::size(ints); ++n) {
        for (std::size_t before = 0; before <= ints[n].size(); ++before) {
            SCOPED_TRACE(ints[n].substr(0, 12) + "... with the block end after byte " +
                         std::to_string(before));
            std::string text =
                std::string(kBlock - before, ' ') + ints[n] + ",7 " + tooLarge + "\n";
            common::TextScanner s(kBlock);
            ASSERT_TRUE(s.open(writeTemp("int", text)));
            std::int32_t i = 0;
            ASSERT_TRUE(s.readInt(i));
            EXPECT_EQ(i, values[n]);
            ASSERT_TRUE(s.match(','));
            ASSERT_TRUE(s.readInt(i));
            EXPECT_EQ(i, 7);
            // Too large whatever its zeros, and nothing of it is consumed.
            EXPECT_FALSE(s.readInt(i));
            EXPECT_TRUE(s.match(tooLarge));
            if (::testing::Test::HasFailure()) return;
        }
    }
}

// CR, LF and CR LF each end one line, also where a CR LF is split by the end of a block.
TEST(TextScanner, EveryKindOfLineEndCountsOnce) {
    std::mt19937_64 rng(13);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    static const char* blanks[] = {" ", "\t", "\r", "\n", "\r\n", "\n\r"};
    std::string text;
    std::vector<long> lines;  // the line of every item, counted on the text itself
    long line = 1;
    for (int k = 0; k < 3000; ++k) {
        lines.push_back(line);
        text += 'V';
        text += std::to_string(k);
        for (int b = pick(1, 3); b > 0; --b) {
            for (const char* c = blanks[pick(0, 5)]; *c; ++c) {
                line += *c == '\r' || (*c == '\n' && text.back() != '\r');
                text += *c;
            }
        }
    }
    const long lastLine = line - (text.back() == '\r' || text.back() == '\n');
    std::string path = writeTemp("ends", text);
    for (std::size_t block : {std::size_t{16}, std::size_t{4096}}) {
        common::TextScanner s(block);
        ASSERT_TRUE(s.open(path));
        for (std::size_t k = 0; k < lines.size(); ++k) {
            ASSERT_EQ(s.line(), lines[k]) << "item " << k << " with blocks of " << block;
            ASSERT_EQ(s.where(), "line " + std::to_string(lines[k]));
            std::int32_t i = -1;
            ASSERT_TRUE(s.match('V'));
            ASSERT_TRUE(s.readInt(i));
            ASSERT_EQ(i, static_cast<std::int32_t>(k));
            s.skipSpace();
        }
        EXPECT_EQ(s.where(),
                  "at the end of the file (after line " + std::to_string(lastLine) + ")");
    }

    // skipLine stops at each kind of line end, also at a CR LF split by the end of a block.
    common::TextScanner s(16);
    ASSERT_TRUE(s.open(writeTemp("skip", "0123456789abcde\r\nx\ry\r\nz\nw")));
    EXPECT_TRUE(s.skipLine());  // its CR is the last byte of the first block
    EXPECT_EQ(s.where(), "line 2");
    EXPECT_TRUE(s.match('x'));
    EXPECT_TRUE(s.skipLine());
    EXPECT_TRUE(s.match('y'));
    EXPECT_TRUE(s.skipLine());
    EXPECT_TRUE(s.match('z'));
    EXPECT_EQ(s.where(), "line 4");
    EXPECT_TRUE(s.skipLine());
    EXPECT_TRUE(s.match('w'));
    EXPECT_EQ(s.where(), "at the end of the file (after line 5)");
    EXPECT_FALSE(s.skipLine());
    // Without a final line end the last line is the one the end is on.
    ASSERT_TRUE(s.open(writeTemp("noend", "a\r\nb")));
    EXPECT_TRUE(s.match("a\r\nb"));
    EXPECT_EQ(s.where(), "at the end of the file (after line 2)");
    ASSERT_TRUE(s.open(writeTemp("empty", "")));
    EXPECT_EQ(s.where(), "at the end of the file (the file is empty)");
}

// A file is read in a block of its own size (and one byte more) up to the largest block, so
// that a small file costs a small buffer; what has no size is read in the largest blocks.
TEST(TextScanner, TheBlockFollowsTheFileSizeUpToTheLargest) {
    using common::TextScanner;
    constexpr std::size_t kLargest = TextScanner::kLargestBlock;
    EXPECT_EQ(kLargest, std::size_t{4} << 20);
    EXPECT_EQ(TextScanner::blockSizeFor(0), 16u);
    EXPECT_EQ(TextScanner::blockSizeFor(300), 301u);
    EXPECT_EQ(TextScanner::blockSizeFor(kLargest - 1), kLargest);
    EXPECT_EQ(TextScanner::blockSizeFor(kLargest), kLargest);
    EXPECT_EQ(TextScanner::blockSizeFor(std::uint64_t{10} << 30), kLargest);
    EXPECT_EQ(TextScanner::blockSizeFor(5000, 1024), 1024u);

    const std::string text = "1,2.5\n" + std::string(290, ' ') + "-7\n";
    TextScanner s;
    ASSERT_TRUE(s.open(writeTemp("small", text)));
    EXPECT_EQ(s.fileSize(), text.size());
    EXPECT_EQ(s.blockSize(), text.size() + 1);
    double v[2];
    std::int32_t i = 0;
    ASSERT_TRUE(s.readDoubles(v, 2));
    ASSERT_TRUE(s.readInt(i));
    EXPECT_EQ(i, -7);
    s.skipSpace();
    EXPECT_TRUE(s.atEnd());
    EXPECT_EQ(s.blockSize(), text.size() + 1);  // read in one block that never grew

    // The next file gets a block of its own size, capped by the scanner's largest block.
    TextScanner capped(1024);
    ASSERT_TRUE(capped.open(writeTemp("larger", std::string(5000, ' ') + "9")));
    EXPECT_EQ(capped.blockSize(), 1024u);
    ASSERT_TRUE(capped.readInt(i));
    EXPECT_EQ(i, 9);
    ASSERT_TRUE(capped.open(writeTemp("smaller", "8")));
    EXPECT_EQ(capped.blockSize(), 16u);
    ASSERT_TRUE(capped.readInt(i));
    EXPECT_EQ(i, 8);

    // A device has no size.
    ASSERT_TRUE(s.open("/dev/null"));
    EXPECT_EQ(s.fileSize(), TextScanner::kUnknownSize);
    EXPECT_EQ(s.blockSize(), kLargest);
    EXPECT_TRUE(s.atEnd());
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

// parseDouble against strtod on the same text: the same end and the same bits.
void expectAsStrtod(const std::string& text) {
    char* stop = nullptr;
    double expected = std::strtod(text.c_str(), &stop);
    std::size_t expectedLength = static_cast<std::size_t>(stop - text.c_str());
    double value = 12345;
    const char* end = common::parseDouble(text.data(), text.data() + text.size(), value);
    if (expectedLength == 0) {
        EXPECT_EQ(end, nullptr) << text;
        return;
    }
    ASSERT_NE(end, nullptr) << text;
    EXPECT_EQ(static_cast<std::size_t>(end - text.data()), expectedLength) << text;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected))
        << text << " gave " << value << ", strtod " << expected;
}

TEST(ParseDouble, EdgeCasesAsStrtod) {
    const char* cases[] = {"0",
                           "-0",
                           "+0",
                           "-0.0e5",
                           "0e999",
                           "0.000",
                           "1.",
                           ".5",
                           "-.5",
                           "+3",
                           "1e5",
                           "1E+05",
                           "1.e5",
                           "1e",
                           "1e+",
                           "1e-x",
                           "1.5e",
                           ".e5",
                           ".",
                           "-",
                           "+",
                           "+-1",
                           "-+1",
                           "--1",
                           "e5",
                           "9007199254740992",
                           "9007199254740993",
                           "-9007199254740993",
                           "1e22",
                           "1e23",
                           "1e-22",
                           "1e-23",
                           "123456789012345678",
                           "1234567890123456789",
                           "12345678901234567890",
                           "0.1234567890123456789",
                           "000000000000000000000001.5",
                           "0.0000000000000000000001",
                           "1.7976931348623157e308",
                           "1.7976931348623159e308",
                           "-1e309",
                           "1e-400",
                           "4.9e-324",
                           "2.4703282292062327e-324",
                           "2.2250738585072011e-308",
                           "2.2250738585072014e-308",
                           "inf",
                           "-inf",
                           "+INF",
                           "infinity",
                           "nan",
                           "0x1p3",
                           "-0x1.8p1",
                           "0x",
                           "0X10",
                           "12x",
                           "1.5,2",
                           "3.25)",
                           "7 8",
                           "1e0000000000000000000005",
                           "1e-99999999999",
                           "1e99999999999",
                           "00000000",
                           "12345678.87654321",
                           "99999999999999999999e-10"};
    for (const char* c : cases) expectAsStrtod(c);
}

TEST(ParseDouble, MillionsOfRandomNumbersAsStrtod) {
    // The shapes result files use: fixed and scientific, signs, 1 to 17 digits, points
    // anywhere (also first or last), exponents from -330 to +310.
    std::mt19937_64 rng(20240607);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::string text;
    for (int i = 0; i < 2000000; ++i) {
        text.clear();
        int sign = pick(0, 3);
        if (sign == 1) text += '-';
        if (sign == 2) text += '+';
        int digits = pick(1, 17);
        int point = pick(-1, digits);  // -1: no point
        bool zeros = pick(0, 7) == 0;  // leading zeros now and then
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + (zeros && d < digits / 2 ? 0 : pick(0, 9)));
        }
        if (point == digits) text += '.';
        if (pick(0, 2) > 0) {
            text += pick(0, 1) ? 'e' : 'E';
            int e = pick(0, 3) == 0 ? pick(-330, 310) : pick(-25, 25);
            if (e >= 0 && pick(0, 1)) text += '+';
            text += std::to_string(e);
        }
        expectAsStrtod(text);
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(ParseDouble, ShortestRoundTripTextOfRandomDoubles) {
    // Every double printed in its shortest form (up to 17 digits) reads back as itself.
    std::mt19937_64 rng(7);
    char text[64];
    for (int i = 0; i < 500000; ++i) {
        double d = std::bit_cast<double>(rng());
        if (!std::isfinite(d)) continue;
        auto [end, ec] = std::to_chars(text, text + sizeof text - 1, d);
        *end = '\0';
        expectAsStrtod(text);
        auto [end2, ec2] = std::to_chars(text, text + sizeof text - 1, d, std::chars_format::fixed);
        if (ec2 == std::errc()) {
            *end2 = '\0';
            expectAsStrtod(text);
        }
        if (::testing::Test::HasFailure()) return;
    }
}

// A random row of three to seven reals, mostly well formed, some with the faults that stop a
// scan: a blank before a comma, a missing value, letters, and some unusual but valid numbers.
std::string randomRow(std::mt19937_64& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    static const char* odd[] = {"inf", "-nan", "0x1p-3", "1e999", "1.2345678901234567890123",
                                ".5",  "1.",   "+7",     "-0",    "1e-330"};
    static const char* faults[] = {" ,", ",,", "x", "1e", "+-2", "", ";"};
    std::string row;
    int n = pick(3, 7);
    for (int k = 0; k < n; ++k) {
        if (k > 0) row += ',';
        int blanks = pick(0, 9) == 0 ? pick(1, 3) : 0;
        for (int b = 0; b < blanks; ++b) row += pick(0, 2) == 0 ? '\n' : ' ';
        int kind = pick(0, 99);
        if (kind < 3) {
            row += odd[pick(0, 9)];
        } else if (kind < 5) {
            row += faults[pick(0, 6)];
        } else {
            char buf[40];
            std::snprintf(buf, sizeof buf, pick(0, 1) ? "%.6e" : "%.9g",
                          std::uniform_real_distribution<double>(-1e4, 1e4)(rng));
            row += buf;
        }
    }
    return row + (pick(0, 3) == 0 ? "\r\n\n" : "\n");
}

TEST(TextScanner, ReadDoublesDoesWhatTheChainOfSingleReadsDoes) {
    // Enough rows for many block refills, so that rows, numbers and exponents are cut at
    // block ends while whole rows are read straight from the block.
    std::mt19937_64 rng(99);
    std::string text;
    while (text.size() < 600000) text += randomRow(rng);
    std::string path = writeTemp("rows", text);
    for (std::size_t block : {std::size_t{5000}, std::size_t{65536}}) {
        common::TextScanner rows(block), chain(block);
        ASSERT_TRUE(rows.open(path));
        ASSERT_TRUE(chain.open(path));
        long failures = 0;
        for (int count = 3; !chain.atEnd(); count = count == 7 ? 3 : count + 1) {
            double a[7], b[7];
            bool rowOk = rows.readDoubles(a, count);
            bool chainOk = true;
            int read = 0;
            for (int k = 0; k < count && chainOk; ++k) {
                chainOk = (k == 0 || chain.match(',')) && chain.readDouble(b[k]);
                if (chainOk) ++read;
            }
            ASSERT_EQ(rowOk, chainOk) << "at line " << chain.line();
            ASSERT_EQ(rows.offset(), chain.offset());
            ASSERT_EQ(rows.line(), chain.line());
            for (int k = 0; k < read; ++k)
                ASSERT_EQ(std::bit_cast<std::uint64_t>(a[k]), std::bit_cast<std::uint64_t>(b[k]));
            if (!chainOk) {
                ++failures;  // resynchronise both at the next line
                rows.skipLine();
                chain.skipLine();
            }
            rows.skipSpace();
            chain.skipSpace();
        }
        EXPECT_TRUE(rows.atEnd());
        EXPECT_GT(failures, 100);  // the faults were met, not skipped
    }
}

TEST(TextScanner, ReadDoublesOverALongBlankRunToTheBlockEnd) {
    // The row is read from a full block, but its last number starts just before the block
    // ends: "1.5e" | "-3" must not be taken for 1.5.
    constexpr std::size_t kBlock = 8192;
    std::string text = "0\n1," + std::string(kBlock - 8, ' ') + "1.5e-3\n";
    common::TextScanner s(kBlock);
    ASSERT_TRUE(s.open(writeTemp("cut", text)));
    double v[2] = {};
    ASSERT_TRUE(s.readDouble(v[0]));  // the first block is read
    s.skipSpace();
    ASSERT_TRUE(s.readDoubles(v, 2));
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[1], 1.5e-3);
    EXPECT_EQ(s.offset(), text.size() - 1);
}

}  // namespace

namespace {

// Everything a scanner reads from where it stands: items, their lines, and where it ends.
std::string readRest(common::TextScanner& s) {
    std::string out;
    double d = 0;
    for (;;) {
        s.skipSpace();
        if (s.atEnd()) break;
        if (s.readDouble(d)) {
            out += std::to_string(d) + "@" + std::to_string(s.line()) + " ";
        } else {
            out += static_cast<char>(s.peek());
            s.match(static_cast<char>(s.peek()));
        }
    }
    return out + s.where();
}

}  // namespace

TEST(TextScanner, SeekGoesOnAsIfReadFromTheStart) {
    // A file of many small blocks with every kind of line end; from each position one pass
    // passed, a scanner sent there reads the rest exactly as that pass read it.
    std::string text;
    const char* ends[] = {"\n", "\r", "\r\n", "\n\n"};
    for (int i = 0; i < 200; ++i) text += std::to_string(i * 0.25) + "," + ends[i % 4];
    text += "\r";  // the end of the file names the line before a final line end
    const std::string path = writeTemp("seek", text);
    // What one pass reads after its (i+1)-th number, and where it stood then.
    std::vector<common::TextScanner::Position> positions;
    std::vector<std::string> rests;
    for (int i = 0; i < 200; ++i) {
        common::TextScanner pass(64);
        ASSERT_TRUE(pass.open(path));
        double d = 0;
        for (int k = 0; k <= i; ++k) ASSERT_TRUE((k == 0 || pass.match(',')) && pass.readDouble(d));
        positions.push_back(pass.position());
        rests.push_back(readRest(pass));
    }
    common::TextScanner again(64);
    ASSERT_TRUE(again.open(path));
    for (std::size_t i : {199, 3, 150, 0, 77, 78, 1, 198}) {  // back and forth in one scanner
        ASSERT_TRUE(again.seek(positions[i]));
        EXPECT_EQ(again.offset(), positions[i].offset);
        EXPECT_EQ(readRest(again), rests[i]) << i;
    }
    EXPECT_NE(rests[199].find("at the end of the file (after line "), std::string::npos);
    // Line numbers count from what the position says.
    ASSERT_TRUE(again.seek({positions[10].offset, 1000, positions[10].last}));
    EXPECT_EQ(again.line(), 1000);
    EXPECT_FALSE(again.seek({text.size() + 1, 1, 0}));  // past the end
}

TEST(TextScanner, ReadAtAndSameFile) {
    const std::string path = writeTemp("at", "0123456789abcdef");
    common::TextScanner a, b, other;
    ASSERT_TRUE(a.open(path));
    ASSERT_TRUE(b.open(path));
    ASSERT_TRUE(other.open(writeTemp("other", "0123456789abcdef")));
    EXPECT_TRUE(a.sameFile(b));
    EXPECT_FALSE(a.sameFile(other));  // equal bytes, another file
    char buf[8] = {};
    EXPECT_EQ(a.readAt(12, buf, sizeof buf), 4u);
    EXPECT_EQ(std::string(buf, 4), "cdef");
    EXPECT_EQ(a.readAt(3, buf, 2), 2u);
    EXPECT_EQ(std::string(buf, 2), "34");
    ASSERT_TRUE(a.seek({5, 1, 0}));
    std::int32_t i = 0;
    EXPECT_TRUE(a.readInt(i));
    EXPECT_EQ(i, 56789);
    common::TextScanner closed;
    EXPECT_FALSE(closed.sameFile(a));
    EXPECT_EQ(closed.readAt(0, buf, 1), 0u);
}

// Stress reports: the exact fixed-width texts, rows in their orders, and numbers that ignore the
// user's locale.
#include "viewer/select/stress_report.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "tests/model/result_text.h"
#include "tests/support/line_ends.h"
#include "tests/support/skip.h"
#include "tests/support/temp_file.h"

namespace {

const std::string kHeader =
    "           Node             SX             SY             SZ            TXY            TXZ    "
    "        TYZ"
    "             SE\n";

// Four four-node shells around node 4 of a 3 × 3 grid of nodes, one three-node shell, and node
// 9 that no shell uses. Stresses: Sx = 1.5, Sy = -2, Sz = 0, Txy = 0.25, Txz = 0, Tyz = 0, and
// Se = 100·e + 10·k + layer (+ 5000 for the three-node shell).
quillon::ResultModel grid() {
    testsupport::ResultText r;
    r.nodes = {"0,0,0", "1,0,0", "2,0,0", "0,1,0", "1,1,0",
               "2,1,0", "0,2,0", "1,2,0", "2,2,0", "5,5,5"};
    r.disps.assign(10, "0,0,0,0,0,0");
    r.disps[0] = "0,0,1,0,0,0";
    r.quads = {"0,1,4,3", "1,2,5,4", "3,4,7,6", "4,5,8,7"};
    r.tris = {"4,8,9"};
    quillon::ResultModel m;
    EXPECT_TRUE(m.loadResultFile(testsupport::writeFile("grid.txt", r.text())).ok());
    return m;
}

std::string row(const char* node, const char* se) {
    auto field = [](std::string s) { return std::string(15 - s.size(), ' ') + s; };
    return std::string(14 - std::strlen(node), ' ') + node + ":" + field("1.5") + field("-2") +
           field("0") + field("0.25") + field("0") + field("0") + field(se) + "\n";
}

TEST(StressReport, NodeReportListsEveryShellCornerOfTheSelectedNodesInElementOrder) {
    quillon::ResultModel m = grid();
    m.selNode.assign(10, 0);
    EXPECT_EQ(quillon::NodeStressReportText(m), kHeader);
    EXPECT_EQ(kHeader.size(), 121u);
    m.selNode[4] = 1;  // in all four squares (as corner 2, 3, 1, 0) and the triangle (corner 0)
    m.selNode[9] = 1;  // in the triangle only
    m.selNode[6] = 1;
    std::string expected = kHeader + row("4", "20") + row("4", "21") + row("4", "130") +
                           row("4", "131") + row("4", "210") + row("4", "211") + row("4", "300") +
                           row("4", "301") + row("4", "5000") + row("4", "5001") + row("6", "230") +
                           row("6", "231") + row("9", "5020") + row("9", "5021");
    EXPECT_EQ(quillon::NodeStressReportText(m), expected);
}

TEST(StressReport, ElementReportGivesTitleHeaderAndRowsWithGlobalNodeIndices) {
    quillon::ResultModel m = grid();
    m.selQuad = {0, 0, 0, 1};
    m.selTri = {1};
    std::string expected = "Four-node shell element:3\n" + kHeader + row("4", "300") +
                           row("4", "301") + row("5", "310") + row("5", "311") + row("8", "320") +
                           row("8", "321") + row("7", "330") + row("7", "331") +
                           "Three-nodes shell element:0\n" + kHeader + row("4", "5000") +
                           row("4", "5001") + row("8", "5010") + row("8", "5011") +
                           row("9", "5020") + row("9", "5021");
    EXPECT_EQ(quillon::ElementStressReportText(m), expected);
    m.selQuad.assign(4, 0);
    m.selTri.assign(1, 0);
    EXPECT_EQ(quillon::ElementStressReportText(m), "");
}

TEST(StressReport, NumbersAsPercentGWithSixDigitsInAnyLocale) {
    quillon::ResultModel m = grid();
    m.selQuad = {1, 0, 0, 0};
    m.selTri = {0};
    double values[] = {0, 2.5e8, 3.25e-5, -1234567.0, 123456.0, 0.0001, 1e-300};
    for (int c = 0; c < 7; ++c) m.quadStress[static_cast<std::size_t>(c)] = values[c];
    auto expectRow = [&](const std::string& report) {
        std::string line = report.substr(report.find('\n', report.find('\n') + 1) + 1);
        line = line.substr(0, line.find('\n'));
        EXPECT_EQ(line,
                  "             0:              0        2.5e+08       3.25e-05   -1.23457e+06     "
                  "    123456"
                  "         0.0001         1e-300");
    };
    expectRow(quillon::ElementStressReportText(m));

#if !defined(_WIN32)  // localedef and LOCPATH are glibc's
    // Under a locale whose decimal mark is a comma the numbers stay the same.
    auto locales = testsupport::testDir() / "locales";
    std::filesystem::create_directories(locales);
    std::string make =
        "localedef -i de_DE -f UTF-8 '" + (locales / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) {
        SKIP_OR_FAIL_IN_CI() << "localedef could not make de_DE.UTF-8";
    }
    setenv("LOCPATH", locales.c_str(), 1);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 2.5);
    EXPECT_STREQ(probe, "2,5");  // the locale is in force
    m.quadStress[0] = 2.5;
    std::string report = quillon::ElementStressReportText(m);
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    EXPECT_NE(report.find("            2.5        2.5e+08"), std::string::npos) << report;
#endif
}

TEST(StressReport, WritingReplacesTheReportOrLeavesItAsItWas) {
    quillon::ResultModel m = grid();
    auto path = (testsupport::testDir() / "SelectedNodeStress.txt").string();
    common::Outcome written = quillon::WriteNodeStressReport(m, path);
    ASSERT_TRUE(written.ok()) << written.failure().detail;
    EXPECT_EQ(testsupport::readFile(path),
              testsupport::asTextFile(quillon::NodeStressReportText(m)));
    m.selNode.assign(10, 0);
    ASSERT_TRUE(quillon::WriteNodeStressReport(m, path).ok());
    EXPECT_EQ(testsupport::readFile(path), testsupport::asTextFile(kHeader));
    written =
        quillon::WriteElementStressReport(m, (testsupport::testDir() / "no" / "r.txt").string());
    EXPECT_FALSE(written.ok());
    const std::string& why = written.failure().detail;
    EXPECT_NE(why.find("No such file or directory"), std::string::npos) << why;
}

}  // namespace

// Writing model files: the exact text, labels against positions, number notation, the
// locale, and that a failed write leaves everything as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <locale>

#include "tests/tool/tool_test_support.h"
#include "tool/pre_model.h"

namespace {

using tarvik::PreModel;
using tarvik_test::CapturedMessages;
using tarvik_test::ModelText;
using tarvik_test::ReadText;
using tarvik_test::TempDir;
using tarvik_test::WriteText;

// Reads `text` and writes the model again; returns the written text.
std::string Rewrite(const std::string& text, const TempDir& dir) {
    CapturedMessages messages;
    PreModel m;
    WriteText(dir.file("in.txt"), text);
    EXPECT_TRUE(tarvik::ReadPreModel(m, dir.file("in.txt"), messages.output))
        << messages.warnings();
    EXPECT_TRUE(tarvik::WritePreModel(m, dir.file("out.txt"), messages.output))
        << messages.warnings();
    EXPECT_EQ(messages.warnings(), "");
    return ReadText(dir.file("out.txt"));
}

TEST(PreModelWriter, ExampleComesBackByteForByte) {
    TempDir dir;
    std::string example = ReadText(tarvik_test::ExampleModelPath());
    ASSERT_FALSE(example.empty());
    std::string once = Rewrite(example, dir);
    EXPECT_EQ(once, example);
    EXPECT_EQ(Rewrite(once, dir), once);
}

TEST(PreModelWriter, PositionsReplaceDiscardedLabels) {
    TempDir dir;
    std::string in = ModelText({{"NMT", "1\n#7:\nE=210000000000\nMu=0.30\n"},
                                {"NGPT", "3\n10:0,0,0\n11:1,0,0\n12:1,1,0\n"},
                                {"NPG", "1\n9[3]:0,1,2[4,5]\n"},
                                {"NBL",
                                 "1\n8:2,0<0,0,1>[0,BeamSecType=1,BeamSecIndex=2,BeamSecOz=0.25,"
                                 "BeamSecMirrored=7]\n"},
                                {"NDL_PG", "1\n33:1,2,3\n"},
                                {"NDL_BL", "1\n34:1,2\n"},
                                {"NPOIN", "4\n4:0,0,0\n5:0,0,0\n6:0,0,0\n7:1,2,3\n"},
                                {"NELEM_S_4ND", "1\n20:4,5,6,7[2]\n"},
                                {"NELEM_S_3ND", "1\n21:4,5,6[3]\n"},
                                {"NELEM_B", "1\n22:4,7[1]\n"},
                                {"NELEM_G", "1\n23:1,2,3\n"},
                                {"NRN", "1\n35:1  1\t1 0 0    0\n"},
                                {"NFOR", "1\n36<1,2,3,4,5,6.0000049>\n"}});
    std::string out = Rewrite(in, dir);
    EXPECT_EQ(out,
              "### Halvo R2.00 ###\n"
              "Number of materials:NMT=1\n#0:\nE=2.1e+11\nMu=0.3\n"
              "Number of thicknesses:NTK=0\n"
              "Number of T_beam sections:NTBS=0\n"
              "Number of L_beam sections:NLBS=0\n"
              "Number of C_beam sections:NCBS=0\n"
              "Number of geometric points:NGPT=3\n"
              "0:0.00000,0.00000,0.00000\n1:1.00000,0.00000,0.00000\n2:1.00000,1.00000,0.00000\n"
              "Number of polygons:NPG=1\n0[3]:10,11,12[4,5]\n"
              "Number of beam lines:NBL=1\n"
              "0:12,10<0.00000,0.00000,1.00000>[0,BeamSecType=1,BeamSecIndex=2,"
              "BeamSecOz=0.25000,BeamSecMirrored=1]\n"
              "Number of distributed loads of polygons:NDL_PG=1\n33:1.00000,2.00000,3.00000\n"
              "Number of distributed loads of beamlines:NDL_BL=1\n34:1.00000,2.00000\n"
              "Number of nodal points:NPOIN=4\n0:0.00000,0.00000,0.00000\n"
              "1:0.00000,0.00000,0.00000\n2:0.00000,0.00000,0.00000\n3:1.00000,2.00000,3.00000\n"
              "Number of four-nodes shell elements:NELEM_S_4ND=1\n0:4,5,6,7[2]\n"
              "Number of three-nodes shell elements:NELEM_S_3ND=1\n0:4,5,6[3]\n"
              "Number of beam elements:NELEM_B=1\n0:4,7[1]\n"
              "Number of glue elements:NELEM_G=1\n0:1,2,3\n"
              "Number of restricted nodal points:NRN=1\n35:1 1 1 0 0 0\n"
              "Number of forces:NFOR=1\n36<1.00000,2.00000,3.00000,4.00000,5.00000,6.00000>\n"
              "###end###\n");
}

TEST(PreModelWriter, NumberNotationAndCounts) {
    TempDir dir;
    std::string out =
        Rewrite(ModelText({{"NTK", "2\n#anything at all\nTK=0.0123456789\n#\nTK=1234567\n"},
                           {"NCBS", "1\n#0:\nR=1e-7\nT=-0\n"},
                           {"NGPT", "1\n0:1.234567,-0.0000049,123456.123456\n"},
                           {"NPOIN", "-2\n"},
                           {"NELEM_G", "-1\n"}}),
                dir);
    EXPECT_NE(out.find("Number of thicknesses:NTK=2\n#0:\nTK=0.0123457\n#1:\nTK=1.23457e+06\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("#0:\nR=1e-07\nT=-0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\n0:1.23457,-0.00000,123456.12346\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Number of nodal points:NPOIN=-2\nNumber of four"), std::string::npos);
    EXPECT_NE(out.find("Number of glue elements:NELEM_G=-1\nNumber of restricted"),
              std::string::npos);
}

// A numeric format with a comma and digit grouping in the global C++ locale, and a non-C C
// locale when one can be made, must not reach the file.
TEST(PreModelWriter, NumbersIgnoreTheLocale) {
    struct CommaNumbers : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    TempDir dir;
    std::string expected = Rewrite(ReadText(tarvik_test::ExampleModelPath()), dir);
    std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    std::string text = Rewrite(ReadText(tarvik_test::ExampleModelPath()), dir);
    std::locale::global(saved);
    EXPECT_EQ(text, expected);
    // The writer leaves the C library's numbers in the classic format.
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(PreModelWriter, OpenFailureWarnsTwiceAndCreatesNothing) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    EXPECT_FALSE(tarvik::WritePreModel(m, dir.file("missing/out.txt"), messages.output));
    std::string w = messages.warnings();
    EXPECT_EQ(w.rfind("tarvik: Warning! 文件保存失败!\n"
                      "tarvik: Warning! 有可能是当前存储介质无法写入,建议更换保存路径.\n",
                      0),
              0u)
        << w;
    EXPECT_EQ(dir.listing(), "");
}

TEST(PreModelWriter, OutputThatCannotBeReplacedStaysAndNoTemporaryFileRemains) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("out"));
    WriteText(dir.file("out/keep.txt"), "kept");
    CapturedMessages messages;
    PreModel m;
    EXPECT_FALSE(tarvik::WritePreModel(m, dir.file("out"), messages.output));
    EXPECT_NE(messages.warnings().find("文件保存失败!"), std::string::npos);
    EXPECT_EQ(dir.listing(), "out\n");
    EXPECT_EQ(ReadText(dir.file("out/keep.txt")), "kept");
}

TEST(PreModelWriter, ModeOfNewAndReplacedFiles) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    mode_t savedMask = umask(022);
    EXPECT_TRUE(tarvik::WritePreModel(m, dir.file("new.txt"), messages.output));
    umask(077);
    EXPECT_TRUE(tarvik::WritePreModel(m, dir.file("private.txt"), messages.output));
    WriteText(dir.file("old.txt"), "old");
    chmod(dir.file("old.txt").c_str(), 0640);
    umask(022);
    EXPECT_TRUE(tarvik::WritePreModel(m, dir.file("old.txt"), messages.output));
    umask(savedMask);

    auto mode = [&](const char* name) {
        struct stat st {};
        EXPECT_EQ(stat(dir.file(name).c_str(), &st), 0);
        return st.st_mode & 07777;
    };
    EXPECT_EQ(mode("new.txt"), 0644u);
    EXPECT_EQ(mode("private.txt"), 0600u);
    EXPECT_EQ(mode("old.txt"), 0640u);
    EXPECT_EQ(ReadText(dir.file("old.txt")).rfind("### Halvo R2.00 ###\n", 0), 0u);
}

TEST(PreModelWriter, SymbolicLinkStaysALink) {
    TempDir dir;
    WriteText(dir.file("target.txt"), "old");
    std::filesystem::create_symlink("target.txt", dir.file("link.txt"));
    CapturedMessages messages;
    PreModel m;
    EXPECT_TRUE(tarvik::WritePreModel(m, dir.file("link.txt"), messages.output));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(ReadText(dir.file("target.txt")).rfind("### Halvo R2.00 ###\n", 0), 0u);
    EXPECT_EQ(dir.listing(), "link.txt\ntarget.txt\n");
}

}  // namespace

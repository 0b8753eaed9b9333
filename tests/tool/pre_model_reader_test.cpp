// Reading model files: the scan rules, the header check, grammar failures with line numbers,
// point numbers out of range and the polygon without vertices.
#include <gtest/gtest.h>

#include "tests/support/line_ends.h"
#include "tests/tool/tool_test_support.h"
#include "tool/pre_model.h"

namespace {

using tarvik::PreModel;
using tarvik_test::CapturedMessages;
using tarvik_test::ModelText;
using tarvik_test::TempDir;
using tarvik_test::WriteText;

// Reads `text` from a file; the messages stay in `messages`.
bool ReadFromText(const std::string& text, PreModel& model, CapturedMessages& messages,
                  const TempDir& dir) {
    std::string path = dir.file("in.txt");
    WriteText(path, text);
    return tarvik_test::ReadAsTarvik(model, path, messages.output);
}

// Every field reaches the writer (the byte-for-byte rewrite of the example shows that); here
// only what the writer cannot show: the coordinates copied into polygons and beam lines.
TEST(PreModelReader, PolygonsAndBeamLinesHoldCopiesOfTheirPoints) {
    CapturedMessages messages;
    PreModel m;
    ASSERT_TRUE(tarvik_test::ReadAsTarvik(m, tarvik_test::ExampleModelPath(), messages.output));
    EXPECT_EQ(messages.warnings(), "");
    const tarvik::Polygon& pg = m.polygons.records[1];
    ASSERT_EQ(pg.vertices.size(), 4u);
    EXPECT_DOUBLE_EQ(pg.vertices[1].x, 2.0);              // point 1
    EXPECT_DOUBLE_EQ(pg.vertices[2].y, 1.0);              // point 2
    EXPECT_DOUBLE_EQ(m.beamLines.records[0].end.x, 1.0);  // point 5
    EXPECT_DOUBLE_EQ(m.beamLines.records[0].end.y, 1.0);
}

TEST(PreModelReader, HeaderVersionMustBeTwo) {
    TempDir dir;
    for (const char* header : {"### Halvo R2 ###\n", "### Halvo R2.00 ###\n",
                               "### Halvo R2.000 ###\n", "###   Halvo\tR 2.00###\r\n"}) {
        CapturedMessages messages;
        PreModel m;
        EXPECT_TRUE(ReadFromText(ModelText({}, header), m, messages, dir)) << header;
        EXPECT_EQ(messages.warnings(), "");
    }
    for (const char* header : {"### Halvo R2.01 ###\n", "### Halvo R1.99 ###\n",
                               "### Halvo R2.00 ##\n", "## Halvo R2.00 ###\n", ""}) {
        CapturedMessages messages;
        PreModel m;
        EXPECT_FALSE(ReadFromText(ModelText({}, header), m, messages, dir)) << header;
        EXPECT_EQ(messages.warnings(), "tarvik: Warning! 前处理文本文件版本错误!\n") << header;
    }
}

TEST(PreModelReader, MissingFileWarnsAndLeavesTheModelEmpty) {
    CapturedMessages messages;
    PreModel m;
    m.nodalPoints.count = 1;
    m.nodalPoints.records.resize(1);
    EXPECT_FALSE(tarvik_test::ReadAsTarvik(m, "/nonexistent/dir/model.txt", messages.output));
    EXPECT_EQ(messages.warnings(), "tarvik: Warning! 单元信息文件读取错误!\n");
    EXPECT_EQ(m.nodalPoints.count, 0);
    EXPECT_TRUE(m.nodalPoints.records.empty());

    TempDir dir;  // a folder opens but cannot be read
    CapturedMessages again;
    EXPECT_FALSE(tarvik_test::ReadAsTarvik(m, dir.path().string(), again.output));
    EXPECT_EQ(again.warnings(), "tarvik: Warning! 单元信息文件读取错误!\n");
}

TEST(PreModelReader, ScanRulesForWhiteSpace) {
    TempDir dir;
    // CR LF line ends, blank lines between records, tabs before numbers, a position line with
    // any text, restraint integers separated by several blanks, signs on numbers.
    std::string text =
        ModelText({{"NMT", "1\r\n\r\n#whatever text 99 \r\nE=  +2.1E11\r\nMu=0.3\r\n\r\n"},
                   {"NGPT", " 2\r\n10:1.5,-2,3e-1\r\n\r\n\r\n11:\t4,5,6\r\n"},
                   {"NRN", "1\n7:1    0\t\t1 0 -1\n\n  0\n"},
                   {"NPOIN", "-2\n"}});
    CapturedMessages messages;
    PreModel m;
    ASSERT_TRUE(ReadFromText(text, m, messages, dir)) << messages.warnings();
    EXPECT_DOUBLE_EQ(m.materials.records[0].E, 2.1e11);
    EXPECT_DOUBLE_EQ(m.materials.records[0].Mu, 0.3);
    ASSERT_EQ(m.geoPoints.records.size(), 2u);
    EXPECT_EQ(m.geoPoints.records[0].label, 10);
    EXPECT_DOUBLE_EQ(m.geoPoints.records[0].y, -2.0);
    EXPECT_DOUBLE_EQ(m.geoPoints.records[0].z, 0.3);
    EXPECT_DOUBLE_EQ(m.geoPoints.records[1].x, 4.0);
    const tarvik::RestrictedNode& rn = m.restrictedNodes.records[0];
    EXPECT_EQ(rn.label, 7);
    EXPECT_EQ(rn.value[4], -1);
    EXPECT_EQ(rn.value[5], 0);
    EXPECT_EQ(m.nodalPoints.count, -2);
    EXPECT_TRUE(m.nodalPoints.records.empty());
}

// The first failure names the file, the 1-based line and what was expected; the model is
// left empty.
TEST(PreModelReader, GrammarFailuresNameTheLine) {
    struct Case {
        std::map<std::string, std::string> body;
        std::string message;
    };
    const Case cases[] = {
        // An empty section takes one line: the header is line 1, NMT line 2, NGPT line 7.
        {{{"NGPT", "1\n0:1 ,2,3\n"}}, "line 8: expected \",\" in NGPT record 0"},
        {{{"NTK", "1\n#0:\n\nTK=1\n"}}, "line 5: expected \"TK=\" in NTK record 0"},
        {{{"NTK", "x\n"}}, "line 3: expected an integer in the count line of NTK"},
        {{{"NPOIN", "1\n0:1,2\n"}}, "line 13: expected \",\" in NPOIN record 0"},
        {{{"NELEM_B", "1\n0:1.5,2[0]\n"}}, "line 16: expected \",\" in NELEM_B record 0"},
        {{{"NFOR", "1\n0<1,2,3,4,5,6]\n"}}, "line 19: expected \">\" in NFOR record 0"},
        {{{"NMT", "1\n#0:\nE=1\n"}}, "line 5: expected \"Mu=\" in NMT record 0"},
    };
    TempDir dir;
    // CR, LF and CR LF each end one line (also the position lines the reader skips).
    for (const char* end : {"\n", "\r", "\r\n"}) {
        SCOPED_TRACE(end[1] ? "CR LF" : end[0] == '\r' ? "CR" : "LF");
        for (const Case& c : cases) {
            CapturedMessages messages;
            PreModel m;
            std::string path = dir.file("in.txt");
            WriteText(path, testsupport::withLineEnds(ModelText(c.body), end));
            EXPECT_FALSE(tarvik_test::ReadAsTarvik(m, path, messages.output));
            EXPECT_EQ(messages.warnings(), "tarvik: Warning! " + path + " " + c.message + "\n");
            EXPECT_EQ(m.geoPoints.count, 0);
            EXPECT_TRUE(m.geoPoints.records.empty());
        }
    }
}

TEST(PreModelReader, EndOfFileInsideASection) {
    TempDir dir;
    std::string path = dir.file("in.txt");
    std::string text = ModelText({{"NGPT", "3\n0:0,0,0\n1:1,1,1\n"}});
    text = text.substr(0, text.find("Number of polygons"));
    for (const char* end : {"\n", "\r", "\r\n"}) {
        WriteText(path, testsupport::withLineEnds(text, end));
        CapturedMessages messages;
        PreModel m;
        EXPECT_FALSE(tarvik_test::ReadAsTarvik(m, path, messages.output));
        // The last line is the one before the final line end.
        EXPECT_EQ(messages.warnings(),
                  "tarvik: Warning! " + path +
                      " at the end of the file (after line 9): expected an integer in NGPT "
                      "record 2\n");
    }

    // Without a final line end, the line the end is on.
    WriteText(path, text + "2:5,5");
    CapturedMessages cut;
    PreModel m;
    EXPECT_FALSE(tarvik_test::ReadAsTarvik(m, path, cut.output));
    EXPECT_EQ(cut.warnings(), "tarvik: Warning! " + path +
                                  " at the end of the file (after line 10): expected \",\" in "
                                  "NGPT record 2\n");

    // The position line itself missing at the end.
    WriteText(path, "### Halvo R2.00 ###\nNumber of materials:NMT=1\n");
    CapturedMessages again;
    EXPECT_FALSE(tarvik_test::ReadAsTarvik(m, path, again.output));
    EXPECT_NE(
        again.warnings().find("at the end of the file (after line 2): expected a position line"),
        std::string::npos)
        << again.warnings();
}

TEST(PreModelReader, PointNumbersMustIndexGeometricPoints) {
    TempDir dir;
    const std::pair<std::map<std::string, std::string>, std::string> cases[] = {
        {{{"NGPT", "2\n0:0,0,0\n1:0,0,0\n"}, {"NPG", "1\n0[3]:0,1,2[0,0]\n"}},
         "line 11: expected a geometric point number from 0 to 1, found 2 in NPG record 0"},
        {{{"NGPT", "2\n0:0,0,0\n1:0,0,0\n"}, {"NPG", "1\n0[2]:-1,1[0,0]\n"}},
         "line 11: expected a geometric point number from 0 to 1, found -1 in NPG record 0"},
        {{{"NGPT", "2\n0:0,0,0\n1:0,0,0\n"},
          {"NBL",
           "1\n0:1,2<0,0,1>[0,BeamSecType=0,BeamSecIndex=0,BeamSecOz=0,"
           "BeamSecMirrored=0]\n"}},
         "line 12: expected a geometric point number from 0 to 1, found 2 in NBL record 0"},
        {{{"NGPT", "-2\n"},
          {"NBL",
           "1\n0:0,0<0,0,1>[0,BeamSecType=0,BeamSecIndex=0,BeamSecOz=0,"
           "BeamSecMirrored=0]\n"}},
         "line 10: expected a geometric point number, but NGPT=0, found 0 in NBL record 0"},
    };
    for (const auto& [body, message] : cases) {
        CapturedMessages messages;
        PreModel m;
        std::string path = dir.file("in.txt");
        WriteText(path, ModelText(body));
        EXPECT_FALSE(tarvik_test::ReadAsTarvik(m, path, messages.output));
        EXPECT_EQ(messages.warnings(), "tarvik: Warning! " + path + " " + message + "\n");
    }
}

TEST(PreModelReader, PolygonWithoutVerticesIsFatal) {
    TempDir dir;
    for (const char* count : {"0", "-3"}) {
        CapturedMessages messages;
        PreModel m;
        std::string body = std::string("1\n0[") + count + "]:[0,0]\n";
        EXPECT_FALSE(ReadFromText(ModelText({{"NPG", body}}), m, messages, dir));
        EXPECT_EQ(messages.console(), "错误:PGPtNum<=0\n");
        EXPECT_EQ(messages.warnings(), "");
    }
}

// A damaged count must not make the reader ask for memory the file cannot fill.
TEST(PreModelReader, HugeCountInASmallFileFailsCleanly) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    EXPECT_FALSE(ReadFromText(ModelText({{"NPOIN", "2000000000\n0:1,2,3\n"},
                                         {"NGPT", "1\n0:0,0,0\n"},
                                         {"NPG", "1\n0[2147483647]:0,0[0,0]\n"}}),
                              m, messages, dir));
    EXPECT_NE(messages.warnings().find("expected \",\" in NPG record 0"), std::string::npos)
        << messages.warnings();
    CapturedMessages again;
    EXPECT_FALSE(ReadFromText(ModelText({{"NPOIN", "2000000000\n0:1,2,3\n"}}), m, again, dir));
    EXPECT_NE(again.warnings().find("in NPOIN record 1"), std::string::npos) << again.warnings();
}

TEST(PreModelReader, BeamSecMirroredIsAFlagAndLabelsAreKeptOrDiscarded) {
    TempDir dir;
    CapturedMessages messages;
    PreModel m;
    std::string text =
        ModelText({{"NGPT", "2\n10:0,0,0\n11:1,0,0\n"},
                   {"NBL",
                    "2\n5:1,0<0,0,1>[3,BeamSecType=2,BeamSecIndex=4,BeamSecOz=0.5,"
                    "BeamSecMirrored=7]\n6:0,1<0,0,1>[3,BeamSecType=2,BeamSecIndex=4,"
                    "BeamSecOz=0.5,BeamSecMirrored=0]\n"},
                   {"NDL_PG", "1\n42:1,2,3\n"}});
    ASSERT_TRUE(ReadFromText(text, m, messages, dir)) << messages.warnings();
    EXPECT_TRUE(m.beamLines.records[0].BeamSecMirrored);
    EXPECT_FALSE(m.beamLines.records[1].BeamSecMirrored);
    EXPECT_EQ(m.beamLines.records[0].start.label, 11);  // copy of the point at position 1
    EXPECT_EQ(m.beamLines.records[0].BeamSecIndex, 4);
    EXPECT_EQ(m.polygonLoads.records[0].label, 42);
}

}  // namespace

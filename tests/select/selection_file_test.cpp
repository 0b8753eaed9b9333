// Selection files: exact texts, round trips, what reading skips and where it stops, and files
// that cannot be read or written.
#include "viewer/select/selection_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/model/result_text.h"
#include "tests/support/line_ends.h"
#include "tests/support/temp_file.h"

namespace {

using quillon::ReadSelectionFile;
using quillon::ReadSelectionText;
using quillon::SelectionFileKind;
using quillon::SelectionFileText;

// Five nodes, three four-node shells, two three-node shells and two beams.
quillon::ResultModel model() {
    testsupport::ResultText r = testsupport::squareModel();
    r.quads = {"0,1,2,3", "0,1,2,3", "1,4,2,3"};
    r.tris = {"1,4,2", "0,1,2"};
    testsupport::BeamText b;
    b.points = {"0,0,0"};
    b.disps = {"0,0,0,0,0,0"};
    r.beams = {b, b};
    quillon::ResultModel m;
    EXPECT_TRUE(m.loadResultFile(testsupport::writeFile("model.txt", r.text())).ok());
    return m;
}

TEST(SelectionFile, TextsOfEveryKind) {
    quillon::ResultModel m = model();
    m.selQuad = {1, 0, 1};
    m.selTri = {0, 1};
    m.selBeam = {0, 1};
    m.selNode = {1, 0, 0, 0, 1};
    EXPECT_EQ(SelectionFileText(m, SelectionFileKind::Shells),
              "Number of selected four-nodes shell elements,NSF=2\n0\n2\n"
              "Number of selected three-nodes shell elements,NST=1\n1\n");
    EXPECT_EQ(SelectionFileText(m, SelectionFileKind::Beams), "1\n");
    EXPECT_EQ(SelectionFileText(m, SelectionFileKind::Nodes), "0\n4\n");
    m.selQuad.assign(3, 0);
    m.selTri.assign(2, 0);
    m.selBeam.assign(2, 0);
    EXPECT_EQ(SelectionFileText(m, SelectionFileKind::Shells),
              "Number of selected four-nodes shell elements,NSF=0\n"
              "Number of selected three-nodes shell elements,NST=0\n");
    EXPECT_EQ(SelectionFileText(m, SelectionFileKind::Beams), "");
}

TEST(SelectionFile, RoundTripsLeaveThePicksAlone) {
    quillon::ResultModel m = model();
    m.selQuad = {0, 1, 1};
    m.selTri = {1, 0};
    m.selBeam = {1, 0};
    m.selNode = {0, 1, 1, 0, 1};
    m.pickQuad = {1, 0, 0};
    m.pickNode = {0, 0, 0, 1, 0};
    const quillon::ResultModel before = m;
    for (auto kind :
         {SelectionFileKind::Shells, SelectionFileKind::Beams, SelectionFileKind::Nodes}) {
        auto path = (testsupport::testDir() / "selection.txt").string();
        ASSERT_TRUE(WriteSelectionFile(m, kind, path).ok());
        m.selQuad.assign(3, 1);
        m.selTri.assign(2, 0);
        m.selBeam.assign(2, 0);
        m.selNode.assign(5, 0);
        ASSERT_TRUE(ReadSelectionFile(m, kind, path).ok());
        if (kind == SelectionFileKind::Shells) {
            EXPECT_EQ(m.selQuad, before.selQuad);
            EXPECT_EQ(m.selTri, before.selTri);
        } else if (kind == SelectionFileKind::Beams) {
            EXPECT_EQ(m.selBeam, before.selBeam);
        } else {
            EXPECT_EQ(m.selNode, before.selNode);
        }
        m = before;
    }
    EXPECT_EQ(m.pickQuad, before.pickQuad);
    EXPECT_EQ(m.pickNode, before.pickNode);
}

TEST(SelectionFile, ReadingSkipsWhatTheModelHasNotAndTakesAnyWhiteSpace) {
    quillon::ResultModel m = model();
    // Out of range and repeated indices, CR LF and tabs, no final line end.
    auto r = ReadSelectionText(
        m, SelectionFileKind::Shells,
        "Number of selected four-nodes shell elements,NSF=4\r\n2\r\n7\r\n-1\t2\r\n"
        "Number of   selected three-nodes shell elements,NST=2 5 1");
    EXPECT_TRUE(r.ok()) << r.failure().detail;
    EXPECT_EQ(m.selQuad, (std::vector<std::uint8_t>{0, 0, 1}));
    EXPECT_EQ(m.selTri, (std::vector<std::uint8_t>{0, 1}));
    for (const char* text : {"", "\n", "  \r\n"}) {
        m.selBeam.assign(2, 1);
        EXPECT_TRUE(ReadSelectionText(m, SelectionFileKind::Beams, text).ok());
        EXPECT_EQ(m.selBeam, (std::vector<std::uint8_t>{0, 0})) << "an empty file selects nothing";
    }
    for (const char* text : {"1\n4\n99999999999999999999\n", "1 4"}) {
        EXPECT_TRUE(ReadSelectionText(m, SelectionFileKind::Nodes, text).ok());
        EXPECT_EQ(m.selNode, (std::vector<std::uint8_t>{0, 1, 0, 0, 1})) << text;
    }
}

TEST(SelectionFile, TextOffTheFormatStopsWhereItIsAndKeepsWhatWasRead) {
    quillon::ResultModel m = model();
    struct Case {
        SelectionFileKind kind;
        const char* text;
        const char* says;
    };
    for (const Case& c : std::vector<Case>{
             {SelectionFileKind::Nodes, "0\n3\nx7\n4\n", "line 3: expected a node index"},
             {SelectionFileKind::Nodes, "0\r3\r2.5\r", "line 3: expected a node index"},
             {SelectionFileKind::Beams, "1\n1e3\n", "line 2: expected a beam index"},
             {SelectionFileKind::Shells, "Number of selected shells=1\n0\n",
              "line 1: expected \"Number of selected four-nodes shell elements,NSF=N\""},
             {SelectionFileKind::Shells,
              "Number of selected four-nodes shell elements,NSF=3\n0\n1\n",
              "at the end of the file (after line 3): expected a four-node shell index"},
             {SelectionFileKind::Shells, "Number of selected four-nodes shell elements,NSF=1\n0\n",
              "at the end of the file (after line 2): expected \"Number of selected three-nodes "
              "shell "
              "elements,NST=N\""},
         }) {
        auto r = ReadSelectionText(m, c.kind, c.text);
        EXPECT_TRUE(r.failure().line) << c.text;  // stopped at a line
        EXPECT_EQ(r.failure().detail, c.says) << c.text;
    }
    // What came before the bad text is kept, nothing after it acted on.
    (void)ReadSelectionText(m, SelectionFileKind::Nodes, "0\n3\nx7\n4\n");
    EXPECT_EQ(m.selNode, (std::vector<std::uint8_t>{1, 0, 0, 1, 0}));
    (void)ReadSelectionText(m, SelectionFileKind::Shells,
                            "Number of selected four-nodes shell elements,NSF=3\n0\n1\n");
    EXPECT_EQ(m.selQuad, (std::vector<std::uint8_t>{1, 1, 0}));
    EXPECT_EQ(m.selTri, (std::vector<std::uint8_t>{0, 0}));
}

TEST(SelectionFile, FilesThatCannotBeReadOrWrittenChangeNothing) {
    quillon::ResultModel m = model();
    m.selNode = {1, 0, 1, 0, 1};
    auto missing = (testsupport::testDir() / "missing.txt").string();
    auto r = ReadSelectionFile(m, SelectionFileKind::Nodes, missing);
    EXPECT_TRUE(!r.ok() && !r.failure().line);  // could not be read
    EXPECT_EQ(r.failure().detail, missing + ": No such file or directory");
    r = ReadSelectionFile(m, SelectionFileKind::Nodes, testsupport::testDir().string());
    EXPECT_TRUE(!r.ok() && !r.failure().line);
    EXPECT_EQ(m.selNode, (std::vector<std::uint8_t>{1, 0, 1, 0, 1}));

    r = WriteSelectionFile(m, SelectionFileKind::Nodes,
                           (testsupport::testDir() / "no" / "such.txt").string());
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.failure().detail.find("No such file or directory"), std::string::npos)
        << r.failure().detail;
    // A good file that cannot be replaced stays as it was: here a folder stands in the way of
    // the temporary file's rename.
    auto good = testsupport::writeFile("good.txt", "2\n");
    EXPECT_TRUE(WriteSelectionFile(m, SelectionFileKind::Nodes, good).ok());
    EXPECT_EQ(testsupport::readFile(good), testsupport::asTextFile("0\n2\n4\n"));
    EXPECT_FALSE(
        WriteSelectionFile(m, SelectionFileKind::Nodes, testsupport::testDir().string()).ok());
}

}  // namespace

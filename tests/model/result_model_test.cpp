#include "viewer/model/result_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/text_scanner.h"
#include "tests/model/result_text.h"
#include "tests/support/line_ends.h"
#include "tests/support/temp_file.h"
#include "viewer/contour/stress_scale.h"
#include "viewer/platform/message.h"

namespace {

using common::Outcome;
using quillon::ResultModel;
using testsupport::ResultText;
using testsupport::squareModel;
using testsupport::writeFile;

// Collects the messages shown while it lives.
struct MessageLog {
    std::vector<std::string> texts;
    quillon::platform::MessagePresenter previous;
    MessageLog() {
        previous = quillon::platform::setMessagePresenter(
            [this](const std::string& text, const std::string& caption) {
                texts.push_back(caption + " " + text);
            });
    }
    ~MessageLog() { quillon::platform::setMessagePresenter(previous); }
};

Outcome load(ResultModel& m, const std::string& text) {
    return m.loadResultFile(writeFile("result.txt", text));
}

TEST(ResultReader, ReadsEveryRecordIntoItsPlace) {
    ResultModel m;
    ASSERT_TRUE(load(m, squareModel().text()).ok());
    EXPECT_EQ(m.nodeCount, 5);
    EXPECT_EQ(m.quadCount, 1);
    EXPECT_EQ(m.triCount, 1);
    EXPECT_EQ(m.beamCount, 0);
    EXPECT_EQ(m.quadNodes, (std::vector<std::int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(m.triNodes, (std::vector<std::int32_t>{1, 4, 2}));
    EXPECT_EQ(m.nodePos0[2].x, 2);
    EXPECT_EQ(m.nodePos0[2].y, 1);
    EXPECT_EQ(m.nodePos0[2].value, 1e-15);
    EXPECT_EQ(m.nodeDisp[1 * 6 + 3], 0.1);
    EXPECT_EQ(m.nodeDisp[1 * 6 + 5], 0.3);
    // Two stress lines per element node: the first is layer 0, the second layer 1.
    ASSERT_EQ(m.quadStress.size(), 56u);
    ASSERT_EQ(m.triStress.size(), 42u);
    for (int k = 0; k < 4; ++k)
        for (int l = 0; l < 2; ++l) {
            EXPECT_EQ(m.quadStress[quillon::stressIndex(4, l, k, 6)], 10 * k + l);
            EXPECT_EQ(m.quadStress[quillon::stressIndex(4, l, k, 0)], 1.5);
            EXPECT_EQ(m.quadStress[quillon::stressIndex(4, l, k, 3)], 0.25);
        }
    EXPECT_EQ(m.triStress[quillon::stressIndex(3, 1, 2, 6)], 5021);
    // Everything selected, nothing picked.
    EXPECT_EQ(m.selNode, std::vector<std::uint8_t>(5, 1));
    EXPECT_EQ(m.pickNode, std::vector<std::uint8_t>(5, 0));
    EXPECT_EQ(m.selQuad[0], 1);
    EXPECT_EQ(m.pickTri[0], 0);
}

TEST(ResultReader, DerivedValuesAfterALoad) {
    ResultModel m;
    ASSERT_TRUE(load(m, squareModel().text()).ok());
    // Largest extent 3, largest translation 0.5: the translation is drawn as 5 % of 3.
    EXPECT_DOUBLE_EQ(m.dispScale, 0.3);
    EXPECT_DOUBLE_EQ(m.meanShellEdge, (8 + std::sqrt(2.0)) / 7);
    EXPECT_EQ(m.meanBeamLength, 0);
    EXPECT_DOUBLE_EQ(m.nodePos[1].z, 0.15);
    EXPECT_DOUBLE_EQ(m.nodePos[3].y, 1 - 0.3 * 0.25);
    EXPECT_EQ(m.nodePos0[1].z, 0);  // as read stays
    // The box is taken before the magnification, over the positions as read.
    EXPECT_EQ(m.nodeBox, (quillon::Box6{0, 3, 0, 1, 0, 0}));
    double lo, hi;
    quillon::SelectedStressRange(m, quillon::kSe, lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 5021);

    m.deformed = false;
    m.updateDisplayedPositions();
    EXPECT_EQ(m.nodePos[1].z, 0);
    m.deformed = true;
    m.dispScale = 0;
    m.updateDisplayedPositions();
    EXPECT_EQ(m.nodePos[1].z, 0);
    EXPECT_EQ(m.nodePos[3].y, 1);
}

TEST(ResultReader, WhiteSpaceRules) {
    // Blank lines and blanks before numbers are fine between items, CR LF too.
    std::string loose = squareModel().text();
    std::string spaced;
    for (char c : loose) {
        if (c == '\n')
            spaced += "\r\n\n";
        else if (c == ',')
            spaced += ",  ";
        else
            spaced += c;
    }
    ResultModel m;
    Outcome st = load(m, spaced);
    ASSERT_TRUE(st.ok()) << st.failure().message;
    EXPECT_EQ(m.triNodes, (std::vector<std::int32_t>{1, 4, 2}));
    EXPECT_EQ(m.triStress[quillon::stressIndex(3, 1, 2, 6)], 5021);

    // A blank between a number and the following comma is not.
    std::string text = squareModel().text();
    std::string blankBeforeComma = text;
    blankBeforeComma.replace(blankBeforeComma.find("2,0,0\n"), 6, "2 ,0,0\n");
    st = load(m, blankBeforeComma);
    EXPECT_FALSE(st.ok());
    EXPECT_EQ(st.failure().message, "line 3: expected node coordinates x,y,z");

    // The file must begin with the key itself.
    st = load(m, "\n" + text);
    EXPECT_FALSE(st.ok());
    EXPECT_EQ(st.failure().message, "line 1: expected NPOIN=<count>");
    st = load(m, " " + text);
    EXPECT_EQ(st.failure().message, "line 1: expected NPOIN=<count>");

    // Anything after the last beam is not read.
    st = load(m, text + "trailing words 1,2,3\n");
    EXPECT_TRUE(st.ok()) << st.failure().message;
}

TEST(ResultReader, FilesThatDoNotFollowTheLayoutNameTheLine) {
    const std::string text = squareModel().text();  // line 12 is NELEM_S_4ND=1
    struct Case {
        std::string from, to, message;
    };
    std::vector<Case> cases = {
        {"NELEM_S_4ND=1", "NELEM_S4ND=1", "line 12: expected NELEM_S_4ND=<count>"},
        {"NELEM_S_4ND=1", "NELEM_S_4ND=-1",
         "line 12: NELEM_S_4ND=-1 is negative, expected a count of 0 or more"},
        {"0,1,2,3\n", "0,1,5,3\n", "line 13: node index 5 is outside 0..4"},
        {"0,1,2,3\n", "0,-1,2,3\n", "line 13: node index -1 is outside 0..4"},
        {"0,1,2,3\n", "0;1,2,3\n", "line 13: expected four node indices a,b,c,d"},
        {"NELEM_S_3ND=1", "NELEM_S_3ND=x", "line 22: expected NELEM_S_3ND=<count>"},
        {"NELEM_B=0", "NELEM_B=2000000000",
         "line 30: NELEM_B=2000000000 is more than the file can hold"},
        {"3,0,0\n", "3,0,abc\n", "line 6: expected node coordinates x,y,z"},
    };
    // CR, LF and CR LF each end one line: the same lines are named whichever the file uses.
    for (const char* end : {"\n", "\r", "\r\n"}) {
        SCOPED_TRACE(end[1] ? "CR LF" : end[0] == '\r' ? "CR" : "LF");
        for (const Case& c : cases) {
            std::string bad = text;
            auto at = bad.find(c.from);
            ASSERT_NE(at, std::string::npos) << c.from;
            bad.replace(at, c.from.size(), c.to);
            ResultModel m;
            Outcome st = load(m, testsupport::withLineEnds(bad, end));
            EXPECT_FALSE(st.ok()) << c.to;
            EXPECT_EQ(st.failure().message, c.message);
            EXPECT_EQ(st.failure().line, std::stol(c.message.substr(5))) << "the line as a number";
        }
        // The end of the file inside a record names the last line the file has: the one
        // before a final line end, else the one the end is on.
        ResultModel m;
        std::string cut = text.substr(0, text.find("NELEM_S_3ND"));
        Outcome st = load(m, testsupport::withLineEnds(cut, end));
        EXPECT_EQ(st.failure().message,
                  "at the end of the file (after line 21): expected NELEM_S_3ND=<count>");
        EXPECT_EQ(st.failure().line, 21);
        cut = text.substr(0, text.find("NELEM_S_4ND") + 20);  // ends "0,1,2,"
        st = load(m, testsupport::withLineEnds(cut, end));
        EXPECT_EQ(st.failure().message,
                  "at the end of the file (after line 13): expected four node indices a,b,c,d");
    }
    ResultModel m;
    EXPECT_EQ(load(m, "").failure().message,
              "at the end of the file (the file is empty): expected NPOIN=<count>");
    EXPECT_FALSE(load(m, "").failure().line);
}

TEST(ResultReader, AFileOfManyBlocksPutsEveryValueInItsPlace) {
    // About 20 MB: rows meet the ends of the reader's blocks everywhere, in every position.
    // Each value must be what strtod makes of its text, in its element's layer and node.
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> real(-1e5, 1e5);
    char buf[40];
    auto number = [&](std::vector<std::string>& texts) {
        std::snprintf(buf, sizeof buf, texts.size() % 3 ? "%.6e" : "%.9g", real(rng));
        texts.push_back(buf);
        return texts.back();
    };
    std::vector<std::string> coords, stresses;
    std::string text = "NPOIN=4\n";
    for (int i = 0; i < 4; ++i) {
        for (int c = 0; c < 3; ++c) {
            if (c) text += ',';
            text += number(coords);
        }
        text += "\n";
    }
    for (int i = 0; i < 4; ++i) text += "0,0,1,0,0,0\n";
    const int quads = 20000;
    text += "NELEM_S_4ND=" + std::to_string(quads) + "\n";
    for (int e = 0; e < quads; ++e) {
        text += std::to_string(e % 4) + ",1,2,3\n";
        for (int line = 0; line < 8; ++line) {
            for (int c = 0; c < 7; ++c) {
                if (c) text += ',';
                text += number(stresses);
            }
            text += e % 97 == 0 ? "\r\n\n" : "\n";  // now and then a longer line end
        }
    }
    text += "NELEM_S_3ND=0\nNELEM_B=0\n";
    ASSERT_GT(text.size(), std::size_t{12} << 20);

    ResultModel m;
    Outcome st = load(m, text);
    ASSERT_TRUE(st.ok()) << st.failure().message;
    ASSERT_EQ(m.quadStress.size(), stresses.size());
    auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    auto parsed = [](const std::string& t) { return std::strtod(t.c_str(), nullptr); };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bits(m.nodePos0[i].x), bits(parsed(coords[3 * i])));
        EXPECT_EQ(bits(m.nodePos0[i].z), bits(parsed(coords[3 * i + 2])));
    }
    std::size_t next = 0;
    for (int e = 0; e < quads; ++e) {
        ASSERT_EQ(m.quadNodes[4 * static_cast<std::size_t>(e)], e % 4);
        const double* block = &m.quadStress[56 * static_cast<std::size_t>(e)];
        for (int k = 0; k < 4; ++k)
            for (int l = 0; l < 2; ++l)
                for (int c = 0; c < 7; ++c, ++next)
                    ASSERT_EQ(bits(block[quillon::stressIndex(4, l, k, c)]),
                              bits(parsed(stresses[next])))
                        << "element " << e << " node " << k << " layer " << l << ": "
                        << stresses[next];
    }
}

// Long numbers where the reader's first block (4 MiB) ends: a count with long leading
// zeros, and a real whose exponent sign lies just past the end. The files are a little
// larger than the largest block, so that it is the block they are read in.
TEST(ResultReader, LongNumbersAcrossTheEndOfTheFirstBlock) {
    constexpr std::size_t kFirstBlock = std::size_t{4} << 20;
    auto readInTheLargestBlock = [&](const std::string& text) {
        return common::TextScanner::blockSizeFor(text.size()) == kFirstBlock &&
               text.size() > kFirstBlock;
    };
    const std::string zeros(300, '0');
    const std::string head = "NPOIN=1\n0,0,0\n0,0,1,0,0,0\nNELEM_S_4ND=0\nNELEM_S_3ND=0\n";
    const std::string beam = "BEI=7\nSND(1,2,3)\nEND(4,5,6)\nNPOIN=0\nNELEM=0\n";
    // White space after a count may be as long as it likes: it moves the number to the end.
    auto at = [&](std::size_t start, const std::string& before) {
        return head + std::string(start - head.size() - before.size(), ' ') + before;
    };
    ResultModel m;
    // The zeros of the count start 200 bytes before the end of the block.
    std::string text = at(kFirstBlock - 200, "NELEM_B=") + zeros + "1\n" + beam;
    ASSERT_TRUE(readInTheLargestBlock(text));
    Outcome st = load(m, text);
    ASSERT_TRUE(st.ok()) << st.failure().message;
    ASSERT_EQ(m.beamCount, 1);
    EXPECT_EQ(m.beams[0].number, 7);

    // "1.000…000e" before the end of the block, "-3" after it.
    text = at(kFirstBlock - 303, "NELEM_B=1\nBEI=7\nSND(") + "1." + zeros + "e-3,2,3)\n" +
           beam.substr(beam.find("END"));
    ASSERT_EQ(text.substr(kFirstBlock - 1, 3), "e-3");
    ASSERT_TRUE(readInTheLargestBlock(text));
    st = load(m, text);
    ASSERT_TRUE(st.ok()) << st.failure().message;
    ASSERT_EQ(m.beamCount, 1);
    EXPECT_EQ(m.beams[0].start0.x, 1e-3);
    EXPECT_EQ(m.beams[0].start0.y, 2);
}

// A count needs at least as many bytes as its records take in their shortest form. Each
// floor is tried with more than 100,000 records of exactly that form, which must load, and
// with the smallest count that the file can no longer hold, which must be refused at once.
TEST(ResultReader, CountsAreCheckedAgainstTheShortestRecords) {
    const int n = 100001;
    auto repeat = [](const std::string& s, int times) {
        std::string out;
        out.reserve(s.size() * static_cast<std::size_t>(times));
        for (int i = 0; i < times; ++i) out += s;
        return out;
    };
    const std::string stressRow = "\n0,0,0,0,0,0,0";
    const std::string node = "\n0,0,0";  // and its displacement row below
    const std::string disp = "\n0,0,1,0,0,0";
    const std::string quad = "\n0,0,0,0" + repeat(stressRow, 8);
    const std::string tri = "\n0,0,0" + repeat(stressRow, 6);
    const std::string shortBeam = "BEI=0SND(0,0,0)END(0,0,0)NPOIN=0NELEM=0";
    ASSERT_EQ(shortBeam.size(), 39u);
    const std::string oneNode = "NPOIN=1" + node + disp;
    const std::string N = std::to_string(n);
    struct Case {
        std::string key;
        std::size_t recordBytes;
        std::string text;
    };
    const Case cases[] = {
        {"NPOIN", node.size() + disp.size(),
         "NPOIN=" + N + repeat(node, n) + repeat(disp, n) + "NELEM_S_4ND=0NELEM_S_3ND=0NELEM_B=0"},
        {"NELEM_S_4ND", quad.size(),
         oneNode + "NELEM_S_4ND=" + N + repeat(quad, n) + "NELEM_S_3ND=0NELEM_B=0"},
        {"NELEM_S_3ND", tri.size(),
         oneNode + "NELEM_S_4ND=0NELEM_S_3ND=" + N + repeat(tri, n) + "NELEM_B=0"},
        {"NELEM_B", shortBeam.size(),
         oneNode + "NELEM_S_4ND=0NELEM_S_3ND=0NELEM_B=" + N + repeat(shortBeam, n)},
        // The mesh points and cells of a beam have the floors of nodes and shells.
        {"NPOIN", node.size() + disp.size(),
         oneNode + "NELEM_S_4ND=0NELEM_S_3ND=0NELEM_B=1BEI=0SND(0,0,0)END(0,0,0)NPOIN=" + N +
             repeat(node, n) + repeat(disp, n) + "NELEM=0"},
        {"NELEM", quad.size(),
         oneNode + "NELEM_S_4ND=0NELEM_S_3ND=0NELEM_B=1BEI=0SND(0,0,0)END(0,0,0)NPOIN=1" + node +
             disp + "NELEM=" + N + repeat(quad, n)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + " in " + c.text.substr(0, 90));
        ResultModel m;
        Outcome st = load(m, c.text);
        ASSERT_TRUE(st.ok()) << st.failure().message;
        std::int32_t count = c.key == "NPOIN"         ? m.nodeCount
                             : c.key == "NELEM_S_4ND" ? m.quadCount
                             : c.key == "NELEM_S_3ND" ? m.triCount
                                                      : m.beamCount;
        if (c.text.find("NELEM_B=1BEI") != std::string::npos) {
            count = c.key == "NPOIN" ? m.beams.at(0).meshPointCount : m.beams.at(0).cellCount;
        }
        EXPECT_EQ(count, n);

        // The smallest count whose shortest records need more than the whole file.
        std::string more = std::to_string(c.text.size() / c.recordBytes + 1);
        ASSERT_EQ(more.size(), N.size());  // the file keeps its size
        std::string tooMany = c.text;
        std::string key = c.key + "=" + N;
        tooMany.replace(tooMany.find(key), key.size(), c.key + "=" + more);
        st = load(m, tooMany);
        EXPECT_NE(st.failure().message.find(c.key + "=" + more + " is more than the file can hold"),
                  std::string::npos)
            << st.failure().message;
    }
}

TEST(ResultReader, NodeCountBelowOneAndMissingFile) {
    ResultModel m;
    EXPECT_EQ(load(m, "NPOIN=0\nNELEM_S_4ND=0\nNELEM_S_3ND=0\nNELEM_B=0\n").failure().message,
              "节点数目错误!");
    EXPECT_EQ(load(m, "NPOIN=-3\n").failure().message, "节点数目错误!");
    EXPECT_EQ(m.loadResultFile("/nonexistent/Quillon_AverageStrs.txt").failure().message,
              "应力云图文件读取错误!");
    EXPECT_EQ(m.loadResultFile(testsupport::testDir().string()).failure().message,
              "应力云图文件读取错误!");  // a folder
}

TEST(ResultReader, NodesOnlyAndASingleNode) {
    ResultModel m;
    MessageLog log;
    ASSERT_TRUE(
        load(m, "NPOIN=1\n1.5,-2,7\n0,0,0,1,1,1\nNELEM_S_4ND=0\nNELEM_S_3ND=0\nNELEM_B=0\n").ok());
    EXPECT_EQ(m.nodeBox, (quillon::Box6{1.5, 1.5, -2, -2, 7, 7}));
    EXPECT_EQ(m.meanShellEdge, 0);
    EXPECT_EQ(m.meanBeamLength, 0);
    EXPECT_EQ(m.computeSelectedBox(), m.nodeBox);  // no elements: the node box
    // No translation at all: a warning, then the load goes on without magnification.
    ASSERT_EQ(log.texts,
              (std::vector<std::string>{"Warning! The Maximum translation displacement is zero!"}));
    EXPECT_EQ(m.dispScale, 0);
    EXPECT_EQ(m.nodePos[0].z, 7);
    EXPECT_TRUE(std::isfinite(m.nodePos[0].x));
}

TEST(ResultReader, SelectedBoxFollowsTheFlags) {
    ResultText r = squareModel();
    testsupport::BeamText b;
    b.snd = "-5,0,0";
    b.end = "-4,0,9";
    r.beams.push_back(b);
    ResultModel m;
    ASSERT_TRUE(load(m, r.text()).ok());
    m.deformed = false;
    m.updateDisplayedPositions();
    EXPECT_EQ(m.computeSelectedBox(),
              (quillon::Box6{-5, 3, 0, 1, 0, 9}));  // beam ends, not its mesh
    m.selBeam[0] = 0;
    m.selTri[0] = 0;
    EXPECT_EQ(m.computeSelectedBox(), (quillon::Box6{0, 2, 0, 1, 0, 0}));
    m.selQuad[0] = 0;
    m.pickQuad[0] = 1;  // picked but not selected does not count
    EXPECT_EQ(m.computeSelectedBox(), (quillon::Box6{1e20, -1e20, 1e20, -1e20, 1e20, -1e20}));
    EXPECT_EQ(m.selBox, (quillon::Box6{1e20, -1e20, 1e20, -1e20, 1e20, -1e20}));
}

testsupport::BeamText stiffener() {
    testsupport::BeamText b;
    b.number = 77;
    b.snd = "0,0,0";
    b.end = "2,0,0";
    b.points = {"0,0,-0.1", "2,0,-0.1", "0,0.1,-0.1", "2,0.1,-0.1"};
    b.disps = {"0,0,1,0,0,0", "0,0,2,0,0,0", "0,0,3,0,0,0", "0,0,4,0,0,0"};
    b.cells = {"0,1,3,2"};
    b.stressBase = -40;
    return b;
}

TEST(ResultReader, BeamsWithTheirSurfaceMeshes) {
    ResultText r = squareModel();
    r.beams = {stiffener()};
    ResultModel m;
    Outcome st = load(m, r.text());
    ASSERT_TRUE(st.ok()) << st.failure().message;
    ASSERT_EQ(m.beamCount, 1);
    const quillon::BeamElement& b = m.beams[0];
    EXPECT_EQ(b.number, 77);
    EXPECT_EQ(b.meshPointCount, 4);
    EXPECT_EQ(b.cellCount, 1);
    EXPECT_EQ(b.cellNodes, (std::vector<std::int32_t>{0, 1, 3, 2}));
    EXPECT_EQ(b.cellStress[quillon::stressIndex(4, 1, 3, 6)], -40 + 6 + 1);
    EXPECT_EQ(b.start0.x, 0);
    EXPECT_EQ(b.end0.x, 2);
    EXPECT_DOUBLE_EQ(m.meanBeamLength, 2);
    // The ends move with their nearest mesh points: 0 for the start, 1 for the end.
    EXPECT_DOUBLE_EQ(m.dispScale, 0.3);
    EXPECT_DOUBLE_EQ(b.start.z, 0.3 * 1);
    EXPECT_DOUBLE_EQ(b.end.z, 0.3 * 2);
    EXPECT_DOUBLE_EQ(b.meshPos[3].z, -0.1 + 0.3 * 4);
    EXPECT_EQ(b.dispScale, m.dispScale);
    double lo, hi;
    quillon::SelectedStressRange(m, quillon::kSe, lo, hi);
    EXPECT_EQ(lo, -40);
    EXPECT_EQ(hi, 5021);
    EXPECT_TRUE(quillon::BeamStressRange(b, 0, lo, hi));
    EXPECT_EQ(lo, 1.5);
    EXPECT_EQ(hi, 1.5);
    // A cell index beyond the beam's own mesh points.
    r.beams[0].cells = {"0,1,4,2"};
    EXPECT_EQ(load(m, r.text()).failure().message, "line 44: mesh point index 4 is outside 0..3");
}

TEST(ResultReader, BeamWithoutMeshOrCells) {
    ResultText r = squareModel();
    testsupport::BeamText empty;
    empty.snd = "0,0,5";
    empty.end = "1,0,5";
    r.beams = {empty, stiffener()};
    ResultModel m;
    Outcome st = load(m, r.text());
    ASSERT_TRUE(st.ok()) << st.failure().message;
    const quillon::BeamElement& b = m.beams[0];
    EXPECT_EQ(b.meshPointCount, 0);
    // Without mesh points the ends keep their positions as read.
    EXPECT_EQ(b.start.z, 5);
    EXPECT_EQ(b.end.x, 1);
    double lo = 123, hi = 456;
    EXPECT_FALSE(quillon::BeamStressRange(b, quillon::kSe, lo, hi));
    EXPECT_EQ(lo, 123);
    quillon::SelectedStressRange(m, quillon::kSe, lo, hi);  // the empty beam adds nothing
    EXPECT_EQ(lo, -40);
    m.selBeam[1] = 0;
    quillon::SelectedStressRange(m, quillon::kSe, lo, hi);
    EXPECT_EQ(lo, 0);
}

TEST(BeamElement, NearestMeshPoint) {
    quillon::BeamElement b;
    quillon::Point3D origin;
    origin.x = origin.y = origin.z = 0;
    EXPECT_EQ(b.nearestMeshPoint(origin), 0);
    b.meshPos0.resize(1);
    b.meshPos0[0].x = 100;
    b.meshPointCount = 1;
    EXPECT_EQ(b.nearestMeshPoint(origin), 0);  // one point: not even measured
    b.meshPos0 = {{0, 0, 1}, {0, 0, -1}, {0, 0, 0.5}, {0.5, 0, 0}};
    b.meshPointCount = 4;
    EXPECT_EQ(b.nearestMeshPoint(origin), 2);  // the lower of two equal distances wins
    b.meshPos0[3] = {0, 0, 2, 99};
    b.meshPos0[2] = {0, 0, 1.5, 99};
    EXPECT_EQ(b.nearestMeshPoint(origin), 0);
}

TEST(ResultModel, ASecondLoadReplacesTheFirstAndAFailedOneKeepsIt) {
    ResultText big = squareModel();
    big.beams = {stiffener(), stiffener()};
    ResultModel m;
    ASSERT_TRUE(load(m, big.text()).ok());
    m.pickQuad[0] = 1;
    m.selTri[0] = 0;
    m.nodeMode = quillon::DisplayFilter::Selected;
    m.shellNumberMode = quillon::DisplayFilter::All;
    m.deformed = false;
    m.colourTable[0] = 0x123456;

    ResultModel before = m;
    // A failed load changes nothing at all.
    std::string bad = big.text();
    bad.resize(bad.size() - 30);
    EXPECT_FALSE(load(m, bad).ok());
    EXPECT_EQ(m.nodeCount, before.nodeCount);
    EXPECT_EQ(m.beams.size(), 2u);
    EXPECT_EQ(m.pickQuad[0], 1);
    EXPECT_EQ(m.selTri[0], 0);
    EXPECT_EQ(m.quadStress, before.quadStress);
    EXPECT_EQ(m.nodeBox, before.nodeBox);

    // A good one replaces every array, count and flag; settings carry over.
    ResultText small;
    small.nodes = {"10,10,10", "11,10,10", "10,11,10"};
    small.disps = {"0,0,1,0,0,0", "0,0,0,0,0,0", "0,0,0,0,0,0"};
    small.tris = {"0,1,2"};
    ASSERT_TRUE(load(m, small.text()).ok());
    EXPECT_EQ(m.nodeCount, 3);
    EXPECT_EQ(m.quadCount, 0);
    EXPECT_EQ(m.triCount, 1);
    EXPECT_EQ(m.beamCount, 0);
    EXPECT_TRUE(m.quadStress.empty());
    EXPECT_TRUE(m.beams.empty());
    EXPECT_TRUE(m.pickQuad.empty());
    EXPECT_EQ(m.selTri, std::vector<std::uint8_t>{1});
    EXPECT_EQ(m.nodeBox, (quillon::Box6{10, 11, 10, 11, 10, 10}));
    EXPECT_EQ(m.meanBeamLength, 0);
    EXPECT_EQ(m.nodeMode, quillon::DisplayFilter::Selected);
    EXPECT_EQ(m.shellNumberMode, quillon::DisplayFilter::All);
    EXPECT_FALSE(m.deformed);
    EXPECT_EQ(m.nodePos[0].z, 10);  // undeformed, as the setting says
    EXPECT_EQ(m.colourTable[0], 0x123456);

    m.releaseArrays();
    EXPECT_EQ(quillon::modelArrayBytes(m), m.colourTable.capacity() * sizeof(std::int32_t));
}

// A snapshot loads its model on a second thread. However many models change their positions at
// once, no two versions are the same, so that a drawing kept for one set of positions is never
// taken for another's.
TEST(ResultModel, ModelsChangingOnTwoThreadsNeverShareAPositionsVersion) {
    // Each thread goes on until both have made this many changes (or it has made four times as
    // many), so that they overlap in time even when one starts late.
    constexpr std::size_t kChanges = 1000000;
    std::vector<std::uint64_t> versions[2];
    std::atomic<std::size_t> made[2] = {0, 0};
    auto change = [&](int t) {
        ResultModel m;
        versions[t].reserve(kChanges);
        auto fewest = [&] {
            return std::min(made[0].load(std::memory_order_relaxed),
                            made[1].load(std::memory_order_relaxed));
        };
        while (versions[t].size() < 4 * kChanges && fewest() < kChanges) {
            m.updateDisplayedPositions();
            versions[t].push_back(m.positionsVersion);
            made[t].store(versions[t].size(), std::memory_order_relaxed);
        }
    };
    std::thread second(change, 1);
    change(0);
    second.join();
    std::vector<std::uint64_t> all = versions[0];
    all.insert(all.end(), versions[1].begin(), versions[1].end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all.end() - std::unique(all.begin(), all.end()), 0) << "versions given twice";
}

TEST(StressScale, LevelsByRepeatedAddition) {
    std::vector<double> L = quillon::BuildContourLevels(0.1, 1.0, 9);
    ASSERT_EQ(L.size(), 10u);
    EXPECT_EQ(L[0], 0.1);
    EXPECT_EQ(L[9], 1.0);
    double x = 0.1 + 0.1;
    for (int i = 1; i < 9; ++i) {
        EXPECT_EQ(L[i], x) << i;
        x += 0.1;
    }
    // Nothing selected: the levels run down from 1e20 to -1e20.
    L = quillon::BuildContourLevels(1e20, -1e20, 9);
    EXPECT_EQ(L[0], 1e20);
    EXPECT_EQ(L[9], -1e20);
    EXPECT_LT(L[5], L[4]);
    L = quillon::BuildContourLevels(3, 3, 9);
    EXPECT_EQ(L, std::vector<double>(10, 3.0));
}

}  // namespace

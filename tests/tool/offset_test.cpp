// The offset, its command-line texts, and the message lines.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <pty.h>
#include <unistd.h>
#endif

#include "tests/tool/tool_test_support.h"
#include "tool/messages.h"
#include "tool/pre_model.h"

namespace {

TEST(Offset, TextsReadLikeAtof) {
    EXPECT_DOUBLE_EQ(tarvik::OffsetFromText("2.5mm"), 2.5);
    EXPECT_DOUBLE_EQ(tarvik::OffsetFromText("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(tarvik::OffsetFromText("abc"), 0.0);
    EXPECT_DOUBLE_EQ(tarvik::OffsetFromText("  -3.25"), -3.25);
    EXPECT_DOUBLE_EQ(tarvik::OffsetFromText(""), 0.0);
    EXPECT_DOUBLE_EQ(tarvik::OffsetFromText(".5e-1x"), 0.05);
}

TEST(Offset, MovesGeometricAndNodalPointsButNotTheCopies) {
    tarvik_test::CapturedMessages messages;
    tarvik::PreModel m;
    ASSERT_TRUE(tarvik_test::ReadAsTarvik(m, tarvik_test::ExampleModelPath(), messages.output));
    tarvik::PreModel before = m;
    tarvik::OffsetPreModel(m, 1.5, -2, 0.25);
    for (std::size_t i = 0; i < m.geoPoints.records.size(); ++i) {
        EXPECT_DOUBLE_EQ(m.geoPoints.records[i].x, before.geoPoints.records[i].x + 1.5);
        EXPECT_DOUBLE_EQ(m.geoPoints.records[i].y, before.geoPoints.records[i].y - 2);
        EXPECT_DOUBLE_EQ(m.geoPoints.records[i].z, before.geoPoints.records[i].z + 0.25);
    }
    for (std::size_t i = 0; i < m.nodalPoints.records.size(); ++i)
        EXPECT_DOUBLE_EQ(m.nodalPoints.records[i].z, before.nodalPoints.records[i].z + 0.25);
    EXPECT_EQ(m.polygons.records[0].vertices[1].x, before.polygons.records[0].vertices[1].x);
    EXPECT_EQ(m.beamLines.records[0].end.y, before.beamLines.records[0].end.y);
    EXPECT_EQ(m.forces.records[0].value[2], before.forces.records[0].value[2]);
}

TEST(Messages, WarningLineAndFatalWithoutTerminal) {
    tarvik_test::RecordedBoxes().clear();
    tarvik_test::CapturedMessages messages;
    tarvik::ShowWarning(messages.output, "单元信息文件读取错误!");
    tarvik::ShowFatalAndPause(messages.output, "错误:PGPtNum<=0");
    EXPECT_EQ(messages.warnings(), "tarvik: Warning! 单元信息文件读取错误!\n");
    // Input is not a terminal: no prompt and no wait, and no box.
    EXPECT_EQ(messages.console(), "错误:PGPtNum<=0\n");
    EXPECT_TRUE(tarvik_test::RecordedBoxes().empty());
}

// A box waits for someone to close it: only when the keyboard is a terminal or console, never
// for a file or a pipe (batch files, tests). The warning line is written in every case.
TEST(Messages, BoxOnlyWhenSomeoneIsAtTheKeyboard) {
    tarvik_test::RecordedBoxes().clear();
    tarvik_test::TempDir dir;
    tarvik_test::WriteText(dir.file("keys.txt"), "x");
    std::FILE* file = std::fopen(dir.file("keys.txt").c_str(), "r");
    ASSERT_NE(file, nullptr);
    tarvik_test::CapturedMessages messages;
    std::FILE* nullDevice = messages.output.keyboard;  // closed by `messages`
    messages.output.keyboard = file;
    tarvik::ShowWarning(messages.output, "文件保存失败!");
    std::fclose(file);
    messages.output.keyboard = nullptr;
    tarvik::ShowWarning(messages.output, "no keyboard at all");
    EXPECT_EQ(messages.warnings(),
              "tarvik: Warning! 文件保存失败!\ntarvik: Warning! no keyboard at all\n");
    EXPECT_TRUE(tarvik_test::RecordedBoxes().empty());
    messages.output.keyboard = nullDevice;
#if !defined(_WIN32)
    // A terminal of our own as the keyboard: the box is shown, after the line.
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    std::FILE* terminal = fdopen(slave, "r");
    ASSERT_NE(terminal, nullptr);
    messages.output.keyboard = terminal;
    tarvik::ShowWarning(messages.output, "单元信息文件读取错误!");
    messages.output.keyboard = nullDevice;
    std::fclose(terminal);
    close(master);
    EXPECT_EQ(tarvik_test::RecordedBoxes(), std::vector<std::string>{"单元信息文件读取错误!"});
    EXPECT_NE(messages.warnings().find("tarvik: Warning! 单元信息文件读取错误!\n"),
              std::string::npos);
#endif
}

// The console writer gives a file the UTF-8 bytes, whatever the platform; the line end is the
// stream's (CR LF on Windows in text mode).
TEST(Messages, MessageLinesAreUtf8BytesInAFile) {
    tarvik_test::TempDir dir;
    std::FILE* f = std::fopen(dir.file("lines.txt").c_str(), "w");
    ASSERT_NE(f, nullptr);
    tarvik::WriteMessageLine(f, "错误:PGPtNum<=0");
    tarvik::WriteMessageLine(f, "modèle.txt: No such file or directory");
    std::fclose(f);
    EXPECT_EQ(tarvik_test::ReadOutput(dir.file("lines.txt")),
              "错误:PGPtNum<=0\nmodèle.txt: No such file or directory\n");
}

}  // namespace

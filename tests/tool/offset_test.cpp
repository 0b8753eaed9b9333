// The offset, its command-line texts, and the message lines.
#include <gtest/gtest.h>

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
    ASSERT_TRUE(tarvik::ReadPreModel(m, tarvik_test::ExampleModelPath(), messages.output));
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
    tarvik_test::CapturedMessages messages;
    tarvik::ShowWarning(messages.output, "单元信息文件读取错误!");
    tarvik::ShowFatalAndPause(messages.output, "错误:PGPtNum<=0");
    EXPECT_EQ(messages.warnings(), "tarvik: Warning! 单元信息文件读取错误!\n");
    // Input is not a terminal: no prompt and no wait.
    EXPECT_EQ(messages.console(), "错误:PGPtNum<=0\n");
}

}  // namespace

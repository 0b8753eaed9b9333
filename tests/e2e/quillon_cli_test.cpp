// The quillon program as a user runs it from a shell.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/model/result_text.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_file.h"

namespace {

using testsupport::runProcess;

TEST(QuillonCli, InfoPrintsTheNineLineSummary) {
    testsupport::ResultText r = testsupport::squareModel();
    auto path = testsupport::writeFile("square.txt", r.text());
    auto res = runProcess(QUILLON_EXE, {"--info", path});
    EXPECT_EQ(res.exitCode, 0) << res.err;
    EXPECT_EQ(res.out,
              "nodes: 5\n"
              "four-node shells: 1\n"
              "three-node shells: 1\n"
              "beams: 0\n"
              "node box: 0 3 0 1 0 0\n"
              "mean shell edge: 1.3448876517675852\n"
              "mean beam length: 0\n"
              "displacement scale: 0.30000000000000004\n"
              "Se range: 0 5021\n");
    EXPECT_EQ(res.err, "");
}

TEST(QuillonCli, InfoFailuresExitWithOneAndSayWhy) {
    auto missing = (testsupport::testDir() / "missing.txt").string();
    auto res = runProcess(QUILLON_EXE, {"--info", missing});
    EXPECT_EQ(res.exitCode, 1);
    EXPECT_EQ(res.out, "");
    // The message names the file and the system's reason, so that a user can tell which one.
    EXPECT_EQ(res.err, "quillon: Warning! 应力云图文件读取错误! (" + missing +
                           ": No such file or directory)\n");
    res = runProcess(QUILLON_EXE, {"--info", testsupport::testDir().string()});
    EXPECT_EQ(res.exitCode, 1);
    EXPECT_EQ(res.err, "quillon: Warning! 应力云图文件读取错误! (" +
                           testsupport::testDir().string() + ": Is a directory)\n");

    auto zero =
        testsupport::writeFile("zero.txt", "NPOIN=0\nNELEM_S_4ND=0\nNELEM_S_3ND=0\nNELEM_B=0\n");
    res = runProcess(QUILLON_EXE, {"--info", zero});
    EXPECT_EQ(res.exitCode, 1);
    EXPECT_EQ(res.err, "quillon: Warning! 节点数目错误!\n");
    // A snapshot loads on a second thread while OpenGL starts: the error is the same, once, and
    // no picture is written.
    const std::string picture = (testsupport::testDir() / "zero.png").string();
    for (int run = 0; run < 5; ++run) {
        res = runProcess(QUILLON_EXE, {"--snapshot", picture, zero});
        EXPECT_EQ(res.exitCode, 1);
        EXPECT_EQ(res.err, "quillon: Warning! 节点数目错误!\n");
        EXPECT_FALSE(std::filesystem::exists(picture));
    }

    auto bad =
        testsupport::writeFile("bad.txt", "NPOIN=1\n0,0,0\n0,0,1,0,0,0\nNELEM_S_4ND=1\n0,0,0\n");
    res = runProcess(QUILLON_EXE, {"--info", bad});
    EXPECT_EQ(res.exitCode, 1);
    EXPECT_EQ(res.err, "quillon: Warning! line 5: expected four node indices a,b,c,d\n");
}

TEST(QuillonCli, InfoOnAFileWithoutTranslationsWarnsAndGoesOn) {
    auto still = testsupport::writeFile(
        "still.txt", "NPOIN=1\n0,0,0\n0,0,0,0,0,0\nNELEM_S_4ND=0\nNELEM_S_3ND=0\nNELEM_B=0\n");
    auto res = runProcess(QUILLON_EXE, {"--info", still});
    EXPECT_EQ(res.exitCode, 0);
    EXPECT_EQ(res.err, "quillon: Warning! The Maximum translation displacement is zero!\n");
    EXPECT_NE(res.out.find("displacement scale: 0\n"), std::string::npos);
    EXPECT_NE(res.out.find("Se range: 1e+20 -1e+20\n"), std::string::npos);
}

TEST(QuillonCli, HelpAndVersion) {
    auto res = runProcess(QUILLON_EXE, {"--help"});
    EXPECT_EQ(res.exitCode, 0);
    EXPECT_NE(res.out.find("usage: quillon"), std::string::npos);
    res = runProcess(QUILLON_EXE, {"--version"});
    EXPECT_EQ(res.exitCode, 0);
    EXPECT_EQ(res.out.rfind("quillon ", 0), 0u);
    res = runProcess(QUILLON_EXE, {"--info"});
    EXPECT_EQ(res.exitCode, 2);
}

TEST(QuillonCli, SnapshotRefusesNonFiniteAnglesAndImpossibleSizes) {
    auto path = testsupport::writeFile("square.txt", testsupport::squareModel().text());
    auto out = (testsupport::testDir() / "out.png").string();
    std::filesystem::remove(out);
    for (const char* view : {"nan,0", "0,inf", "-inf,1", "1", "1,2,3"}) {
        auto res = runProcess(QUILLON_EXE, {"--snapshot", out, "--view", view, path});
        EXPECT_EQ(res.exitCode, 2) << view;
        EXPECT_NE(res.err.find("--view wants ALPHA,BETA, two finite numbers of degrees"),
                  std::string::npos)
            << view;
    }
    // 4294967297 would wrap to 1 in a 32-bit integer.
    for (const char* size :
         {"0x10", "10x0", "16385x10", "4294967297x1", "-5x5", "10x", "x10", "10x10x"}) {
        auto res = runProcess(QUILLON_EXE, {"--snapshot", out, "--size", size, path});
        EXPECT_EQ(res.exitCode, 2) << size;
        auto script = runProcess(QUILLON_EXE, {"--script", path, "--size", size, path});
        EXPECT_EQ(script.exitCode, 2) << size;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    auto res =
        runProcess(QUILLON_EXE, {"--snapshot", out, "--size", "1x16384", "--view", "-90,90", path});
    EXPECT_EQ(res.exitCode, 0) << res.err;
}

TEST(QuillonCli, SettingsOptionsRefuseBadValues) {
    auto path = testsupport::writeFile("square.txt", testsupport::squareModel().text());
    auto out = (testsupport::testDir() / "bad.png").string();
    std::filesystem::remove(out);
    struct Case {
        std::vector<std::string> args;
        std::string says;
    };
    for (const Case& c : std::vector<Case>{
             {{"--component", "7"}, "--component wants a whole number from 0 to 6"},
             {{"--component", "-1"}, "--component wants a whole number from 0 to 6"},
             {{"--component", "2.5"}, "--component wants a whole number from 0 to 6"},
             {{"--interval", "5,1"}, "--interval wants SL,SR, two finite numbers with SL <= SR"},
             {{"--interval", "1,nan"}, "--interval wants SL,SR, two finite numbers with SL <= SR"},
             {{"--interval", "1"}, "--interval wants SL,SR, two finite numbers with SL <= SR"},
             {{"--outlines", "some"}, "--outlines wants all, selected or none"},
             {{"--node-numbers", "All"}, "--node-numbers wants all, selected or none"},
             {{"--scale", "inf"}, "--scale wants a finite number"},
             {{"--scale"}, "--scale wants a value"},
         }) {
        std::vector<std::string> args = {"--snapshot", out};
        args.insert(args.end(), c.args.begin(), c.args.end());
        if (c.args.size() > 1) args.push_back(path);
        auto res = runProcess(QUILLON_EXE, args);
        EXPECT_EQ(res.exitCode, 2) << c.args[0];
        EXPECT_EQ(res.err.substr(0, res.err.find('\n')), "quillon: " + c.says) << c.args[0];
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    auto help = runProcess(QUILLON_EXE, {"--help"});
    EXPECT_NE(help.out.find("--beam-numbers F"), std::string::npos);
}

}  // namespace

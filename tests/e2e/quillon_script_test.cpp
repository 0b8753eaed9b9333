// quillon --script: the window's steps replayed without a window, checked on what they print
// and on the pictures they write.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/model/result_text.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_file.h"

namespace {

using testsupport::Picture;
using testsupport::runProcess;

struct ScriptRun {
    testsupport::ProcessResult result;
    std::string script;
};

// Runs `lines` as a script on the square model at 400 × 300.
ScriptRun runScript(const std::string& lines, const std::string& model = "") {
    std::string file = model.empty()
                           ? testsupport::writeFile("square.txt", testsupport::squareModel().text())
                           : model;
    ScriptRun r;
    r.script = testsupport::writeFile("steps.txt", lines);
    r.result = runProcess(QUILLON_EXE, {"--script", r.script, "--size", "400x300", file});
    return r;
}

std::vector<double> numbers(const std::string& line) {
    std::istringstream in(line);
    std::vector<double> v;
    for (double x; in >> x;) v.push_back(x);
    return v;
}

std::vector<std::string> lines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

Picture readPicture(const std::string& path) {
    Picture p;
    EXPECT_TRUE(quillon::platform::readPng(path, p.width, p.height, p.rgb)) << path;
    return p;
}

TEST(QuillonScript, LinesThatCannotRunNameTheLineAndExitWithTwo) {
    struct Case {
        std::string line, says;
    };
    for (const Case& c : std::vector<Case>{
             {"jump 1 2", "unknown command 'jump'"},
             {"click 1 x", "not a whole number: x"},
             {"click 1", "'click' takes 2 value(s)"},
             {"menu 12345", "the menu has no command 12345"},
             {"menu 40003", "the menu has no command 40003"},
             {"press 103 1012", "no dialog 103 is open"},
             {"press 555 1", "no dialog template 555"},
             {"key ab", "a key is one character or Esc"},
             {"size 0 10", "the size must be 1 to 16384 pixels each way"},
             {"wheel -2147483648 1 1", "the wheel turns -1000 to 1000 steps"},
             {"wheel 1001 1 1", "the wheel turns -1000 to 1000 steps"},
         }) {
        ScriptRun r = runScript("# a comment\n\nprint view\n" + c.line + "\nprint view\n");
        EXPECT_EQ(r.result.exitCode, 2) << c.line;
        EXPECT_EQ(r.result.err, "quillon: " + r.script + ":4: " + c.says + "\n") << c.line;
        EXPECT_EQ(lines(r.result.out).size(), 1u) << "the script stops at the line";
    }
    for (const Case& c : std::vector<Case>{
             {"press 103 9999", "dialog 103 has no control 9999"},
             {"press 103 1009", "control 1009 is of another kind"},
             {"text 103 1012 5", "control 1012 is of another kind"},
             {"select 103 1009 0", "control 1009 is of another kind"},
             {"print 103 -1", "dialog 103 has no control -1"},
         }) {
        ScriptRun r = runScript("menu 40002\n" + c.line + "\n");
        EXPECT_EQ(r.result.exitCode, 2) << c.line;
        EXPECT_EQ(r.result.err, "quillon: " + r.script + ":2: " + c.says + "\n") << c.line;
    }
}

TEST(QuillonScript, DialogsAndTheViewAnswerPrints) {
    ScriptRun r = runScript(
        "print view\n"
        "menu 40002\n"
        "print 103 1009\n"
        "print 103 1012\n"
        "text 103 1009 -90\n"
        "text 103 1010\n"
        "print 103 1010\n"
        "press 103 1012\n"
        "print view\n"
        "press 103 1027\n"
        "print 103 1010\n"
        "close 103\n"
        "press 103 1012\n");
    EXPECT_EQ(r.result.exitCode, 2);  // the last line: the dialog was closed
    EXPECT_EQ(r.result.err, "quillon: " + r.script + ":13: no dialog 103 is open\n");
    auto out = lines(r.result.out);
    ASSERT_EQ(out.size(), 6u) << r.result.out;
    auto start = numbers(out[0]);
    ASSERT_EQ(start.size(), 6u);
    EXPECT_EQ(start[0], 225);
    EXPECT_EQ(start[1], 35.26);
    EXPECT_EQ(out[1], "225.00");
    EXPECT_EQ(out[2], "0");  // a push button is never checked
    EXPECT_EQ(out[3], "");   // `text DLG CTRL` alone empties the edit
    auto applied = numbers(out[4]);
    EXPECT_EQ(applied[0], -90);
    EXPECT_EQ(applied[1], 0);  // empty Beta reads as 0
    EXPECT_EQ(out[5], "90.00");
}

TEST(QuillonScript, WheelPanAndKeysMoveTheView) {
    ScriptRun r = runScript(
        "print view\n"
        "wheel 2 200 150\n"
        "print view\n"
        "wheel -2 200 150\n"
        "key P\n"
        "click 100 100\n"
        "move 110 100\n"
        "click 120 100\n"
        "print view\n"
        "key a\n"
        "print view\n");
    ASSERT_EQ(r.result.exitCode, 0) << r.result.err;
    auto out = lines(r.result.out);
    ASSERT_EQ(out.size(), 4u);
    auto start = numbers(out[0]), zoomed = numbers(out[1]), panned = numbers(out[2]),
         fitted = numbers(out[3]);
    double width = start[3] - start[2];
    EXPECT_NEAR(zoomed[3] - zoomed[2], width * 0.95 * 0.95, 1e-9 * width);
    // Out again by the same two steps, then 20 pixels to the right: the window moves left.
    double back = width * 0.95 * 0.95 * 1.05 * 1.05;
    EXPECT_NEAR(panned[3] - panned[2], back, 1e-9 * width);
    EXPECT_NEAR((panned[2] + panned[3]) / 2, (start[2] + start[3]) / 2 - 20 * back / 400,
                1e-9 * width);
    EXPECT_EQ(fitted, start);
}

TEST(QuillonScript, SnapshotsAreThePicturesAUserWouldSee) {
    auto model = testsupport::writeFile("square.txt", testsupport::squareModel().text());
    auto dir = testsupport::testDir();
    auto shot = [&](const char* name) { return (dir / name).string(); };
    ScriptRun r = runScript("snapshot " + shot("start.png") +
                                "\n"
                                "key p\n"
                                "click 200 150\n"
                                "move 230 130\n"
                                "snapshot " +
                                shot("moving.png") +
                                "\n"
                                "click 230 130\n"
                                "key Z\n"
                                "click 20 100\n"
                                "move 120 200\n"
                                "snapshot " +
                                shot("band.png") + "\n",
                            model);
    ASSERT_EQ(r.result.exitCode, 0) << r.result.err;
    // The first picture is the one a headless snapshot of the same file draws.
    auto batch =
        runProcess(QUILLON_EXE, {"--snapshot", shot("batch.png"), "--size", "400x300", model});
    ASSERT_EQ(batch.exitCode, 0) << batch.err;
    Picture start = readPicture(shot("start.png")), same = readPicture(shot("batch.png"));
    ASSERT_EQ(start.width, 400);
    EXPECT_EQ(start.rgb, same.rgb);

    // While panning, the model follows the mouse: 30 pixels right and 20 up. (Its shading
    // changes a little: the light is placed from the window's centre.)
    Picture moving = readPicture(shot("moving.png"));
    int shown = 0, matched = 0;
    for (int y = 40; y < 300; ++y)
        for (int x = 0; x < 165; ++x) {  // where neither picture shows the legend
            bool before = !testsupport::isBlack(start.at(x, y));
            bool after = !testsupport::isBlack(moving.at(x + 30, y - 20));
            shown += before ? 1 : 0;
            matched += before == after ? 1 : 0;
        }
    ASSERT_GT(shown, 5000);
    EXPECT_GT(matched, 260 * 165 - 300);  // all but the pixels along the edges

    // A zoom window waiting for its second click shows its rubber band in white.
    Picture band = readPicture(shot("band.png"));
    auto white = [](testsupport::Rgb c) { return c.r == 255 && c.g == 255 && c.b == 255; };
    // (The band's lines fall on the corner pixels, or one beside them.)
    EXPECT_GE(band.count(18, 99, 122, 102, white), 100);  // the top edge
    EXPECT_GE(band.count(18, 99, 22, 203, white), 100);   // the left edge
    EXPECT_EQ(band.count(30, 110, 110, 190, white), 0);   // not filled
}

TEST(QuillonScript, FileOpenAnswersAndWarningsGoToStandardError) {
    auto strip = testsupport::ResultText{};
    strip.nodes = {"0,0,0", "1,0,0", "1,0,6", "0,0,6"};
    strip.disps = {"0,0,0,0,0,0", "0,0,0.2,0,0,0", "0,0,0.4,0,0,0", "0,0,0.1,0,0,0"};
    strip.quads = {"0,1,2,3"};
    auto other = testsupport::writeFile("strip.txt", strip.text());
    auto notResults = testsupport::writeFile("notes.txt", "not a result file\n");
    ScriptRun r = runScript(
        "print view\n"
        "choose " +
        (testsupport::testDir() / "missing.txt").string() +
        "\n"
        "menu 40001\n"
        "choose " +
        notResults +
        "\n"
        "menu 40001\n"
        "print view\n"
        "choose\n"
        "menu 40001\n"
        "choose " +
        other.substr(0, other.size() - 4) +
        "\n"
        "menu 40001\n"
        "print view\n");
    ASSERT_EQ(r.result.exitCode, 0) << r.result.err;
    EXPECT_EQ(r.result.err, "quillon: Warning! 应力云图文件读取错误! (" +
                                (testsupport::testDir() / "missing.txt").string() +
                                ": No such file or directory)\n"
                                "quillon: Warning! 应力云图文件读取错误! (" +
                                notResults + ": line 1: expected NPOIN=<count>)\n");
    auto out = lines(r.result.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1], out[0]);  // a failed open keeps the view; a cancelled one does nothing
    EXPECT_NE(out[2], out[0]);  // the strip, completed with ".txt", was loaded
}

TEST(QuillonScript, AMissingScriptOrResultFileEndsAtOnce) {
    auto res =
        runProcess(QUILLON_EXE, {"--script", (testsupport::testDir() / "none.txt").string()});
    EXPECT_EQ(res.exitCode, 2);
    EXPECT_NE(res.err.find("cannot read the script"), std::string::npos) << res.err;
    ScriptRun r = runScript("print view\n", (testsupport::testDir() / "missing.txt").string());
    EXPECT_EQ(r.result.exitCode, 1);
    EXPECT_EQ(r.result.err.rfind("quillon: Warning! 应力云图文件读取错误! (", 0), 0u)
        << r.result.err;
    EXPECT_EQ(r.result.out, "");
}

// The settings on the command line and in the two dialogs of a script give the same pictures.
TEST(QuillonScript, SettingsFromOptionsAndFromDialogsDrawAlike) {
    auto model = std::string(QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt");
    auto shot = [&](const char* name) { return (testsupport::testDir() / name).string(); };
    auto snapshot = [&](const char* name, std::vector<std::string> options) {
        std::vector<std::string> args = {"--snapshot", shot(name), "--size", "400x300"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(model);
        auto res = runProcess(QUILLON_EXE, args);
        EXPECT_EQ(res.exitCode, 0) << res.err;
        return readPicture(shot(name));
    };
    auto outline = [](testsupport::Rgb c) { return c.r == c.g && c.g == c.b && c.r >= 60; };
    auto banded = [](testsupport::Rgb c) { return !(c.r == c.g && c.g == c.b); };
    Picture plain = snapshot("plain.png", {});
    Picture bare = snapshot("bare.png", {"--outlines", "none", "--beam-lines", "none"});
    Picture sx =
        snapshot("sx.png", {"--component", "0", "--outlines", "none", "--beam-lines", "none"});
    Picture flat = snapshot("flat.png", {"--undeformed", "--no-contour", "--component", "0"});
    // Left of the legend: at this size the outlines cover much of the model; without them only
    // bands show.
    EXPECT_GT(plain.count(0, 0, 195, 300, outline), 3000);
    EXPECT_EQ(bare.count(0, 0, 195, 300, outline), 0);
    EXPECT_GT(bare.count(0, 0, 195, 300, banded), plain.count(0, 0, 195, 300, banded));
    EXPECT_NE(sx.rgb, bare.rgb);
    EXPECT_EQ(flat.count(0, 0, 195, 300, banded), 0);  // outlines only
    EXPECT_NE(flat.rgb, snapshot("deformed.png", {"--no-contour", "--component", "0"}).rgb);

    // The same settings through the dialogs of a scripted run.
    ScriptRun r = runScript(
        "menu 40017\n"
        "select 109 1035 2\n"
        "select 109 1037 2\n"
        "menu 40019\n"
        "press 111 1046\n"
        "print 111 1062\n"
        "print 109 1035\n"
        "snapshot " +
            shot("dialogs.png") +
            "\n"
            "press 109 1024\n"
            "press 109 1042\n"
            "select 109 1035 0\n"
            "select 109 1037 0\n"
            "snapshot " +
            shot("flat-dialogs.png") + "\n",
        model);
    ASSERT_EQ(r.result.exitCode, 0) << r.result.err;
    EXPECT_EQ(r.result.out, "0\n2\n");
    EXPECT_EQ(readPicture(shot("dialogs.png")).rgb, sx.rgb);
    EXPECT_EQ(readPicture(shot("flat-dialogs.png")).rgb, flat.rgb);
}

// Picks through the main view's clicks: a picked shell is drawn red; a crossing rectangle
// catches more than a window of the same corners; Apply with Reselect makes the picks the
// selection, and the legend then spans the selection's range.
TEST(QuillonScript, PicksAndSelectionsInPictures) {
    auto model = std::string(QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt");
    auto shot = [&](const char* name) { return (testsupport::testDir() / name).string(); };
    ScriptRun r = runScript("snapshot " + shot("none.png") +
                                "\n"
                                "menu 40010\n"
                                "press 102 1015\n"  // point pick
                                "click 150 170\n"
                                "snapshot " +
                                shot("one.png") +
                                "\n"
                                "press 102 1059\n"  // reset
                                "press 102 1016\n"  // rectangle pick
                                "click 100 120\n"
                                "click 180 180\n"
                                "snapshot " +
                                shot("window.png") +
                                "\n"
                                "press 102 1059\n"
                                "click 180 180\n"
                                "click 100 120\n"
                                "snapshot " +
                                shot("crossing.png") +
                                "\n"
                                "press 102 1057\n"  // apply: reselect
                                "snapshot " +
                                shot("selected.png") + "\n",
                            model);
    ASSERT_EQ(r.result.exitCode, 0) << r.result.err;
    auto red = [](testsupport::Rgb c) { return c.r > 100 && c.g == 0 && c.b == 0; };
    Picture none = readPicture(shot("none.png"));
    Picture one = readPicture(shot("one.png")), window = readPicture(shot("window.png")),
            crossing = readPicture(shot("crossing.png")),
            selected = readPicture(shot("selected.png"));
    // Left of the legend, a picked shell is filled and outlined red (the top band is red too).
    int redNone = none.count(0, 0, 195, 300, red);
    int redOne = one.count(0, 0, 195, 300, red), redWindow = window.count(0, 0, 195, 300, red),
        redCrossing = crossing.count(0, 0, 195, 300, red);
    EXPECT_GT(redOne, redNone + 10);
    EXPECT_GT(redWindow, redOne);
    EXPECT_GT(redCrossing, redWindow);
    // After Apply the legend's labels (the selection's range) differ.
    Picture legendBefore = crossing, legendAfter = selected;
    int differingLegend = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 250; x < 400; ++x)
            differingLegend += legendBefore.at(x, y) == legendAfter.at(x, y) ? 0 : 1;
    EXPECT_GT(differingLegend, 50);
}

// To File and From File in a scripted run: the chooser's answers name the files.
TEST(QuillonScript, SelectionFilesThroughTheChoosers) {
    auto model = std::string(QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt");
    auto file = (testsupport::testDir() / "shells.txt").string();
    auto again = (testsupport::testDir() / "again").string();
    std::string steps =
        "menu 40010\n"
        "press 102 1015\n"
        "click 200 150\n"
        "press 102 1057\n";                             // point pick, then reselect: one shell
    steps += "choose " + file + "\npress 102 1082\n";   // to file
    steps += "press 102 1020\n";                        // select all again
    steps += "choose " + file + "\npress 102 1081\n";   // from file
    steps += "choose " + again + "\npress 102 1082\n";  // what was read back
    ScriptRun r = runScript(steps, model);
    ASSERT_EQ(r.result.exitCode, 0) << r.result.err;
    std::string text = testsupport::readFile(file);
    EXPECT_EQ(text.rfind("Number of selected four-nodes shell elements,NSF=1\n", 0), 0u) << text;
    EXPECT_EQ(testsupport::readFile(again + ".txt"), text);  // the default extension added
}

}  // namespace

namespace {

// File > Save Picture writes what a snapshot of the same steps has, replacing an older file
// whole; a folder that cannot take it gets a warning that says why, and the run goes on. Copy
// Picture names the picture it put on the (script's) clipboard.
TEST(QuillonScript, SavePictureWritesTheSnapshotsPixelsOrSaysWhyNot) {
    const auto folder = testsupport::testDir();
    const std::string saved = (folder / "saved.png").string();
    const std::string snapshot = (folder / "snapshot.png").string();
    testsupport::writeFile("saved.png", "an older file, longer than nothing");
    const std::string missing = (folder / "no such folder" / "x.png").string();
    ScriptRun r = runScript("wheel 2 150 100\nchoose " + saved + "\nmenu 40020\nsnapshot " +
                            snapshot + "\nchoose " + missing + "\nmenu 40020\nmenu 40021\n");
    ASSERT_EQ(r.result.exitCode, 0) << r.result.err;
    const Picture file = readPicture(saved), expected = readPicture(snapshot);
    EXPECT_EQ(file.width, 400);
    EXPECT_TRUE(file.rgb == expected.rgb) << "the saved picture differs from the snapshot";
    EXPECT_EQ(r.result.err, "quillon: Warning! cannot write the picture (" + missing +
                                ": No such file or directory)\n");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(r.result.out, "clipboard: picture 400x300\n");

    // A name ending in .svg gets the SVG picture that a snapshot of that name writes.
    const std::string svg = (folder / "saved.SVG").string();
    const std::string svgSnapshot = (folder / "snapshot.svg").string();
    r = runScript("choose " + svg + "\nmenu 40020\n");
    ASSERT_EQ(r.result.exitCode, 0) << r.result.err;
    auto snap = runProcess(QUILLON_EXE, {"--snapshot", svgSnapshot, "--size", "400x300",
                                         (folder / "square.txt").string()});
    ASSERT_EQ(snap.exitCode, 0) << snap.err;
    const std::string written = testsupport::readFile(svg);
    EXPECT_EQ(written.rfind("<?xml", 0), 0u);
    EXPECT_EQ(written, testsupport::readFile(svgSnapshot));
}

}  // namespace

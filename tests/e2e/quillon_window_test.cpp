// The quillon window on a virtual X server, driven with the mouse and the keyboard and checked
// on screenshots.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>
#include <set>
#include <string>

#include "tests/e2e/text_ink.h"
#include "tests/e2e/x_session.h"
#include "tests/model/result_text.h"
#include "tests/support/large_model.h"
#include "tests/support/run_process.h"
#include "tests/support/skip.h"
#include "tests/support/temp_file.h"
#include "viewer/platform/dialog_navigation.h"
#include "viewer/platform/linux/widget_face.h"
#include "viewer/platform/window_events.h"
#include "viewer/resources/dialogs.h"

namespace {

using namespace std::chrono_literals;
using testsupport::differingPixels;
using testsupport::Picture;
using testsupport::Rgb;
using testsupport::waitUntil;

constexpr auto kPatience = 30s;     // for windows and pictures to appear on a loaded machine
constexpr int kMenuAllowance = 40;  // rows under the window's top edge left out of the view
const char* kMainTitle = "^Quillon Contour";

// Outlines are white lit by the viewer's light: grey to white. Contour fill and legend are
// coloured and the background is black, so only outlines are light neutral pixels.
bool isOutline(const Rgb& c) {
    return c.r == c.g && c.g == c.b && c.r >= 60;
}

// A square shell and a triangle beside it.
std::string squareFile() {
    return testsupport::writeFile("square.txt", testsupport::squareModel().text());
}

// One upright, narrow shell: tall and thin on the screen, unlike the square.
std::string stripFile() {
    testsupport::ResultText r;
    r.nodes = {"0,0,0", "1,0,0", "1,0,6", "0,0,6"};
    r.disps = {"0,0,0,0,0,0", "0,0,0.2,0,0,0", "0,0,0.4,0,0,0", "0,0,0.1,0,0,0"};
    r.quads = {"0,1,2,3"};
    return testsupport::writeFile("strip.txt", r.text());
}

constexpr int kViewWidth = 1024, kViewHeight = 768;  // the view's size at the start
constexpr int kEdgeAllowance = 800;                  // about 0.1 % of the view

// Message boxes show their text at 14 pixels per em.
constexpr int kMessagePixels = 14;

// The first line of the box `window` shows `text` (Chinese) as the widgets' face draws it,
// not as the row of empty boxes that a face without Chinese glyphs leaves.
// The lines of ink of box `window` once it has been drawn: two screenshots agree and show at
// least `lines` lines (its text and its button); what was last seen otherwise.
std::vector<testsupport::Ink> boxLines(const testsupport::XSession& x, const std::string& window,
                                       std::size_t lines) {
    Picture last;
    std::vector<testsupport::Ink> found;
    waitUntil(
        [&] {
            testsupport::WindowGeometry g = x.geometry(window);
            Picture p = testsupport::crop(x.screenshot(), g.x, g.y, g.x + g.width, g.y + g.height);
            bool settled = p.width > 0 && p.rgb == last.rgb;
            last = std::move(p);
            found = testsupport::inkLines(last);
            return settled && found.size() >= lines;
        },
        kPatience, 250ms);
    return found;
}

void expectReadable(const testsupport::XSession& x, const std::string& window,
                    const std::string& text) {
    const auto& face = quillon::platform::widgetFace();
    ASSERT_TRUE(face) << "no installed face has both Latin and Chinese glyphs";
    testsupport::Ink expected =
        testsupport::renderedInk(face->file, face->index, kMessagePixels, text);
    auto lines = boxLines(x, window, 2);
    ASSERT_GE(lines.size(), 2u) << "the box shows no text and button";
    testsupport::Ink shown = lines.front();
    // The same characters drawn as missing glyphs by a Latin face (DejaVu Sans, the face
    // FLTK picks for "sans" here): the check must tell the two apart.
    std::string tofuFile = testsupport::fontFile("DejaVu Sans");
    ASSERT_FALSE(tofuFile.empty()) << "DejaVu Sans is not installed";
    testsupport::Ink tofu = testsupport::renderedInk(tofuFile, 0, kMessagePixels, text);
    ASSERT_GT(std::abs(tofu.width - expected.width), expected.width / 5);

    EXPECT_NEAR(shown.width, expected.width, 2 + expected.width / 10)
        << "empty boxes would be " << tofu.width << " pixels wide";
    EXPECT_NEAR(shown.amount, expected.amount, expected.amount / 4)
        << "empty boxes would leave " << tofu.amount << " of ink";
    EXPECT_LT(std::abs(shown.amount - expected.amount), std::abs(shown.amount - tofu.amount));
}

class QuillonWindow : public ::testing::Test {
  protected:
    // Further arguments of the virtual X server.
    virtual std::vector<std::string> serverArguments() const { return {}; }

    void SetUp() override {
        std::string why;
        if (!x_.start(why, serverArguments())) {
            SKIP_OR_FAIL_IN_CI() << "no virtual X server: " << why;
        }
    }

    // Starts quillon with `args` in `cwd`; File > Open answers `openAnswer` when given.
    void startQuillon(const std::vector<std::string>& args, const std::string& cwd = "",
                      const std::optional<std::string>& openAnswer = std::nullopt) {
        std::vector<std::string> argv = {QUILLON_EXE};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> env = {x_.displayEnv()};
        if (openAnswer)
            env.push_back(std::string(quillon::platform::kOpenFileAnswerVariable) + "=" +
                          *openAnswer);
        ASSERT_TRUE(quillon_.start(argv, env, cwd, errPath()));
    }
    std::string errPath() const { return (testsupport::testDir() / "quillon.err").string(); }

    // The main window, once it is shown.
    std::string mainWindow() {
        auto id = x_.waitForWindow(kMainTitle, kPatience);
        EXPECT_TRUE(id) << "no main window; standard error: " << testsupport::readFile(errPath());
        return id.value_or("");
    }

    // The OpenGL view on a fresh screenshot (the window below its menu bar).
    Picture view(const std::string& window) {
        testsupport::WindowGeometry g = x_.geometry(window);
        return testsupport::crop(x_.screenshot(), g.x, g.y + kMenuAllowance, g.x + g.width,
                                 g.y + g.height);
    }
    // The view once it has stopped changing and `wanted` holds for it, or nothing. The view is
    // single-buffered, so a screenshot may catch a frame half drawn: a picture counts once two
    // screenshots some time apart agree.
    template <class Wanted>
    std::optional<Picture> settledView(const std::string& window, Wanted wanted) {
        std::optional<Picture> result;
        waitUntil(
            [&] {
                Picture p = view(window);
                bool settled = p.width > 0 && p.rgb == last_.rgb;
                last_ = std::move(p);
                if (settled && wanted(last_)) result = last_;
                return result.has_value();
            },
            kPatience, 250ms);
        if (!result)
            quillon::platform::writePng((testsupport::testDir() / "view.png").string(), last_.width,
                                        last_.height, last_.rgb);
        return result;
    }
    // The view once it shows a mesh (light outlines over black) that differs from `unlike`.
    Picture meshView(const std::string& window, const Picture& unlike = {}) {
        auto p = settledView(window, [&](const Picture& v) {
            return v.rgb != unlike.rgb && v.count(0, 0, v.width, v.height, isOutline) > 100;
        });
        EXPECT_TRUE(p) << "no new mesh in the view of " << last_.width << " x " << last_.height
                       << " pixels: " << last_.count(0, 0, last_.width, last_.height, isOutline)
                       << " outline pixels; standard error: " << testsupport::readFile(errPath());
        return p.value_or(Picture{});
    }

    // The whole OpenGL view (1024 × 768, under the menu bar) on a fresh screenshot, and its
    // top-left corner on the screen.
    Picture wholeView(const std::string& window) {
        testsupport::WindowGeometry g = x_.geometry(window);
        return testsupport::crop(x_.screenshot(), g.x, g.y + g.height - kViewHeight,
                                 g.x + kViewWidth, g.y + g.height);
    }
    std::pair<int, int> viewOrigin(const std::string& window) {
        testsupport::WindowGeometry g = x_.geometry(window);
        return {g.x, g.y + g.height - kViewHeight};
    }
    // The picture that the same steps give without a window (quillon --script, which runs the
    // window's own handlers): `steps` then a snapshot.
    Picture scripted(const std::string& model, const std::string& steps) {
        std::string png = (testsupport::testDir() / "expected.png").string();
        std::string script = testsupport::writeFile("steps.txt", steps + "snapshot " + png + "\n");
        auto r = testsupport::runProcess(QUILLON_EXE, {"--script", script, model});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        Picture p;
        EXPECT_TRUE(quillon::platform::readPng(png, p.width, p.height, p.rgb));
        return p;
    }
    // The whole view once it has settled on `expected` (the window's OpenGL and the headless
    // one differ in a few edge pixels: depth precision).
    void expectView(const std::string& window, const Picture& expected, const char* what) {
        auto near = [&](const Picture& v) { return differingPixels(v, expected) < kEdgeAllowance; };
        std::optional<Picture> shown;
        waitUntil(
            [&] {
                Picture p = wholeView(window);
                bool settled = p.width > 0 && p.rgb == last_.rgb;
                last_ = std::move(p);
                if (settled && near(last_)) shown = last_;
                return shown.has_value();
            },
            kPatience, 250ms);
        EXPECT_TRUE(shown) << what << ": " << differingPixels(last_, expected)
                           << " pixels differ from the scripted picture; standard error: "
                           << testsupport::readFile(errPath());
        if (!shown)
            quillon::platform::writePng((testsupport::testDir() / "view.png").string(), last_.width,
                                        last_.height, last_.rgb);
    }

    // The dialog with `caption` that keys typed over the view open, placed as its template says
    // (the dialog font measures the templates' 6 × 13 pixels here).
    std::string openDialog(const std::string& window, const std::vector<std::string>& keys,
                           const std::string& caption, const quillon::platform::DialogTemplate& t) {
        auto [vx, vy] = viewOrigin(window);
        x_.keysAt(vx + kViewWidth / 2, vy + kViewHeight / 2, keys);
        auto dialog = x_.waitForWindow("^" + caption + "$", kPatience);
        EXPECT_TRUE(dialog) << "no " << caption
                            << "; standard error: " << testsupport::readFile(errPath());
        if (!dialog) return "";
        testsupport::WindowGeometry g = x_.geometry(*dialog);
        auto size = quillon::platform::dialogRectangle(t);
        EXPECT_EQ(g.width, size.width) << caption;
        EXPECT_EQ(g.height, size.height) << caption;
        return *dialog;
    }
    // A click in the middle of control `id` of dialog `window`.
    void clickControl(const std::string& window, const quillon::platform::DialogTemplate& t,
                      int id) {
        testsupport::WindowGeometry g = x_.geometry(window);
        auto r = quillon::platform::controlRectangle(*t.control(id));
        x_.clickAt(g.x + r.x + r.width / 2, g.y + r.y + r.height / 2);
    }
    // Edit `id` of dialog `window` settles on a picture whose first glyph is a minus sign (not
    // one, when `minus` is false).
    void expectFirstGlyph(const std::string& window, const quillon::platform::DialogTemplate& t,
                          int id, bool minus) {
        auto r = quillon::platform::controlRectangle(*t.control(id));
        constexpr int kFrame = 2;  // the edit's sunken frame
        Picture last;
        bool seen = waitUntil(
            [&] {
                testsupport::WindowGeometry g = x_.geometry(window);
                int x = g.x + r.x, y = g.y + r.y;
                Picture p = testsupport::crop(x_.screenshot(), x + kFrame, y + kFrame,
                                              x + r.width - kFrame, y + r.height - kFrame);
                bool settled = p.width > 0 && p.rgb == last.rgb;
                last = std::move(p);
                return settled && testsupport::showsMinusFirst(last) == minus;
            },
            kPatience, 250ms);
        EXPECT_TRUE(seen) << "edit " << id << (minus ? " does not show" : " shows")
                          << " a minus sign first:\n"
                          << testsupport::sketch(last);
    }

    // File > Open from the keyboard: the menu's mnemonics, with the pointer over the view.
    void fileOpen(const std::string& window) {
        testsupport::WindowGeometry g = x_.geometry(window);
        x_.keysAt(g.x + g.width / 2, g.y + g.height / 2, {"alt+f", "o"});
    }

    testsupport::XSession x_;
    testsupport::Child quillon_;
    Picture last_;  // the latest screenshot of the view
};

TEST_F(QuillonWindow, ShowsTheStartUpModelWithLightOutlinesOnBlack) {
    startQuillon({squareFile()});
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    testsupport::WindowGeometry g = x_.geometry(window);
    EXPECT_GE(g.width, 800);
    EXPECT_GE(g.height, 600);

    Picture p = meshView(window);
    int all = p.width * p.height;
    EXPECT_GT(p.count(0, 0, p.width, p.height, testsupport::isBlack), all / 2)
        << "the background is black";
    // The model is fitted to the view: outlines reach into its left and right quarters.
    EXPECT_GT(p.count(0, 0, p.width / 4, p.height, isOutline), 10);
    EXPECT_GT(p.count(p.width * 3 / 4, 0, p.width, p.height, isOutline), 10);
    EXPECT_TRUE(quillon_.running());
}

TEST_F(QuillonWindow, OpeningAMalformedFileWarnsAndKeepsThePicture) {
    auto bad =
        testsupport::writeFile("bad.txt", "NPOIN=1\n0,0,0\n0,0,1,0,0,0\nNELEM_S_4ND=1\n0,0,0\n");
    startQuillon({squareFile()}, "", bad);
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    Picture before = meshView(window);

    fileOpen(window);
    auto box = x_.waitForWindow("^Warning!$", kPatience);
    ASSERT_TRUE(box) << "no warning box";
    // The box names the file and says what the reader found (the same goes to standard error
    // first).
    EXPECT_EQ(testsupport::readFile(errPath()),
              "quillon: Warning! 应力云图文件读取错误! (" + bad +
                  ": line 5: expected four node indices a,b,c,d)\n");

    x_.keysOn(*box, {"Return"});
    EXPECT_TRUE(waitUntil([&] { return x_.windows("^Warning!$").empty(); }, kPatience));
    // The window must draw the model it kept, not merely leave the old pixels: zoomed in with the
    // wheel, then fitted again with A, it draws the picture of the start once more.
    testsupport::WindowGeometry g = x_.geometry(window);
    x_.tool({"xdotool", "mousemove", std::to_string(g.x + g.width / 2),
             std::to_string(g.y + g.height / 2), "click", "4"});
    bool zoomed =
        settledView(window, [&](const Picture& v) { return v.rgb != before.rgb; }).has_value();
    EXPECT_TRUE(zoomed) << "the wheel did not redraw the view";
    x_.keysAt(g.x + g.width / 2, g.y + g.height / 2, {"a"});
    bool same =
        settledView(window, [&](const Picture& v) { return v.rgb == before.rgb; }).has_value();
    EXPECT_TRUE(same) << "the picture changed after a failed open: "
                      << last_.count(0, 0, last_.width, last_.height, isOutline)
                      << " outline pixels, "
                      << before.count(0, 0, before.width, before.height, isOutline) << " before";
    EXPECT_TRUE(quillon_.running());
}

TEST_F(QuillonWindow, OpeningAnotherFileChangesThePicture) {
    // The answer has no extension: the chooser's default one, "txt", completes it.
    auto strip = stripFile();
    startQuillon({squareFile()}, "", strip.substr(0, strip.size() - 4));
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    Picture before = meshView(window);

    fileOpen(window);
    Picture after = meshView(window, before);
    // The upright strip fitted to a wide view leaves its left and right quarters black.
    EXPECT_EQ(after.count(0, 0, after.width / 4, after.height, isOutline), 0);
    EXPECT_EQ(after.count(after.width * 3 / 4, 0, after.width, after.height, isOutline), 0);
    EXPECT_TRUE(x_.windows("^Warning!$").empty());
    EXPECT_TRUE(quillon_.running());
}

TEST_F(QuillonWindow, MissingStartUpFileShowsOnlyTheWarningThenExitsWithOne) {
    auto empty = testsupport::testDir() / "empty";
    std::filesystem::create_directories(empty);
    startQuillon({}, empty.string());

    auto box = x_.waitForWindow("^Warning!$", kPatience);
    ASSERT_TRUE(box) << "no warning box; standard error: " << testsupport::readFile(errPath());
    EXPECT_TRUE(x_.windows(kMainTitle, false).empty()) << "the main window exists";
    EXPECT_EQ(testsupport::readFile(errPath()), "quillon: Warning! 应力云图文件读取错误! (" +
                                                    (empty / "Quillon_AverageStrs.txt").string() +
                                                    ": No such file or directory)\n");
    EXPECT_TRUE(quillon_.running()) << "the program waits for OK";
    expectReadable(x_, *box, "应力云图文件读取错误!");

    x_.keysOn(*box, {"Return"});
    auto code = quillon_.waitForExit(kPatience);
    ASSERT_TRUE(code) << "still running after OK";
    EXPECT_EQ(*code, 1);
}

TEST_F(QuillonWindow, EscapeDoesNotCloseTheWindow) {
    startQuillon({squareFile()}, "", stripFile());
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    Picture before = meshView(window);
    testsupport::WindowGeometry g = x_.geometry(window);
    x_.keysAt(g.x + g.width / 2, g.y + g.height / 2, {"Escape", "Escape"});

    // Events are handled in order: a File > Open after the keys proves they were handled.
    fileOpen(window);
    meshView(window, before);
    EXPECT_TRUE(quillon_.running());
    EXPECT_EQ(x_.windows(kMainTitle).size(), 1u);
}

TEST_F(QuillonWindow, ViewKitFromTheMenuTurnsTheViewToAStandardOneAndStaysAbove) {
    std::string model = squareFile();
    Picture start = scripted(model, "");
    Picture plan = scripted(model, "menu 40002\npress 103 1027\n");  // XOY+
    ASSERT_GT(differingPixels(start, plan), 20 * kEdgeAllowance) << "a plan view looks different";
    startQuillon({model});
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    expectView(window, start, "start");

    // View > View Kit from the keyboard, with the pointer over the view.
    auto [vx, vy] = viewOrigin(window);
    x_.keysAt(vx + kViewWidth / 2, vy + kViewHeight / 2, {"alt+v", "k"});
    auto kit = x_.waitForWindow("^View Kit$", kPatience);
    ASSERT_TRUE(kit) << "no View Kit; standard error: " << testsupport::readFile(errPath());
    EXPECT_EQ(x_.transientFor(*kit), window);
    testsupport::WindowGeometry k = x_.geometry(*kit);
    auto press = [&](int id) {
        auto r = quillon::platform::controlRectangle(*quillon::viewKitTemplate().control(id));
        x_.clickAt(k.x + r.x + r.width / 2, k.y + r.y + r.height / 2);
    };
    press(quillon::IDC_XOY_PLUS);
    expectView(window, plan, "XOY+");

    // The button gave the keyboard back to the view: zoomed in with the wheel, the A typed
    // with the pointer over the dialog fits the view again.
    std::string steps = "menu 40002\npress 103 1027\nwheel 3 300 250\n";
    Picture planZoomed = scripted(model, steps);
    Picture planFitted = scripted(model, steps + "key a\n");
    ASSERT_GT(differingPixels(planZoomed, planFitted), 20 * kEdgeAllowance);
    x_.tool({"xdotool", "mousemove", std::to_string(vx + 300), std::to_string(vy + 250), "click",
             "--repeat", "3", "4"});
    expectView(window, planZoomed, "zoomed plan view");
    x_.tool({"xdotool", "mousemove", std::to_string(k.x + k.width / 2), std::to_string(k.y + 10),
             "key", "a"});
    expectView(window, planFitted, "A after XOY+");
    // The dialog is still above the main window: its Exit closes it.
    press(quillon::IDC_VIEWKIT_EXIT);
    EXPECT_TRUE(waitUntil([&] { return x_.windows("^View Kit$").empty(); }, kPatience));
    EXPECT_TRUE(quillon_.running());
}

TEST_F(QuillonWindow, DialogEditsShowTheNumbersTheProgramPutsInFromTheirStart) {
    // The bundled example: Sx reaches down to -48.601420, and WS+ turns alpha to -135. What the
    // edits hold, told by the same logic without a window:
    const std::string model = QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt";
    const auto& contourKit = quillon::contourKitTemplate();
    const auto& viewKit = quillon::viewKitTemplate();
    const quillon::ContourRowEdits sx = quillon::contourRowEdits(0);
    std::string steps = "menu 40019\nprint 111 " + std::to_string(sx.sl) + "\nprint 111 " +
                        std::to_string(sx.sr) + "\nmenu 40002\npress 103 " +
                        std::to_string(quillon::IDC_WS_PLUS) + "\nprint 103 " +
                        std::to_string(quillon::IDC_ALPHA) + "\nprint 103 " +
                        std::to_string(quillon::IDC_BETA) + "\n";
    auto held = testsupport::runProcess(
        QUILLON_EXE, {"--script", testsupport::writeFile("edits.txt", steps), model});
    ASSERT_EQ(held.exitCode, 0) << held.err;
    ASSERT_EQ(held.out, "-48.601420\n252.473800\n-135.00\n35.26\n");

    startQuillon({model});
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    // Every edit shows its text from the start: the sign is seen, however long the number is.
    std::string kit = openDialog(window, {"alt+c", "k"}, "Contour Kit", contourKit);
    ASSERT_FALSE(kit.empty());
    expectFirstGlyph(kit, contourKit, sx.sl, true);
    expectFirstGlyph(kit, contourKit, sx.sr, false);  // 252.473800: the check tells them apart
    clickControl(kit, contourKit, quillon::IDC_CONTOUR_EXIT);
    ASSERT_TRUE(waitUntil([&] { return x_.windows("^Contour Kit$").empty(); }, kPatience));

    kit = openDialog(window, {"alt+v", "k"}, "View Kit", viewKit);
    ASSERT_FALSE(kit.empty());
    clickControl(kit, viewKit, quillon::IDC_WS_PLUS);
    expectFirstGlyph(kit, viewKit, quillon::IDC_ALPHA, true);
    expectFirstGlyph(kit, viewKit, quillon::IDC_BETA, false);
    EXPECT_TRUE(quillon_.running());
}

TEST_F(QuillonWindow, WheelZoomsAboutThePointer) {
    std::string model = squareFile();
    Picture start = scripted(model, "");
    Picture zoomed = scripted(model, "wheel 5 300 250\nwheel -2 700 500\n");
    ASSERT_GT(differingPixels(start, zoomed), 20 * kEdgeAllowance);
    startQuillon({model});
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    expectView(window, start, "start");
    auto [vx, vy] = viewOrigin(window);
    // Button 4 is the wheel turned away from the user, 5 towards.
    x_.tool({"xdotool", "mousemove", std::to_string(vx + 300), std::to_string(vy + 250), "click",
             "--repeat", "5", "4", "mousemove", std::to_string(vx + 700), std::to_string(vy + 500),
             "click", "--repeat", "2", "5"});
    expectView(window, zoomed, "five steps in, two out");
}

TEST_F(QuillonWindow, PKeyPansWithTwoClicks) {
    std::string model = squareFile();
    Picture start = scripted(model, "");
    Picture panned = scripted(model, "key p\nclick 400 300\nmove 550 420\nclick 550 420\n");
    ASSERT_GT(differingPixels(start, panned), 20 * kEdgeAllowance);
    startQuillon({model});
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    expectView(window, start, "start");
    auto [vx, vy] = viewOrigin(window);
    x_.keysAt(vx + 400, vy + 300, {"p"});
    x_.clickAt(vx + 400, vy + 300);
    // The view follows the pointer with no button held, and stays where the second click is.
    x_.tool({"xdotool", "mousemove", std::to_string(vx + 480), std::to_string(vy + 350),
             "mousemove", std::to_string(vx + 550), std::to_string(vy + 420)});
    expectView(window, panned, "following the pointer");
    x_.clickAt(vx + 550, vy + 420);
    x_.tool({"xdotool", "mousemove", std::to_string(vx + 100), std::to_string(vy + 100)});
    expectView(window, panned, "after the second click");
}

TEST_F(QuillonWindow, MessageBoxShowsAPathAsItIsWritten) {
    // FLTK's own boxes read "@..." as a symbol and cut the text there.
    auto folder = testsupport::testDir() / "x@y&z";
    std::filesystem::create_directories(folder);
    startQuillon({}, folder.string());
    auto box = x_.waitForWindow("^Warning!$", kPatience);
    ASSERT_TRUE(box) << "no warning box; standard error: " << testsupport::readFile(errPath());
    std::string detail =
        (folder / "Quillon_AverageStrs.txt").string() + ": No such file or directory";
    ASSERT_NE(testsupport::readFile(errPath()).find("(" + detail + ")"), std::string::npos)
        << testsupport::readFile(errPath());

    // The lines after the first, but for the OK button's, hold the detail line's ink.
    const auto& face = quillon::platform::widgetFace();
    ASSERT_TRUE(face);
    testsupport::Ink expected =
        testsupport::renderedInk(face->file, face->index, kMessagePixels, detail);
    testsupport::Ink cut = testsupport::renderedInk(face->file, face->index, kMessagePixels,
                                                    detail.substr(0, detail.rfind('@')));
    auto lines = boxLines(x_, *box, 3);
    ASSERT_GE(lines.size(), 3u) << "the text's two lines (or more) and the button";
    double shown = 0;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) shown += lines[i].amount;
    EXPECT_NEAR(shown, expected.amount, expected.amount / 8)
        << "the path cut at its '@' would leave " << cut.amount;
    x_.keysOn(*box, {"Return"});
    EXPECT_EQ(quillon_.waitForExit(kPatience), std::optional<int>(1));
}

TEST_F(QuillonWindow, WindowClassIsTheProgramsAndTheLegacyTitleIsPlainText) {
    startQuillon({squareFile()});
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(x_.tool({"xprop", "-id", window, "WM_CLASS"}),
              "WM_CLASS(STRING) = \"Quillon Contour\", \"Quillon Contour\"\n");

    // The title as UTF-8 for desktops that read _NET_WM_NAME; for those that read only the
    // legacy properties (ISO Latin-1), one byte per character, ASCII as it is, and no UTF-8
    // bytes (which read as mojibake there: the title's em dash).
    std::string type;
    std::string title = x_.textProperty(window, "_NET_WM_NAME", &type);
    EXPECT_EQ(type, "UTF8_STRING");
    ASSERT_NE(title.find("Quillon Contour"), std::string::npos);
    std::vector<char32_t> characters;
    for (std::size_t at = 0; at < title.size(); ++at)
        if ((static_cast<unsigned char>(title[at]) & 0xC0) != 0x80)
            characters.push_back(static_cast<unsigned char>(title[at]) < 0x80 ? title[at]
                                                                              : U'\uFFFD');
    for (const char* property : {"WM_NAME", "WM_ICON_NAME"}) {
        std::string legacy = x_.textProperty(window, property, &type);
        EXPECT_EQ(type, "STRING") << property;
        ASSERT_EQ(legacy.size(), characters.size()) << property << ": " << legacy;
        for (std::size_t i = 0; i < legacy.size(); ++i) {
            auto byte = static_cast<unsigned char>(legacy[i]);
            EXPECT_FALSE(byte >= 0x80 && byte < 0xA0) << property << " byte " << i;
            if (characters[i] < 0x80) {
                EXPECT_EQ(static_cast<char32_t>(byte), characters[i]) << property << " byte " << i;
            }
        }
    }
    EXPECT_TRUE(quillon_.running());
}

// File > Save Picture writes what the window shows, the pixels of the script's snapshot of the
// same steps; Ctrl+C in the view puts the same picture on the clipboard as image/png, which
// another program reads for as long as quillon runs.
TEST_F(QuillonWindow, SavesAndCopiesThePictureItShows) {
    const std::string model = squareFile();
    const Picture zoomed = scripted(model, "wheel 2 300 250\n");
    const std::string saved = (testsupport::testDir() / "saved.png").string();
    startQuillon({model}, "", saved);
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    auto [vx, vy] = viewOrigin(window);
    x_.tool({"xdotool", "mousemove", std::to_string(vx + 300), std::to_string(vy + 250), "click",
             "--repeat", "2", "4"});
    expectView(window, zoomed, "two steps in");

    auto same = [&](const Picture& p) { return p.width == zoomed.width && p.rgb == zoomed.rgb; };
    Picture file;
    x_.keysAt(vx + kViewWidth / 2, vy + kViewHeight / 2, {"alt+f", "p"});
    EXPECT_TRUE(waitUntil(
        [&] { return quillon::platform::readPng(saved, file.width, file.height, file.rgb); },
        kPatience))
        << "no picture saved; standard error: " << testsupport::readFile(errPath());
    EXPECT_TRUE(same(file)) << differingPixels(file, zoomed) << " pixels differ";

    const std::string pasted = (testsupport::testDir() / "pasted.png").string();
    x_.keysAt(vx + kViewWidth / 2, vy + kViewHeight / 2, {"ctrl+c"});
    Picture clipboard;
    EXPECT_TRUE(waitUntil(
        [&] {
            x_.tool({"sh", "-c", "xclip -selection clipboard -t image/png -o > '" + pasted + "'"});
            return quillon::platform::readPng(pasted, clipboard.width, clipboard.height,
                                              clipboard.rgb) &&
                   same(clipboard);
        },
        kPatience))
        << "the clipboard holds no such picture; standard error: "
        << testsupport::readFile(errPath());
    EXPECT_TRUE(quillon_.running());
}

// The pictures that `quillon --script` draws for a run of steps with a snapshot after each group
// of them, in order.
std::vector<Picture> scriptedPictures(const std::string& model,
                                      const std::vector<std::string>& groups) {
    std::string steps;
    std::vector<std::string> files;
    for (std::size_t k = 0; k < groups.size(); ++k) {
        files.push_back(
            (testsupport::testDir() / ("expected" + std::to_string(k) + ".png")).string());
        steps += groups[k] + "snapshot " + files.back() + "\n";
    }
    auto r = testsupport::runProcess(
        QUILLON_EXE, {"--script", testsupport::writeFile("groups.txt", steps), model});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<Picture> pictures(files.size());
    for (std::size_t k = 0; k < files.size(); ++k)
        EXPECT_TRUE(quillon::platform::readPng(files[k], pictures[k].width, pictures[k].height,
                                               pictures[k].rgb));
    return pictures;
}

// In one window, step by step, what the same steps give without a window: the fourteen standard
// views of the View Kit deformed, then undeformed from a plan view (an undeformed plate from above
// has every outline on its face, one step of depth in front of it), node markers and shell
// numbers, a wheel zoom and a pan.
TEST_F(QuillonWindow, ShowsWhatTheScriptDrawsInEveryStandardView) {
    using namespace quillon;
    const std::string model = QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt";
    const int views[] = {IDC_XOY_PLUS,  IDC_XOY_MINUS, IDC_XOZ_PLUS, IDC_XOZ_MINUS, IDC_YOZ_PLUS,
                         IDC_YOZ_MINUS, IDC_EN_PLUS,   IDC_EN_MINUS, IDC_WN_PLUS,   IDC_WN_MINUS,
                         IDC_WS_PLUS,   IDC_WS_MINUS,  IDC_ES_PLUS,  IDC_ES_MINUS};
    std::vector<std::string> groups = {"menu 40002\n"};
    for (int id : views) groups.push_back("press 103 " + std::to_string(id) + "\n");
    groups.push_back("menu 40017\npress 109 1042\npress 109 1041\nkey o\n");
    for (int id : views) groups.push_back("press 103 " + std::to_string(id) + "\n");
    groups.push_back("key o\nmenu 40017\nselect 109 1036 0\nselect 109 1039 0\npress 109 1041\n");
    groups.push_back("wheel 3 300 250\n");
    groups.push_back("key p\nclick 400 300\nmove 550 420\nclick 550 420\n");
    const std::vector<Picture> expected = scriptedPictures(model, groups);
    ASSERT_EQ(expected.size(), groups.size());

    startQuillon({model});
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    std::size_t next = 0;
    auto expectNext = [&](const std::string& what) {
        expectView(window, expected[next++], what.c_str());
    };
    const auto& kitTemplate = viewKitTemplate();
    const auto& plotTemplate = plotSettingsTemplate();
    std::string kit = openDialog(window, {"alt+v", "k"}, "View Kit", kitTemplate);
    ASSERT_FALSE(kit.empty());
    expectNext("start");
    auto [vx, vy] = viewOrigin(window);
    auto standardViews = [&](const std::string& shape) {
        for (int id : views) {
            clickControl(kit, kitTemplate, id);
            expectNext(shape + " view " + kitTemplate.control(id)->text);
        }
    };
    standardViews("deformed");

    std::string plot = openDialog(window, {"alt+o", "s"}, "Plot Settings", plotTemplate);
    ASSERT_FALSE(plot.empty());
    clickControl(plot, plotTemplate, IDC_DEFORMED);
    clickControl(plot, plotTemplate, IDC_PLOT_EXIT);
    ASSERT_TRUE(waitUntil([&] { return x_.windows("^Plot Settings$").empty(); }, kPatience));
    x_.keysAt(vx + kViewWidth / 2, vy + kViewHeight / 2, {"o"});
    expectNext("undeformed plan view (O)");
    standardViews("undeformed");

    // Each combo box's list opens on None, its last item, under the pointer: two up is All.
    x_.keysAt(vx + kViewWidth / 2, vy + kViewHeight / 2, {"o"});
    plot = openDialog(window, {"alt+o", "s"}, "Plot Settings", plotTemplate);
    ASSERT_FALSE(plot.empty());
    for (int id : {IDC_SHELL_NUMBERS, IDC_NODES}) {
        testsupport::WindowGeometry g = x_.geometry(plot);
        auto r = platform::controlRectangle(*plotTemplate.control(id));
        x_.tool({"xdotool", "mousemove", std::to_string(g.x + r.x + r.width / 2),
                 std::to_string(g.y + r.y + 8), "click", "1", "key", "Up", "Up", "Return"});
    }
    clickControl(plot, plotTemplate, IDC_PLOT_EXIT);
    ASSERT_TRUE(waitUntil([&] { return x_.windows("^Plot Settings$").empty(); }, kPatience));
    expectNext("node markers and shell numbers");

    x_.tool({"xdotool", "mousemove", std::to_string(vx + 300), std::to_string(vy + 250), "click",
             "--repeat", "3", "4"});
    expectNext("three wheel steps in");
    x_.keysAt(vx + 400, vy + 300, {"p"});
    x_.clickAt(vx + 400, vy + 300);
    x_.tool({"xdotool", "mousemove", std::to_string(vx + 550), std::to_string(vy + 420)});
    x_.clickAt(vx + 550, vy + 420);
    expectNext("panned");
    EXPECT_TRUE(quillon_.running());
}

class QuillonWindowLoading : public QuillonWindow {
  protected:
    // The window's title (as desktops that read UTF-8 titles show it).
    std::string title(const std::string& window) const {
        return x_.textProperty(window, "_NET_WM_NAME");
    }
    static bool showsProgress(const std::string& title) {
        static const std::regex progress("^Quillon Contour.* - [0-9]+ %$");
        return std::regex_match(title, progress);
    }
    // Waits until the title has shown two different shares of the load: the window answers
    // while the load reads on. Returns the shares seen.
    std::set<std::string> progressSeen(const std::string& window) {
        std::set<std::string> seen;
        waitUntil(
            [&] {
                std::string t = title(window);
                if (showsProgress(t)) seen.insert(t);
                return seen.size() >= 2;
            },
            kLoadPatience);
        return seen;
    }
    // Starts quillon on a pipe made for the purpose, which nobody writes yet; gives its main
    // window once the title shows that the load waits (empty on failure).
    std::string startOnPipe(const std::string& pipe) {
        if (mkfifo(pipe.c_str(), 0600) != 0) return "";
        startQuillon({pipe});
        std::string window = mainWindow();
        if (window.empty()) return "";
        EXPECT_TRUE(waitUntil([&] { return showsProgress(title(window)); }, kPatience))
            << "the title is " << title(window);
        return window;
    }
    // Waits until the title is the usual one again: the load has ended.
    bool usualTitle(const std::string& window) {
        std::string last;
        bool back = waitUntil(
            [&] {
                last = title(window);
                return last.starts_with("Quillon Contour") && !showsProgress(last);
            },
            kLoadPatience);
        EXPECT_TRUE(back) << "the title is still \"" << last
                          << "\"; standard error: " << testsupport::readFile(errPath());
        return back;
    }

    // A load of the large model on a busy machine.
    static constexpr auto kLoadPatience = 180s;
};

// The start-up file loads while the window shows, black, with the share read in its title;
// then the model appears under the usual title.
TEST_F(QuillonWindowLoading, StartUpLoadShowsItsProgressThenTheModel) {
    const std::string model = testsupport::largeModelFile();
    startQuillon({model});
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(progressSeen(window).size(), 2u) << "no progress seen in the title";
    EXPECT_TRUE(settledView(window, [](const Picture& v) {
        return v.count(0, 0, v.width, v.height, testsupport::isBlack) == v.width * v.height;
    })) << "the view is not black while the model loads";
    ASSERT_TRUE(usualTitle(window));
    meshView(window);
    EXPECT_TRUE(quillon_.running());
}

// Esc during File > Open of a large file stops the load: the model shown before stays, and the
// window goes on with it.
TEST_F(QuillonWindowLoading, EscStopsAFileOpenAndKeepsTheModelShown) {
    const std::string large = testsupport::largeModelFile();
    const std::string model = squareFile();
    const Picture start = scripted(model, "");
    const Picture zoomed = scripted(model, "wheel 2 300 250\n");
    startQuillon({model}, "", large);
    std::string window = mainWindow();
    ASSERT_FALSE(window.empty());
    expectView(window, start, "start");

    fileOpen(window);
    EXPECT_EQ(progressSeen(window).size(), 2u) << "no progress seen in the title";
    auto [vx, vy] = viewOrigin(window);
    x_.keysAt(vx + kViewWidth / 2, vy + kViewHeight / 2, {"Escape"});
    ASSERT_TRUE(usualTitle(window));
    expectView(window, start, "after Esc");
    // The square is the model, not merely the pixels left on the screen: the wheel zooms it.
    x_.tool({"xdotool", "mousemove", std::to_string(vx + 300), std::to_string(vy + 250), "click",
             "--repeat", "2", "4"});
    expectView(window, zoomed, "two steps in");
    EXPECT_TRUE(quillon_.running());
}

// A start-up file that fails after the window has shown (a pipe, which loads for as long as its
// writer takes) ends the program as a failed start-up load always did: the warning with the
// reader's message, then exit code 1.
TEST_F(QuillonWindowLoading, StartUpLoadThatFailsLateEndsWithTheWarningAndOne) {
    const std::string pipe = (testsupport::testDir() / "slow.txt").string();
    ASSERT_FALSE(startOnPipe(pipe).empty());
    // Not waiting for a reader: quillon has the pipe open by now, or the test fails.
    const int writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(writer, 0) << "quillon does not read the pipe";
    const std::string text = "NPOIN=1\n0,0,0\n0,0,1,0,0,0\nNELEM_S_4ND=1\n0,0,0\n";
    EXPECT_EQ(write(writer, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(writer);
    auto box = x_.waitForWindow("^Warning!$", kPatience);
    ASSERT_TRUE(box) << "no warning box; standard error: " << testsupport::readFile(errPath());
    EXPECT_EQ(testsupport::readFile(errPath()),
              "quillon: Warning! line 5: expected four node indices a,b,c,d\n");
    x_.keysOn(*box, {"Return"});
    EXPECT_EQ(quillon_.waitForExit(kPatience), std::optional<int>(1));
}

// Closing the window while the start-up file is a pipe that nobody writes ends the program:
// the read that waits for the pipe does not keep it alive.
TEST_F(QuillonWindowLoading, ClosingTheWindowWhileItsPipeStaysSilentEndsTheProgram) {
    const std::string window = startOnPipe((testsupport::testDir() / "silent.txt").string());
    ASSERT_FALSE(window.empty());
    x_.closeBox(window);
    EXPECT_EQ(quillon_.waitForExit(kPatience), std::optional<int>(0));
}

// A display without OpenGL (an X server without GLX): the window cannot get its pixel format.
class QuillonWindowWithoutGlx : public QuillonWindow {
  protected:
    std::vector<std::string> serverArguments() const override { return {"-extension", "GLX"}; }
};

TEST_F(QuillonWindowWithoutGlx, ShowsTheTwoPixelFormatBoxesThenExitsWithOne) {
    startQuillon({squareFile()});
    auto first = x_.waitForWindow("^Warning!$", kPatience);
    ASSERT_TRUE(first) << "no warning box; standard error: " << testsupport::readFile(errPath());
    EXPECT_EQ(testsupport::readFile(errPath()), "quillon: Warning! ChoosePixelFormat failed!\n");
    EXPECT_TRUE(x_.windows(kMainTitle, false).empty()) << "the main window exists";

    x_.keysOn(*first, {"Return"});
    std::optional<std::string> second;
    waitUntil(
        [&] {
            for (const std::string& id : x_.windows("^Warning!$"))
                if (id != *first) second = id;
            return second.has_value();
        },
        kPatience);
    ASSERT_TRUE(second) << "no second box; standard error: " << testsupport::readFile(errPath());
    EXPECT_EQ(testsupport::readFile(errPath()),
              "quillon: Warning! ChoosePixelFormat failed!\nquillon: Warning! 像素设置错误!\n");
    expectReadable(x_, *second, "像素设置错误!");
    EXPECT_TRUE(x_.windows(kMainTitle, false).empty()) << "the main window exists";

    x_.keysOn(*second, {"Return"});
    auto code = quillon_.waitForExit(kPatience);
    ASSERT_TRUE(code) << "still running after OK";
    EXPECT_EQ(*code, 1);
}

// Not a window test, but the window path without a display: one clear line, exit code 1.
TEST(QuillonWithoutDisplay, SaysSoAndExitsWithOne) {
    auto res = testsupport::runProcess(QUILLON_EXE, {squareFile()}, "DISPLAY=");
    EXPECT_EQ(res.exitCode, 1);
    EXPECT_EQ(res.err, "quillon: no display; use --snapshot OUT.png to draw without a window\n");
    res = testsupport::runProcess(QUILLON_EXE, {"--frobnicate"}, "DISPLAY=");
    EXPECT_EQ(res.exitCode, 2);
    EXPECT_NE(res.err.find("unknown option --frobnicate"), std::string::npos);
}

}  // namespace

// quillon.exe's window under Wine on a virtual X server, driven with the mouse and the keyboard
// (xdotool) and checked on screenshots against the pictures that quillon.exe --script draws
// headless for the same steps. window_probe.exe, beside it under Wine, tells what Win32 sees:
// the main window's client area and title, a dialog's controls by window class and text.
// The Windows build runs this Linux program, telling it its programs in the environment:
// QUILLON_WINDOWS_EXE, QUILLON_WINDOW_PROBE and QUILLON_WINE_RUN (cmake/wine-run.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "tests/e2e/x_session.h"
#include "tests/model/result_text.h"
#include "tests/support/large_model.h"
#include "tests/support/run_process.h"
#include "tests/support/skip.h"
#include "tests/support/temp_file.h"
#include "viewer/platform/dialog_navigation.h"
#include "viewer/resources/dialog_numbers.h"
#include "viewer/resources/dialogs.h"

namespace {

using namespace std::chrono_literals;
using testsupport::differingPixels;
using testsupport::Picture;
using testsupport::waitUntil;

constexpr auto kPatience = 60s;      // Wine and llvmpipe on a loaded machine
constexpr int kEdgeAllowance = 800;  // pixels: the window's depth buffer is finer than headless

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A Linux path as the Windows program sees it (Wine's drive Z: is the root).
std::string windowsPath(const std::filesystem::path& path) {
    std::string text = "Z:" + std::filesystem::absolute(path).string();
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    for (std::string f; std::getline(in, f, '\t');) out.push_back(f);
    return out;
}

struct Rectangle {
    int x = 0, y = 0, width = 0, height = 0;
    int centreX() const { return x + width / 2; }
    int centreY() const { return y + height / 2; }
};

struct Control {
    std::string kind, text;
    int id = 0, checked = -1;
    Rectangle place;
};

// What the probe said about one window; empty when it found none.
struct Probed {
    bool found = false;
    Rectangle place;
    std::string title;
    std::vector<Control> controls;
    const Control* control(int id) const {
        for (const Control& c : controls)
            if (c.id == id) return &c;
        return nullptr;
    }
    const Control* labelled(const std::string& text) const {
        for (const Control& c : controls)
            if (c.text == text) return &c;
        return nullptr;
    }
};

Rectangle rectangleAt(const std::vector<std::string>& f, std::size_t first) {
    return {std::atoi(f[first].c_str()), std::atoi(f[first + 1].c_str()),
            std::atoi(f[first + 2].c_str()), std::atoi(f[first + 3].c_str())};
}

// The window class of each control kind.
const char* windowClass(quillon::platform::ControlKind kind) {
    using K = quillon::platform::ControlKind;
    switch (kind) {
        case K::Static:
            return "Static";
        case K::Edit:
            return "Edit";
        case K::ComboBox:
            return "ComboBox";
        default:
            return "Button";  // push buttons, radio buttons, check boxes and group boxes
    }
}

class WineWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        exe_ = environment("QUILLON_WINDOWS_EXE");
        probe_ = environment("QUILLON_WINDOW_PROBE");
        wineRun_ = environment("QUILLON_WINE_RUN");
        if (exe_.empty() || probe_.empty() || wineRun_.empty()) {
            SKIP_OR_FAIL_IN_CI() << "run by the Windows build, which names its programs";
        }
        std::string why;
        if (!x_.start(why)) {
            SKIP_OR_FAIL_IN_CI() << "no virtual X server: " << why;
        }
        folder_ = testsupport::testDir();
    }

    // Starts quillon.exe in the test's folder; File > Open answers `openAnswer` when given.
    void startQuillon(const std::optional<std::string>& openAnswer = std::nullopt) {
        std::vector<std::string> env = {x_.displayEnv()};
        if (openAnswer) env.push_back(std::string("QUILLON_OPEN_FILE_ANSWER=") + *openAnswer);
        ASSERT_TRUE(quillon_.start({wineRun_, exe_}, env, folder_.string(), errPath()));
    }
    std::string errPath() const { return (folder_ / "quillon.err").string(); }
    std::string errors() const { return testsupport::readFile(errPath()); }
    void copyExample() {
        std::filesystem::copy_file(QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt",
                                   folder_ / "Quillon_AverageStrs.txt");
    }
    // quillon.exe started on the example in its working folder: the client area of its window.
    Rectangle startOnTheExample() {
        copyExample();
        startQuillon();
        return mainWindow();
    }

    Probed probe(const std::vector<std::string>& args) const {
        std::vector<std::string> all = {probe_, windowsPath(exe_)};
        all.insert(all.end(), args.begin(), args.end());
        testsupport::ProcessResult r = testsupport::runProcess(wineRun_, all, x_.displayEnv());
        Probed p;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> f = fields(line);
            if (f.size() >= 5 && f[0] == "window") {
                p.found = true;
                p.place = rectangleAt(f, 1);
                if (f.size() >= 6) p.title = f[5];
            } else if (f.size() >= 8 && f[0] == "control") {
                Control c;
                c.kind = f[1];
                c.id = std::atoi(f[2].c_str());
                c.checked = std::atoi(f[3].c_str());
                c.place = rectangleAt(f, 4);
                if (f.size() >= 9) c.text = f[8];
                p.controls.push_back(c);
            }
        }
        return p;
    }
    // True when the probe ran `args` with success.
    bool probeSays(const std::vector<std::string>& args) const {
        std::vector<std::string> all = {probe_, windowsPath(exe_)};
        all.insert(all.end(), args.begin(), args.end());
        return testsupport::runProcess(wineRun_, all, x_.displayEnv()).exitCode == 0;
    }
    // The main window's client area once the window is shown.
    Rectangle mainWindow() {
        Probed main;
        bool shown = x_.waitForWindow("^Quillon Contour", kPatience) &&
                     waitUntil([&] { return (main = probe({"main"})).found; }, kPatience);
        EXPECT_TRUE(shown) << "no main window; standard error: " << errors();
        EXPECT_EQ(main.title, "Quillon Contour \u2014 quillon team, 2026");
        return main.place;
    }
    // The newest dialog with `caption`, with its controls, once it is there.
    Probed dialog(const std::string& caption) {
        Probed d;
        bool shown = waitUntil([&] { return (d = probe({"dialog", caption})).found; }, kPatience);
        EXPECT_TRUE(shown) << "no dialog " << caption << "; standard error: " << errors();
        return d;
    }

    // The picture quillon.exe --script draws for `steps` at the client area's size.
    Picture scripted(const Rectangle& client, const std::string& steps) {
        auto png = folder_ / "expected.png";
        std::filesystem::remove(png);
        std::string script =
            testsupport::writeFile("steps.txt", steps + "snapshot " + windowsPath(png) + "\n");
        auto r = testsupport::runProcess(
            wineRun_, {exe_, "--script", windowsPath(script), "--size",
                       std::to_string(client.width) + "x" + std::to_string(client.height),
                       windowsPath(folder_ / "Quillon_AverageStrs.txt")});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        Picture p;
        EXPECT_TRUE(quillon::platform::readPng(png.string(), p.width, p.height, p.rgb));
        return p;
    }

    // The client area once it has settled on `expected`: two screenshots agree and differ from
    // it in no more than a few edge pixels.
    void expectView(const Rectangle& client, const Picture& expected, const char* what) {
        Picture last;
        int differing = 0;
        bool shown = waitUntil(
            [&] {
                Picture p = testsupport::crop(x_.screenshot(), client.x, client.y,
                                              client.x + client.width, client.y + client.height);
                bool settled = p.width > 0 && p.rgb == last.rgb;
                last = std::move(p);
                differing = differingPixels(last, expected);
                return settled && differing < kEdgeAllowance;
            },
            kPatience, 250ms);
        EXPECT_TRUE(shown) << what << ": " << differing
                           << " pixels differ from the scripted picture; standard error: "
                           << errors();
        if (!shown)
            quillon::platform::writePng((folder_ / "view.png").string(), last.width, last.height,
                                        last.rgb);
    }

    // Menu command by its mnemonics, with the pointer over the view.
    void menu(const Rectangle& client, const std::string& menuKey, const std::string& itemKey) {
        x_.keysAt(client.centreX(), client.centreY(), {"alt+" + menuKey, itemKey});
    }
    void click(const Rectangle& client, int x, int y) { x_.clickAt(client.x + x, client.y + y); }

    testsupport::XSession x_;
    testsupport::Child quillon_;
    std::filesystem::path folder_;
    std::string exe_, probe_, wineRun_;
};

TEST_F(WineWindow, OpensOnTheExampleInTheWorkingFolderAndTheWheelZoomsAboutThePointer) {
    Rectangle client = startOnTheExample();
    ASSERT_GT(client.width, 0);
    Picture start = scripted(client, "");
    Picture zoomed = scripted(client, "wheel 3 300 250\n");
    ASSERT_GT(differingPixels(start, zoomed), 20 * kEdgeAllowance);
    expectView(client, start, "start");
    // Button 4 is the wheel turned away from the user. The zoom keeps the point under the
    // pointer, which the window must give in client pixels, not screen pixels.
    x_.tool({"xdotool", "mousemove", std::to_string(client.x + 300), std::to_string(client.y + 250),
             "click", "--repeat", "3", "4"});
    expectView(client, zoomed, "three steps in");
    EXPECT_TRUE(quillon_.running());
}

TEST_F(WineWindow, ViewKitIsAWin32DialogWhoseStandardViewTurnsTheModel) {
    Rectangle client = startOnTheExample();
    ASSERT_GT(client.width, 0);
    Picture plan = scripted(client, "menu 40002\npress 103 1027\n");  // XOY+
    menu(client, "v", "k");
    Probed kit = dialog("View Kit");
    ASSERT_TRUE(kit.found);
    // Every control of the template, by its window class and (buttons) its text.
    for (const auto& c : quillon::viewKitTemplate().controls) {
        if (c.id == quillon::platform::IDC_STATIC) continue;
        const Control* shown = kit.control(c.id);
        ASSERT_TRUE(shown) << "no control " << c.id;
        EXPECT_EQ(shown->kind, windowClass(c.kind)) << "control " << c.id;
        if (shown->kind == "Button") {
            EXPECT_EQ(shown->text, c.text) << "control " << c.id;
        }
    }
    EXPECT_EQ(kit.control(quillon::IDC_ALPHA)->text, quillon::formatTwoDecimals(225));
    EXPECT_EQ(kit.control(quillon::IDC_BETA)->text, quillon::formatTwoDecimals(35.26));

    const Control* xoy = kit.control(quillon::IDC_XOY_PLUS);
    x_.clickAt(xoy->place.centreX(), xoy->place.centreY());
    expectView(client, plan, "XOY+");
    // The main loop gives the dialog its keys: Esc in the angle's edit closes it.
    const Control* alpha = kit.control(quillon::IDC_ALPHA);
    x_.clickAt(alpha->place.centreX(), alpha->place.centreY());
    x_.keysAt(alpha->place.centreX(), alpha->place.centreY(), {"Escape"});
    EXPECT_TRUE(waitUntil(
        [&] {
            return !probe({"dialog", "View Kit"}).found;
        },
        kPatience))
        << "Esc did not close the View Kit";
    EXPECT_TRUE(quillon_.running());
}

TEST_F(WineWindow, ContourKitsSxRadioButtonChangesTheLegend) {
    Rectangle client = startOnTheExample();
    ASSERT_GT(client.width, 0);
    Picture start = scripted(client, "");
    Picture sx = scripted(client, "menu 40019\npress 111 1046\n");
    // The legend, at the right edge, shows other numbers (the fill may well differ too).
    auto legend = [&](const Picture& p) {
        return testsupport::crop(p, p.width - 200, 0, p.width, p.height);
    };
    ASSERT_GT(differingPixels(legend(start), legend(sx)), 200);
    expectView(client, start, "start");
    menu(client, "c", "k");
    Probed kit = dialog("Contour Kit");
    ASSERT_TRUE(kit.found);
    const Control* radio = kit.control(quillon::IDC_COMPONENT_SX);
    ASSERT_TRUE(radio);
    EXPECT_EQ(radio->text, "0-Sx");
    EXPECT_EQ(radio->checked, 0);
    EXPECT_EQ(kit.control(quillon::IDC_COMPONENT_SE)->checked, 1);

    x_.clickAt(radio->place.centreX(), radio->place.centreY());
    expectView(client, sx, "Sx");
    kit = dialog("Contour Kit");
    EXPECT_EQ(kit.control(quillon::IDC_COMPONENT_SX)->checked, 1);
    EXPECT_EQ(kit.control(quillon::IDC_COMPONENT_SE)->checked, 0);
}

// The undeformed plan view (Plot Settings' Deformed/Undeformed, Exit, then O) and three standard
// views of the View Kit: what the window shows is what the script draws, whatever depth buffer
// the window's pixel format has.
TEST_F(WineWindow, ShowsWhatTheScriptDrawsInThePlanViewAndThreeStandardViews) {
    using namespace quillon;
    Rectangle client = startOnTheExample();
    ASSERT_GT(client.width, 0);
    const std::string undeformed = "menu 40017\npress 109 1042\npress 109 1041\nkey o\n";
    const Picture plan = scripted(client, undeformed);
    expectView(client, scripted(client, ""), "start");
    menu(client, "o", "s");
    Probed settings = dialog("Plot Settings");
    ASSERT_TRUE(settings.found);
    for (int id : {IDC_DEFORMED, IDC_PLOT_EXIT}) {
        const Control* button = settings.control(id);
        ASSERT_TRUE(button) << "no control " << id;
        x_.clickAt(button->place.centreX(), button->place.centreY());
    }
    ASSERT_TRUE(waitUntil([&] { return !probe({"dialog", "Plot Settings"}).found; }, kPatience));
    x_.keysAt(client.centreX(), client.centreY(), {"o"});
    expectView(client, plan, "undeformed plan view");

    menu(client, "v", "k");
    Probed kit = dialog("View Kit");
    ASSERT_TRUE(kit.found);
    for (int id : {IDC_XOZ_PLUS, IDC_WN_MINUS, IDC_ES_PLUS}) {
        const Picture turned =
            scripted(client, undeformed + "menu 40002\npress 103 " + std::to_string(id) + "\n");
        const Control* button = kit.control(id);
        ASSERT_TRUE(button) << "no control " << id;
        x_.clickAt(button->place.centreX(), button->place.centreY());
        expectView(client, turned, button->text.c_str());
    }
    EXPECT_TRUE(quillon_.running());
}

// A minimise and a restore are no resize: the user's zoom stays (a refit would lose it).
TEST_F(WineWindow, MinimiseAndRestoreKeepTheView) {
    Rectangle client = startOnTheExample();
    ASSERT_GT(client.width, 0);
    const Picture zoomed = scripted(client, "wheel 3 300 250\n");
    expectView(client, scripted(client, ""), "start");
    x_.tool({"xdotool", "mousemove", std::to_string(client.x + 300), std::to_string(client.y + 250),
             "click", "--repeat", "3", "4"});
    expectView(client, zoomed, "three steps in");
    ASSERT_TRUE(waitUntil([&] { return probeSays({"minimize"}); }, kPatience))
        << "the window was not minimised";
    ASSERT_TRUE(waitUntil([&] { return probeSays({"restore"}); }, kPatience))
        << "the window was not restored";
    expectView(client, zoomed, "restored");
    EXPECT_TRUE(quillon_.running());
}

// Wheel deltas add up: three of 40, as a high-resolution wheel sends for one notch, are one
// step of 5 %, not three.
TEST_F(WineWindow, SmallWheelDeltasAddUpToOneStepPerNotch) {
    Rectangle client = startOnTheExample();
    ASSERT_GT(client.width, 0);
    const Picture oneStep = scripted(client, "wheel 1 300 250\n");
    const Picture threeSteps = scripted(client, "wheel 3 300 250\n");
    ASSERT_GT(differingPixels(oneStep, threeSteps), 20 * kEdgeAllowance);
    expectView(client, scripted(client, ""), "start");
    ASSERT_TRUE(probeSays({"wheel", "40", "300", "250", "3"}));
    expectView(client, oneStep, "three deltas of 40");
    EXPECT_TRUE(quillon_.running());
}

// A character beyond the Basic Multilingual Plane comes as two WM_CHAR, a surrogate pair, and is
// one character: U+1F44F, whose low half ends in 4F as "O" does, is no key of the view. A lone
// high surrogate does not take the key after it. (Each pair is followed by a wheel step, which
// the window handles after it: once the step shows, the pair has been handled.)
TEST_F(WineWindow, ACharacterTypedAsASurrogatePairIsOneCharacter) {
    Rectangle client = startOnTheExample();
    ASSERT_GT(client.width, 0);
    const Picture zoomed = scripted(client, "wheel 1 300 250\n");
    const Picture plan = scripted(client, "wheel 1 300 250\nkey O\nwheel 1 300 250\n");
    ASSERT_GT(differingPixels(zoomed, scripted(client, "key O\nwheel 1 300 250\n")),
              20 * kEdgeAllowance);
    expectView(client, scripted(client, ""), "start");
    ASSERT_TRUE(probeSays({"chars", "D83D", "DC4F"}));
    ASSERT_TRUE(probeSays({"wheel", "120", "300", "250", "1"}));
    expectView(client, zoomed, "a surrogate pair, then a wheel step");
    ASSERT_TRUE(probeSays({"chars", "D83D", "4F"}));
    ASSERT_TRUE(probeSays({"wheel", "120", "300", "250", "1"}));
    expectView(client, plan, "a lone high surrogate and O, then a wheel step");
}

// The common file dialog itself, not an answer given in advance: its type box shows the filter's
// description (the filter is description and pattern, each ended by a null), a long path typed
// into it opens that file, and a report still goes to the folder quillon started in, where
// Notepad shows it. (Windows' dialog moves the working folder to the file's and quillon puts it
// back; Wine's does not move it, so this run cannot show the putting back.)
TEST_F(WineWindow, TheFileDialogOpensAFileElsewhereAndReportsStayInTheWorkingFolder) {
    copyExample();
    const std::filesystem::path sub =
        folder_ / ("a folder whose name is long enough to take a result file path near the "
                   "two hundred and sixty characters that Windows paths may have");
    std::filesystem::create_directories(sub);
    testsupport::ResultText r;
    r.nodes = {"0,0,0", "1,0,0", "1,0,6", "0,0,6"};
    r.disps = {"0,0,0,0,0,0", "0,0,0.2,0,0,0", "0,0,0.4,0,0,0", "0,0,0.1,0,0,0"};
    r.quads = {"0,1,2,3"};
    const std::filesystem::path strip = sub / "strip.txt";
    testsupport::writeFile(strip.string(), r.text());
    const std::string typed = windowsPath(strip);
    ASSERT_LT(typed.size(), 260u);
    ASSERT_GT(typed.size(), 200u);

    startQuillon();
    Rectangle client = mainWindow();
    ASSERT_GT(client.width, 0);
    const Picture opened = scripted(client, "choose " + typed + "\nmenu 40001\n");
    expectView(client, scripted(client, ""), "start");
    menu(client, "f", "o");
    Probed chooser = dialog("Open file for quillon average stress contour ");
    ASSERT_TRUE(chooser.found);
    const Control* type = chooser.control(1136);  // the common dialog's type box
    ASSERT_TRUE(type);
    EXPECT_EQ(type->text, "Text Files (*.txt)");
    const Control* name = nullptr;
    for (const Control& c : chooser.controls)
        if (c.kind == "Edit" && c.id == 1148) name = &c;  // the file name's edit
    ASSERT_TRUE(name);
    x_.clickAt(name->place.centreX(), name->place.centreY());
    x_.tool({"xdotool", "type", "--delay", "5", typed});
    x_.tool({"xdotool", "key", "Return"});
    expectView(client, opened, "the file typed into the dialog");

    menu(client, "s", "s");
    Probed select = dialog("Select Shell Element(s)");
    ASSERT_TRUE(select.found);
    const Control* list = select.control(quillon::kShellControls.listStresses);
    ASSERT_TRUE(list);
    x_.clickAt(list->place.centreX(), list->place.centreY());
    EXPECT_TRUE(waitUntil(
        [&] { return std::filesystem::exists(folder_ / "SelectedElemStress.txt"); }, kPatience))
        << "no report in the working folder; standard error: " << errors();
    EXPECT_FALSE(std::filesystem::exists(sub / "SelectedElemStress.txt"));
    std::string notepad;
    EXPECT_TRUE(waitUntil(
        [&] {
            notepad =
                testsupport::runProcess(
                    wineRun_, {probe_, "C:\\windows\\system32\\notepad.exe", "top", "Notepad"},
                    x_.displayEnv())
                    .out;
            return notepad.find("SelectedElemStress") != std::string::npos;
        },
        kPatience))
        << "Notepad does not show the report: " << notepad;
}

// A binary PPM (P6, 8 bits) as a picture; an empty one when `text` is none.
Picture fromPpm(const std::string& text) {
    std::istringstream in(text);
    std::string magic;
    int width = 0, height = 0, most = 0;
    in >> magic >> width >> height >> most;
    in.get();
    const std::size_t bytes = static_cast<std::size_t>(std::max(width, 0)) *
                              static_cast<std::size_t>(std::max(height, 0)) * 3;
    if (magic != "P6" || most != 255 || bytes == 0 || text.size() < bytes) return {};
    Picture p;
    p.width = width;
    p.height = height;
    p.rgb.assign(text.end() - static_cast<std::ptrdiff_t>(bytes), text.end());
    return p;
}

// File > Save Picture writes the script's snapshot of the same steps; Ctrl+C in the view puts
// that picture on the clipboard as a device-independent bitmap, which another program reads.
TEST_F(WineWindow, SavesAndCopiesThePictureItShows) {
    copyExample();
    startQuillon("saved.png");
    Rectangle client = mainWindow();
    ASSERT_GT(client.width, 0);
    const Picture expected = scripted(client, "");
    expectView(client, expected, "start");
    menu(client, "f", "p");
    Picture file;
    EXPECT_TRUE(waitUntil(
        [&] {
            return quillon::platform::readPng((folder_ / "saved.png").string(), file.width,
                                              file.height, file.rgb);
        },
        kPatience))
        << "no picture saved; standard error: " << errors();
    EXPECT_TRUE(file.width == expected.width && file.rgb == expected.rgb)
        << differingPixels(file, expected) << " pixels differ";

    x_.keysAt(client.centreX(), client.centreY(), {"ctrl+c"});
    Picture pasted;
    EXPECT_TRUE(waitUntil(
        [&] {
            std::vector<std::string> all = {probe_, windowsPath(exe_), "clipboard"};
            pasted = fromPpm(testsupport::runProcess(wineRun_, all, x_.displayEnv()).out);
            return pasted.width == expected.width && pasted.rgb == expected.rgb;
        },
        kPatience))
        << "the clipboard holds no such picture (" << pasted.width << " x " << pasted.height
        << "); standard error: " << errors();
}

// The tallest run of pure red, the legend's top box (lit contours are never pure red), in pixels.
int legendBoxHeight(const Picture& p) {
    int tallest = 0;
    for (int x = 0; x < p.width; ++x)
        tallest = std::max(tallest, p.count(x, 0, x + 1, p.height, [](const testsupport::Rgb& c) {
            return c.r == 255 && c.g == 0 && c.b == 0;
        }));
    return tallest;
}

// At 150 % (144 pixels per inch) the program is DPI-aware: its dialogs follow their font and its
// legend is scaled with the screen, about 1.5 times their size at 96; pictures drawn without a
// window keep the sizes they have at 96.
TEST_F(WineWindow, AtOneHundredAndFiftyPercentTheViewKitAndTheLegendAreLarger) {
    using namespace quillon;
    const std::string desktopKey = "HKCU\\Control Panel\\Desktop";
    ASSERT_EQ(testsupport::runProcess(wineRun_, {"reg", "add", desktopKey, "/v", "LogPixels", "/t",
                                                 "REG_DWORD", "/d", "144", "/f"})
                  .exitCode,
              0);
    // The prefix is the other window tests' too: back to the default, whatever happens here.
    struct Restore {
        std::string wineRun, key;
        ~Restore() {
            testsupport::runProcess(wineRun, {"reg", "delete", key, "/v", "LogPixels", "/f"});
        }
    } restore{wineRun_, desktopKey};

    Rectangle client = startOnTheExample();
    ASSERT_GT(client.width, 0);
    const Picture picture = scripted(client, "");
    constexpr int kBoxAt96 = 33;  // a step of 35 pixels, less its one-pixel frame
    EXPECT_EQ(legendBoxHeight(picture), kBoxAt96) << "a picture keeps the legend of 96 DPI";
    Picture shown;
    waitUntil(
        [&] {
            shown = testsupport::crop(x_.screenshot(), client.x, client.y, client.x + client.width,
                                      client.y + client.height);
            return legendBoxHeight(shown) > kBoxAt96;
        },
        kPatience, 250ms);
    const double legendRatio = legendBoxHeight(shown) / static_cast<double>(kBoxAt96);
    EXPECT_GT(legendRatio, 1.35);
    EXPECT_LT(legendRatio, 1.65);

    // The View Kit's controls span about 1.5 times what they span at 96 (1.5 × 1.625 pixels a
    // dialog unit).
    menu(client, "v", "k");
    Probed kit = dialog("View Kit");
    ASSERT_TRUE(kit.found);
    int shownLeft = INT_MAX, shownRight = INT_MIN, at96Left = INT_MAX, at96Right = INT_MIN;
    int shownTop = INT_MAX, shownBottom = INT_MIN, at96Top = INT_MAX, at96Bottom = INT_MIN;
    for (const auto& c : viewKitTemplate().controls) {
        const Control* control = c.id == platform::IDC_STATIC ? nullptr : kit.control(c.id);
        if (!control) continue;
        shownLeft = std::min(shownLeft, control->place.x);
        shownRight = std::max(shownRight, control->place.x + control->place.width);
        shownTop = std::min(shownTop, control->place.y);
        shownBottom = std::max(shownBottom, control->place.y + control->place.height);
        auto r = platform::controlRectangle(c);
        at96Left = std::min(at96Left, r.x);
        at96Right = std::max(at96Right, r.x + r.width);
        at96Top = std::min(at96Top, r.y);
        at96Bottom = std::max(at96Bottom, r.y + r.height);
    }
    ASSERT_LT(at96Left, at96Right);
    const double across = (shownRight - shownLeft) / static_cast<double>(at96Right - at96Left);
    const double down = (shownBottom - shownTop) / static_cast<double>(at96Bottom - at96Top);
    EXPECT_GT(across, 1.35);
    EXPECT_LT(across, 1.65);
    EXPECT_GT(down, 1.35);
    EXPECT_LT(down, 1.65);
    EXPECT_TRUE(quillon_.running());
}

// True when some glyph of the text's first line is an empty box, the mark of a character the
// font lacks: between blank columns, a frame of ink on all four sides around nothing.
bool hasEmptyBox(const Picture& text) {
    auto ink = [&](int x, int y) {  // any visible ink on the light background
        testsupport::Rgb c = text.at(x, y);
        return c.r + c.g + c.b < 3 * 200;
    };
    auto inkIn = [&](int x0, int y0, int x1, int y1) {  // the pixels of [x0, x1] × [y0, y1]
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += ink(x, y) ? 1 : 0;
        return n;
    };
    int top = -1, bottom = -1;  // the first line: rows with ink from the first one on
    for (int y = 0; y < text.height; ++y) {
        bool any = inkIn(0, y, text.width - 1, y) > 0;
        if (any && top < 0) top = y;
        if (any) bottom = y;
        if (!any && top >= 0) break;
    }
    for (int x = 0; top >= 0 && x < text.width;) {
        if (inkIn(x, top, x, bottom) == 0) {
            ++x;
            continue;
        }
        int left = x;
        while (x < text.width && inkIn(x, top, x, bottom) > 0) ++x;
        int right = x - 1, upper = top, lower = bottom;
        while (inkIn(left, upper, right, upper) == 0) ++upper;
        while (inkIn(left, lower, right, lower) == 0) --lower;
        int w = right - left + 1, h = lower - upper + 1;
        if (w < 4 || h < 4) continue;
        bool frame = inkIn(left, upper, left, lower) * 5 >= h * 4 &&
                     inkIn(right, upper, right, lower) * 5 >= h * 4 &&
                     inkIn(left, upper, right, upper) * 5 >= w * 4 &&
                     inkIn(left, lower, right, lower) * 5 >= w * 4;
        if (frame && inkIn(left + 2, upper + 2, right - 2, lower - 2) == 0) return true;
    }
    return false;
}

TEST_F(WineWindow, MissingStartUpFileShowsAReadableChineseWarning) {
    startQuillon();  // the folder holds no result file
    Probed box = dialog("Warning!");
    ASSERT_TRUE(box.found);
    const Control* text = nullptr;
    for (const Control& c : box.controls)
        if (c.kind == "Static" && !c.text.empty()) text = &c;
    ASSERT_TRUE(text) << "the box has no text";
    EXPECT_EQ(text->text, "应力云图文件读取错误!\\n" +
                              windowsPath(folder_ / "Quillon_AverageStrs.txt") +
                              ": No such file or directory");
    EXPECT_FALSE(x_.windows("^Quillon Contour").size()) << "the main window is shown";

    Picture shown;
    bool readable = waitUntil(
        [&] {
            shown = testsupport::crop(x_.screenshot(), text->place.x, text->place.y,
                                      text->place.x + text->place.width,
                                      text->place.y + text->place.height);
            return shown.count(0, 0, shown.width, shown.height,
                               [](const testsupport::Rgb& c) { return c.r < 128; }) > 50 &&
                   !hasEmptyBox(shown);
        },
        kPatience, 250ms);
    EXPECT_TRUE(readable) << "the Chinese text shows as empty boxes (see box.png)";
    if (!readable)
        quillon::platform::writePng((folder_ / "box.png").string(), shown.width, shown.height,
                                    shown.rgb);
    const Control* ok = box.labelled("OK");
    ASSERT_TRUE(ok);
    x_.clickAt(ok->place.centreX(), ok->place.centreY());
    auto code = quillon_.waitForExit(kPatience);
    ASSERT_TRUE(code) << "still running after OK";
    EXPECT_EQ(*code, 1);
}

TEST_F(WineWindow, FileOpenReadsTheFileThatTheAnswerVariableNames) {
    copyExample();
    // One upright shell: a picture nothing like the example's.
    testsupport::ResultText r;
    r.nodes = {"0,0,0", "1,0,0", "1,0,6", "0,0,6"};
    r.disps = {"0,0,0,0,0,0", "0,0,0.2,0,0,0", "0,0,0.4,0,0,0", "0,0,0.1,0,0,0"};
    r.quads = {"0,1,2,3"};
    testsupport::writeFile("strip.txt", r.text());
    startQuillon("strip.txt");
    Rectangle client = mainWindow();
    ASSERT_GT(client.width, 0);
    Picture strip =
        scripted(client, "choose " + windowsPath(folder_ / "strip.txt") + "\nmenu 40001\n");
    expectView(client, scripted(client, ""), "start");
    menu(client, "f", "o");
    expectView(client, strip, "the strip");
    EXPECT_TRUE(x_.windows("^Warning!$").empty()) << errors();
}

// Esc during File > Open of a file that loads for seconds stops the load: the window, whose
// title showed the share read meanwhile, goes on with the example it showed before. The probe
// reads the title with a message that the window must answer within 5 s, the time after which
// Windows shows a window as not responding.
TEST_F(WineWindow, EscStopsTheFileOpenOfALargeFile) {
    const std::string large = testsupport::largeModelFile();
    copyExample();
    startQuillon(windowsPath(large));
    Rectangle client = mainWindow();
    ASSERT_GT(client.width, 0);
    const Picture start = scripted(client, "");
    expectView(client, start, "start");

    menu(client, "f", "o");
    static const std::regex progress("^Quillon Contour.* - [0-9]+ %$");
    constexpr auto kLoadPatience = 180s;
    std::set<std::string> seen;
    waitUntil(
        [&] {
            std::string title = probe({"main"}).title;
            if (std::regex_match(title, progress)) seen.insert(title);
            return seen.size() >= 2;
        },
        kLoadPatience);
    EXPECT_EQ(seen.size(), 2u) << "no progress seen in the title; standard error: " << errors();
    x_.keysAt(client.centreX(), client.centreY(), {"Escape"});
    std::string title;
    EXPECT_TRUE(waitUntil(
        [&] {
            return (title = probe({"main"}).title) == "Quillon Contour \u2014 quillon team, 2026";
        },
        kLoadPatience))
        << "the title is still " << title;
    expectView(client, start, "after Esc");
    EXPECT_TRUE(quillon_.running());
}

TEST_F(WineWindow, ShellRectanglePickWithApplyChangesThePicture) {
    Rectangle client = startOnTheExample();
    ASSERT_GT(client.width, 0);
    // A window pick to the right over the left half of the model, then Apply (Reselect): the
    // contours span the shells picked only.
    const int x0 = client.width / 8, y0 = client.height / 8;
    const int x1 = client.width / 2, y1 = client.height * 7 / 8;
    std::string pick = "menu 40010\nclick " + std::to_string(x0) + " " + std::to_string(y0) +
                       "\nmove " + std::to_string(x1) + " " + std::to_string(y1) + "\nclick " +
                       std::to_string(x1) + " " + std::to_string(y1) + "\n";
    Picture picked = scripted(client, pick);
    Picture applied = scripted(
        client, pick + "press 102 " + std::to_string(quillon::kShellControls.apply) + "\n");
    ASSERT_GT(differingPixels(picked, applied), 20 * kEdgeAllowance);
    expectView(client, scripted(client, ""), "start");

    menu(client, "s", "s");
    Probed select = dialog("Select Shell Element(s)");
    ASSERT_TRUE(select.found);
    const Control* apply = select.control(quillon::kShellControls.apply);
    ASSERT_TRUE(apply);
    click(client, x0, y0);
    x_.tool({"xdotool", "mousemove", std::to_string(client.x + x1), std::to_string(client.y + y1)});
    click(client, x1, y1);
    expectView(client, picked, "picked shells in red");
    x_.clickAt(apply->place.centreX(), apply->place.centreY());
    expectView(client, applied, "the selection applied");
}

}  // namespace

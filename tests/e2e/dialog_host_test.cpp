// The FLTK dialog host on a virtual X server: dialogs opened by the probe program, driven with
// real clicks and keys, checked on what their logic was told (the probe prints it) and on the
// windows the server has.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/e2e/dialog_probe.h"
#include "tests/e2e/x_session.h"
#include "tests/support/skip.h"
#include "tests/support/temp_file.h"
#include "viewer/platform/dialog_navigation.h"
#include "viewer/resources/dialogs.h"

namespace {

using namespace std::chrono_literals;
using quillon::platform::ControlKind;
using quillon::platform::ControlTemplate;
using quillon::platform::DialogTemplate;
using testsupport::waitUntil;

constexpr auto kPatience = 30s;

class FltkDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        if (!x_.start(why)) {
            SKIP_OR_FAIL_IN_CI() << "no virtual X server: " << why;
        }
    }

    void startProbe(const std::vector<std::string>& dialogs) {
        std::vector<std::string> argv = {DIALOG_PROBE_EXE};
        argv.insert(argv.end(), dialogs.begin(), dialogs.end());
        ASSERT_TRUE(
            probe_.start(argv, {x_.displayEnv()}, "", path("probe.err"), path("probe.out")));
        auto main = x_.waitForWindow("^Dialog Probe$", kPatience);
        ASSERT_TRUE(main) << "no main window; " << diagnostics();
        main_ = *main;
        for (std::size_t i = 0; i < dialogs.size(); ++i)
            ASSERT_TRUE(next("opened " + std::to_string(i) + " ")) << diagnostics();
    }
    std::string path(const std::string& name) const {
        return (testsupport::testDir() / name).string();
    }
    std::string diagnostics() const {
        return "standard output:\n" + testsupport::readFile(path("probe.out")) +
               "standard error:\n" + testsupport::readFile(path("probe.err"));
    }

    // The next line of the probe's output (after the last one taken) that starts with `prefix`;
    // nothing when none comes in time.
    std::optional<std::string> next(const std::string& prefix) {
        std::optional<std::string> line;
        waitUntil(
            [&] {
                std::string out = testsupport::readFile(path("probe.out"));
                for (std::size_t at = read_; at < out.size();) {
                    std::size_t end = out.find('\n', at);
                    if (end == std::string::npos) return false;  // a line still being written
                    if (out.compare(at, prefix.size(), prefix) == 0) {
                        line = out.substr(at, end - at);
                        read_ = end + 1;
                        return true;
                    }
                    at = end + 1;
                }
                return false;
            },
            kPatience);
        return line;
    }
    // The next command line and the state that follows it.
    void expectCommand(int instance, int id, const std::string& code,
                       const std::string& stateHas = "") {
        std::string command = "command " + std::to_string(instance) + " " + std::to_string(id);
        auto line = next("command ");
        ASSERT_TRUE(line) << "no " << command << "; " << diagnostics();
        EXPECT_EQ(*line, command + " " + code);
        auto state = next("state ");
        ASSERT_TRUE(state) << diagnostics();
        EXPECT_NE((*state + " ").find(stateHas + " "), std::string::npos)
            << "after " << command << ": " << *state;
    }

    // The open dialogs with `caption`, left to right (a later instance sits further right, or,
    // inside the main window, further left: sorted, they are told apart by their place).
    // Waits until `count` of them are shown (a dialog's "opened" line comes before the server
    // has mapped its window).
    std::vector<std::string> dialogs(const std::string& caption, std::size_t count) const {
        std::vector<std::string> ids;
        waitUntil(
            [&] {
                ids = x_.windows("^" + caption + "$");
                return ids.size() == count;
            },
            kPatience);
        std::sort(ids.begin(), ids.end(), [&](const std::string& a, const std::string& b) {
            return x_.geometry(a).x < x_.geometry(b).x;
        });
        return ids;
    }
    std::string dialog(const std::string& caption) {
        auto id = x_.waitForWindow("^" + caption + "$", kPatience);
        EXPECT_TRUE(id) << "no dialog " << caption << "; " << diagnostics();
        return id.value_or("");
    }

    // A click in the middle of a control, placed by its template rectangle.
    void click(const std::string& window, const DialogTemplate& t, int id) {
        const ControlTemplate* c = t.control(id);
        ASSERT_NE(c, nullptr);
        quillon::platform::PixelRect r = quillon::platform::controlRectangle(*c);
        testsupport::WindowGeometry g = x_.geometry(window);
        x_.clickAt(g.x + r.x + r.width / 2, g.y + r.y + r.height / 2);
    }
    // Keys typed with the pointer over `window` (the keys go to the focused control).
    void keys(const std::string& window, const std::vector<std::string>& k) {
        x_.keysOn(window, k);
    }
    void type(const std::string& window, const std::string& text) {
        testsupport::WindowGeometry g = x_.geometry(window);
        x_.tool({"xdotool", "mousemove", std::to_string(g.x + g.width / 2),
                 std::to_string(g.y + g.height / 2), "type", text});
    }

    bool gone(const std::string& window) {
        return waitUntil([&] { return x_.geometry(window).width == 0; }, kPatience);
    }

    testsupport::XSession x_;
    testsupport::Child probe_;
    std::string main_;
    std::size_t read_ = 0;
};

TEST_F(FltkDialogs, ViewKitControlsSitAtTheirRectanglesAndEachButtonSendsItsId) {
    ASSERT_NO_FATAL_FAILURE(startProbe({"viewkit"}));
    const DialogTemplate& t = quillon::viewKitTemplate();
    std::string kit = dialog("View Kit");
    ASSERT_FALSE(kit.empty());
    testsupport::WindowGeometry g = x_.geometry(kit);
    EXPECT_EQ(g.width, 178);   // 119 dialog units of 1.5 pixels
    EXPECT_EQ(g.height, 420);  // 259 dialog units of 1.625 pixels
    EXPECT_EQ(x_.transientFor(kit), main_) << "the dialog is kept above the main window";
    EXPECT_EQ(x_.textProperty(kit, "WM_CLASS"),
              std::string("Quillon Contour\0Quillon Contour\0", 32));

    // Every caption is drawn where its control is (dark text on the grey dialog), once the
    // dialog has been drawn.
    auto dark = [](const testsupport::Rgb& c) { return c.r + c.g + c.b < 200; };
    std::string missing;
    waitUntil(
        [&] {
            testsupport::Picture shot =
                testsupport::crop(x_.screenshot(), g.x, g.y, g.x + g.width, g.y + g.height);
            missing.clear();
            for (const ControlTemplate& c : t.controls) {
                if (c.kind != ControlKind::Static && c.kind != ControlKind::GroupBox) continue;
                quillon::platform::PixelRect r = quillon::platform::controlRectangle(c);
                if (shot.count(r.x, r.y, r.x + r.width, r.y + 14, dark) <= 20)
                    missing += " \"" + c.text + "\"";
            }
            return missing.empty();
        },
        kPatience, 250ms);
    EXPECT_EQ(missing, "") << "captions not drawn";

    for (const ControlTemplate& c : t.controls) {
        if (c.kind != ControlKind::PushButton || c.id == quillon::IDC_VIEWKIT_EXIT) continue;
        click(kit, t, c.id);
        ASSERT_NO_FATAL_FAILURE(expectCommand(0, c.id, "clicked")) << c.text;
    }
    // Exit closes the dialog from inside its command: the host goes after the command returns.
    click(kit, t, quillon::IDC_VIEWKIT_EXIT);
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, quillon::IDC_VIEWKIT_EXIT, "clicked"));
    EXPECT_TRUE(next("destroyed 0")) << diagnostics();
    EXPECT_TRUE(gone(kit));
    EXPECT_TRUE(probe_.running());
    EXPECT_EQ(x_.geometry(main_).width, 1024);
}

TEST_F(FltkDialogs, TabAndArrowsWalkTheViewKitEnterPressesAndEscapeCancels) {
    ASSERT_NO_FATAL_FAILURE(startProbe({"viewkit"}));
    std::string kit = dialog("View Kit");
    ASSERT_FALSE(kit.empty());
    // The first tab stop, Alpha, has the focus; Tab goes on to Beta and to Apply.
    type(kit, "12");
    keys(kit, {"Tab"});
    type(kit, "3");
    keys(kit, {"Tab", "space"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, quillon::IDC_APPLY, "clicked", "1009=[12] 1010=[3]"));
    // Back to Beta, whose text is selected as Tab enters it, so typing replaces it; Enter on
    // a focused push button presses that button.
    keys(kit, {"shift+Tab"});
    type(kit, "45");
    keys(kit, {"Tab", "Return"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, quillon::IDC_APPLY, "clicked", "1010=[45]"));
    // Arrows follow the template's order: Apply → All → Pan, and back.
    keys(kit, {"Right", "Down", "space"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, quillon::IDC_VIEW_PAN, "clicked"));
    keys(kit, {"Left", "Return"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, quillon::IDC_VIEW_ALL, "clicked"));
    // From the first control, Up wraps around to the last one, Exit.
    keys(kit, {"shift+Tab", "shift+Tab", "shift+Tab", "Up", "space"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, quillon::IDC_VIEWKIT_EXIT, "clicked"));
    EXPECT_TRUE(next("destroyed 0")) << diagnostics();
    EXPECT_TRUE(gone(kit));

    // Esc is kIdCancel.
    keys(main_, {"alt+d", "v"});
    ASSERT_TRUE(next("opened 1 103")) << diagnostics();
    std::string again = dialog("View Kit");
    keys(again, {"Escape"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(1, quillon::platform::kIdCancel, "clicked"));
    EXPECT_TRUE(next("destroyed 1")) << diagnostics();
    EXPECT_TRUE(gone(again));
    EXPECT_TRUE(probe_.running());
}

TEST_F(FltkDialogs, RadioGroupsCheckBoxComboEditsAndTheDefaultButtonWorkAsInADialog) {
    ASSERT_NO_FATAL_FAILURE(startProbe({"kinds"}));
    const DialogTemplate& t = probe::kindsTemplate();
    std::string kinds = dialog("Every Kind");
    ASSERT_FALSE(kinds.empty());
    EXPECT_NE(testsupport::readFile(path("probe.out")).find("init 0 900 items=5\n"),
              std::string::npos)
        << "combo items are literal text, not menu syntax; " << diagnostics();

    // A click checks a radio button and unchecks the others of its group only.
    click(kinds, t, probe::kCircle);
    ASSERT_NO_FATAL_FAILURE(
        expectCommand(0, probe::kCircle, "clicked", "911=0 912=1 913=0 921=1 922=0"));
    // Arrows move within the group and check as they go, wrapping around (the Size box
    // between the groups is skipped: it never takes the focus).
    keys(kinds, {"Down"});
    ASSERT_NO_FATAL_FAILURE(
        expectCommand(0, probe::kTriangle, "clicked", "911=0 912=0 913=1 921=1"));
    keys(kinds, {"Down"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, probe::kSquare, "clicked", "911=1 912=0 913=0 921=1"));
    // Tab enters the next group at its checked button; Right checks the next one.
    keys(kinds, {"Tab", "Right"});
    ASSERT_NO_FATAL_FAILURE(
        expectCommand(0, probe::kLarge, "clicked", "911=1 912=0 913=0 921=0 922=1"));
    // The check box toggles with the space bar; a click on it toggles it too.
    keys(kinds, {"Tab", "space"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, probe::kFilled, "clicked", "931=1"));
    click(kinds, t, probe::kFilled);
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, probe::kFilled, "clicked", "931=0"));
    // The combo box: Down and Up choose, with a notification each, and stop at the ends.
    keys(kinds, {"Tab", "Down"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, probe::kCombo, "changed", "941=1"));
    keys(kinds, {"Up", "Up", "Tab", "Tab", "space"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, probe::kCombo, "changed", "941=0"));
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, probe::kCloseButton, "clicked"));
    // Close inside the command: the host still answers until the command returns.
    EXPECT_EQ(next("still 0"), "still 0 [after close]");
    EXPECT_TRUE(next("destroyed 0")) << diagnostics();
    EXPECT_TRUE(gone(kinds));
}

TEST_F(FltkDialogs, EditsTakeTheirTextAndEnterPressesTheDefaultButton) {
    ASSERT_NO_FATAL_FAILURE(startProbe({"kinds"}));
    const DialogTemplate& t = probe::kindsTemplate();
    std::string kinds = dialog("Every Kind");
    ASSERT_FALSE(kinds.empty());
    type(kinds, "a b");  // the first tab stop has the focus
    click(kinds, t, probe::kNumberEdit);
    type(kinds, "4x2");  // a number edit takes digits only
    click(kinds, t, probe::kReadOnlyEdit);
    type(kinds, "z");
    keys(kinds, {"Return"});
    ASSERT_NO_FATAL_FAILURE(
        expectCommand(0, probe::kOkButton, "clicked", "901=[a b] 902=[42] 903=[fixed]"));
    // Shift+Tab from the first stop wraps around to the last one.
    click(kinds, t, probe::kNameEdit);
    keys(kinds, {"shift+Tab", "space"});
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, probe::kMainButton, "clicked"));
    // The close box is kIdCancel.
    x_.closeBox(kinds);
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, quillon::platform::kIdCancel, "clicked"));
    EXPECT_TRUE(next("destroyed 0")) << diagnostics();
    EXPECT_TRUE(gone(kinds));
}

TEST_F(FltkDialogs, SeveralDialogsStayAboveTheMainWindowWhoseViewKeepsWorking) {
    ASSERT_NO_FATAL_FAILURE(startProbe({"viewkit", "viewkit", "kinds"}));
    auto kits = dialogs("View Kit", 2);
    ASSERT_EQ(kits.size(), 2u) << diagnostics();
    std::string kinds = dialog("Every Kind");
    for (const std::string& d : {kits[0], kits[1], kinds})
        EXPECT_EQ(x_.transientFor(d), main_) << "every dialog is owned by the main window";
    EXPECT_NE(x_.geometry(kits[0]).y, x_.geometry(kits[1]).y) << "instances do not hide each other";

    // A click in the view gives it the keyboard, dialogs or not.
    testsupport::WindowGeometry m = x_.geometry(main_);
    x_.clickAt(m.x + 100, m.y + m.height - 100);
    ASSERT_TRUE(next("click "));
    keys(main_, {"q"});
    EXPECT_EQ(next("char "), "char q");

    // Each instance answers for itself; closing one leaves the other.
    click(kits[1], quillon::viewKitTemplate(), quillon::IDC_APPLY);
    ASSERT_NO_FATAL_FAILURE(expectCommand(1, quillon::IDC_APPLY, "clicked"));
    x_.closeBox(kits[0]);
    ASSERT_NO_FATAL_FAILURE(expectCommand(0, quillon::platform::kIdCancel, "clicked"));
    EXPECT_TRUE(next("destroyed 0"));
    EXPECT_TRUE(gone(kits[0]));
    EXPECT_EQ(x_.windows("^View Kit$"), std::vector<std::string>{kits[1]});

    // The click in the view did not bury the dialogs under the main window: this one still
    // gets its clicks. Its button gives the focus back to the main view: the next key goes
    // there, though the pointer is still over the dialog.
    click(kinds, probe::kindsTemplate(), probe::kMainButton);
    ASSERT_NO_FATAL_FAILURE(expectCommand(2, probe::kMainButton, "clicked"));
    x_.tool({"xdotool", "key", "w"});
    EXPECT_EQ(next("char "), "char w");

    // Another instance from the menu, while the others are open.
    keys(main_, {"alt+d", "v"});
    EXPECT_TRUE(next("opened 3 103")) << diagnostics();
    EXPECT_EQ(dialogs("View Kit", 2).size(), 2u);
}

TEST_F(FltkDialogs, ClosingTheMainWindowClosesItsDialogsAndEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(startProbe({"viewkit", "kinds"}));
    x_.closeBox(main_);
    auto code = probe_.waitForExit(kPatience);
    ASSERT_TRUE(code) << "still running with its dialogs; " << diagnostics();
    EXPECT_EQ(*code, 0);
    std::string out = testsupport::readFile(path("probe.out"));
    EXPECT_NE(out.find("destroyed 0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("destroyed 1\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("command "), std::string::npos)
        << "no command reaches a dialog closed with its owner";
}

}  // namespace

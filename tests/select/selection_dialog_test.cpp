// The selection dialogs on the in-memory host: opening and closing, Apply in its three modes,
// Select All / None / Invert with the view, nodes of the selected elements, and picks made with
// the main view's clicks while a dialog is open.
#include "viewer/select/selection_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "tests/model/result_text.h"
#include "tests/support/dialog_fixture.h"
#include "tests/support/line_ends.h"
#include "viewer/resources/menu.h"

namespace {

using quillon::InteractionMode;
using quillon::kBeamControls;
using quillon::kNodeControls;
using quillon::kShellControls;

int count(const std::vector<std::uint8_t>& flags) {
    return static_cast<int>(std::count(flags.begin(), flags.end(), 1));
}

class SelectionDialogs : public testsupport::DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(load(QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt"));
        // As a frame would: the picking camera is the picture's.
        state.savedModelView = quillon::widen(state.view.modelView);
    }
    quillon::platform::MemoryDialogHost& shells() {
        return open(quillon::kCmdSelectShells, quillon::kDlgSelectShells);
    }
    quillon::platform::MemoryDialogHost& beams() {
        return open(quillon::kCmdSelectBeams, quillon::kDlgSelectBeams);
    }
    quillon::platform::MemoryDialogHost& nodes() {
        return open(quillon::kCmdSelectNodes, quillon::kDlgSelectNodes);
    }
    const quillon::ResultModel& m() const { return state.model; }
};

TEST_F(SelectionDialogs, OpeningSetsTheModeTheFiltersAndShowsTheSettings) {
    state.model.shellOutlineMode = quillon::DisplayFilter::None;
    state.model.nodeMode = quillon::DisplayFilter::None;
    auto& b = beams();
    EXPECT_EQ(state.interaction.mode, InteractionMode::PickBeams);
    EXPECT_EQ(state.model.shellOutlineMode,
              quillon::DisplayFilter::None);  // the beam dialog leaves the filters
    EXPECT_TRUE(b.isChecked(kBeamControls.rectanglePick));
    EXPECT_FALSE(b.isChecked(kBeamControls.pointPick));
    EXPECT_TRUE(b.isChecked(kBeamControls.reselect));
    EXPECT_FALSE(b.isChecked(kBeamControls.onlyOperate));
    auto& n = nodes();
    EXPECT_EQ(state.interaction.mode, InteractionMode::PickNodes);
    EXPECT_EQ(state.model.shellOutlineMode, quillon::DisplayFilter::All);
    EXPECT_EQ(state.model.nodeMode, quillon::DisplayFilter::All);
    EXPECT_EQ(handler.dialogs().selectNodes, &n);
    EXPECT_EQ(handler.dialogs().selectBeams, &b);
}

TEST_F(SelectionDialogs, ApplyInItsThreeModes) {
    beams().press(kBeamControls.selectNone);  // the shells alone make the selected box
    auto& s = shells();
    const double left = state.view.left;
    // Reselect straight after loading, with nothing picked, empties the selection.
    s.press(kShellControls.apply);
    EXPECT_EQ(count(m().selQuad) + count(m().selTri), 0);
    EXPECT_EQ(state.view.rotationCentre.x, 0);  // the empty box's midpoint
    EXPECT_EQ(state.view.selectedBox[0], 1e20);
    EXPECT_EQ(state.view.left, left);  // no fit
    EXPECT_TRUE(desktop.takeRepaintRequest());

    state.model.pickQuad[5] = state.model.pickQuad[7] = 1;
    s.press(kShellControls.alsoSelect);
    s.press(kShellControls.apply);
    EXPECT_EQ(count(m().selQuad), 2);
    EXPECT_EQ(count(m().pickQuad), 0);  // the picks were merged and cleared
    EXPECT_NE(state.view.rotationCentre.x, 0);
    const quillon::Point3D centre = state.view.rotationCentre;

    // Also Select and Unselect with nothing picked keep the selection (and its centre).
    s.press(kShellControls.apply);
    EXPECT_EQ(count(m().selQuad), 2);
    state.model.pickQuad[5] = 1;
    s.press(kShellControls.unselect);
    s.press(kShellControls.apply);
    EXPECT_EQ(count(m().selQuad), 1);
    EXPECT_EQ(m().selQuad[7], 1);
    EXPECT_NE(state.view.rotationCentre.x, centre.x);
    EXPECT_EQ(state.selection.shells.selectMode, quillon::SelectMode::Unselect);
}

TEST_F(SelectionDialogs, SelectAllNoneAndInvertFollowedByTheView) {
    auto& b = beams();
    const int beamsInModel = m().beamCount;
    ASSERT_GT(beamsInModel, 1);
    state.model.selBeam[0] = 0;
    b.press(kBeamControls.invert);
    EXPECT_EQ(count(m().selBeam), 1);
    b.press(kBeamControls.invert);
    EXPECT_EQ(count(m().selBeam), beamsInModel - 1);
    // Select None: the empty box, the rotation centre at the origin, the model box fitted.
    quillon::resizeView(state, 400, 300);
    quillon::ViewState fitted = state.view;
    state.view.left -= 100;
    b.press(kBeamControls.selectNone);
    EXPECT_EQ(count(m().selBeam), 0);
    EXPECT_EQ(state.view.left, fitted.left);
    // With the shells unselected too, the box is empty: the rotation centre is the origin, and
    // the view is the model's fit all the same.
    state.view.left -= 100;
    shells().press(kShellControls.selectNone);
    EXPECT_EQ(state.view.selectedBox[0], 1e20);
    EXPECT_EQ(state.view.selectedBox[1], -1e20);
    EXPECT_EQ(state.view.rotationCentre.x, 0);
    EXPECT_EQ(state.view.rotationCentre.z, 0);
    EXPECT_EQ(state.view.left, fitted.left);
    b.press(kBeamControls.selectAll);
    EXPECT_EQ(count(m().selBeam), beamsInModel);
    EXPECT_TRUE(desktop.takeRepaintRequest());
}

TEST_F(SelectionDialogs, NodesOfSelectedElementsAndTheNodeFilter) {
    auto& n = nodes();
    auto& s = shells();
    s.press(kShellControls.selectNone);
    n.press(kNodeControls.nodesInElements);
    EXPECT_EQ(count(m().selNode), 0);
    EXPECT_EQ(state.model.nodeMode, quillon::DisplayFilter::Selected);
    state.model.selQuad[0] = 1;
    n.press(kNodeControls.nodesInElements);
    EXPECT_EQ(count(m().selNode), 4);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(m().selNode[static_cast<std::size_t>(m().quadNodes[static_cast<std::size_t>(k)])],
                  1);
}

TEST_F(SelectionDialogs, ClosingAndReopening) {
    auto& n = nodes();
    n.press(kNodeControls.pointPick);
    n.press(kNodeControls.onlyOperate);
    n.press(kNodeControls.alsoSelect);
    EXPECT_EQ(state.interaction.rectanglePick, 0);
    EXPECT_TRUE(state.selection.nodes.onlyOperate);
    state.model.pickNode[3] = 1;
    n.press(kNodeControls.exit);
    EXPECT_TRUE(n.closed());
    EXPECT_EQ(state.interaction.mode, InteractionMode::Idle);
    EXPECT_EQ(state.interaction.rectanglePick, 1);
    EXPECT_EQ(m().pickNode[3], 1);  // picked nodes stay picked
    EXPECT_EQ(handler.dialogs().selectNodes, nullptr);
    desktop.releaseClosed();
    auto& again = nodes();
    EXPECT_TRUE(again.isChecked(kNodeControls.rectanglePick));
    EXPECT_TRUE(again.isChecked(kNodeControls.onlyOperate));
    EXPECT_TRUE(again.isChecked(kNodeControls.alsoSelect));

    auto& s = shells();
    state.model.pickQuad[1] = state.model.pickTri[0] = 1;
    desktop.takeRepaintRequest();
    s.pressCloseBox();
    EXPECT_EQ(count(m().pickQuad) + count(m().pickTri), 0);
    EXPECT_TRUE(desktop.takeRepaintRequest());
}

TEST_F(SelectionDialogs, PicksWithTheMainViewsClicks) {
    auto& s = shells();
    quillon::resizeView(state, 400, 300);
    state.savedModelView = quillon::widen(state.view.modelView);
    // A crossing rectangle over the whole view catches every shell.
    handler.onLeftButtonDown(399, 1);
    handler.onMouseMove(200, 150);
    handler.onLeftButtonDown(0, 299);
    EXPECT_EQ(count(m().pickQuad), m().quadCount);
    EXPECT_EQ(count(m().pickTri), m().triCount);
    // A rectangle started while picking and finished after Unpick runs as an unpick.
    handler.onLeftButtonDown(399, 1);
    s.press(kShellControls.unpick);
    handler.onLeftButtonDown(0, 299);
    EXPECT_EQ(count(m().pickQuad) + count(m().pickTri), 0);
    // A point pick in the middle of the view marks one shell.
    s.press(kShellControls.pick);
    s.press(kShellControls.pointPick);
    handler.onLeftButtonDown(200, 150);
    EXPECT_EQ(count(m().pickQuad) + count(m().pickTri), 1);
    // Pan and Zoom switch the mouse away from picking and give the keyboard back.
    s.press(kShellControls.zoom);
    EXPECT_EQ(state.interaction.mode, InteractionMode::ZoomWindow);
    EXPECT_TRUE(desktop.takeFocusRequest());
}

TEST_F(SelectionDialogs, FilesThroughTheChoosersAndReports) {
    auto& b = beams();
    auto file = (testsupport::testDir() / "beams").string();  // ".txt" is added
    state.model.selBeam.assign(state.model.selBeam.size(), 0);
    state.model.selBeam[2] = state.model.selBeam[4] = 1;
    desktop.answerNextChooser(file);
    b.press(kBeamControls.toFile);
    EXPECT_EQ(testsupport::readFile(file + ".txt"), testsupport::asTextFile("2\n4\n"));
    // Reading it back replaces the selection and fits the view as Select All does.
    state.model.selBeam.assign(state.model.selBeam.size(), 1);
    state.view.left -= 50;
    const double shifted = state.view.left;
    desktop.takeRepaintRequest();
    desktop.answerNextChooser(file + ".txt");
    b.press(kBeamControls.fromFile);
    EXPECT_EQ(count(m().selBeam), 2);
    EXPECT_NE(state.view.left, shifted);  // fitted again
    EXPECT_TRUE(desktop.takeRepaintRequest());
    EXPECT_TRUE(messages.empty());
    // A cancelled chooser changes nothing; the name chosen last is offered again.
    EXPECT_EQ(state.selection.beams.fileName, file + ".txt");
    b.press(kBeamControls.fromFile);
    EXPECT_EQ(count(m().selBeam), 2);
    // A file that cannot be read warns and changes nothing.
    desktop.answerNextChooser((testsupport::testDir() / "missing.txt").string());
    b.press(kBeamControls.fromFile);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].substr(0, messages[0].find('\n')),
              "The selected beam elements file read error!");
    EXPECT_EQ(count(m().selBeam), 2);
    // Text off the format: what came before stays, one warning names the line.
    desktop.answerNextChooser(testsupport::writeFile("bad.txt", "1\nthree\n"));
    b.press(kBeamControls.fromFile);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[1].find("bad.txt, line 2: expected a beam index"), std::string::npos)
        << messages[1];
    EXPECT_EQ(count(m().selBeam), 1);

    // List Stresses writes the report in the working folder and hands it on.
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(testsupport::testDir());
    auto& n = nodes();
    std::FILE* out = std::tmpfile();
    desktop.setReportOutput(out);
    n.press(kNodeControls.listStresses);
    auto& s = shells();
    s.press(kShellControls.listStresses);
    std::filesystem::current_path(cwd);
    std::rewind(out);
    char text[4096] = {};
    std::size_t length = std::fread(text, 1, sizeof text - 1, out);
    std::fclose(out);
    auto dir = testsupport::testDir();
    EXPECT_EQ(std::string(text, length),
              "report: " + (dir / "SelectedNodeStress.txt").string() +
                  "\nreport: " + (dir / "SelectedElemStress.txt").string() + "\n");
    EXPECT_EQ(testsupport::readFile((dir / "SelectedNodeStress.txt").string()).substr(0, 15),
              "           Node");
    EXPECT_EQ(testsupport::readFile((dir / "SelectedElemStress.txt").string())
                  .rfind(testsupport::asTextFile("Four-node shell element:0\n"), 0),
              0u);
}

}  // namespace

// Plot Settings on the in-memory dialogs: filters at once, contour plotting, the deformed shape
// and the magnification, several instances on the same settings.
#include "viewer/render/plot_settings.h"

#include <gtest/gtest.h>

#include "tests/model/result_text.h"
#include "tests/support/dialog_fixture.h"
#include "viewer/resources/dialogs.h"
#include "viewer/resources/menu.h"

namespace {

class PlotSettings : public testsupport::DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        square = testsupport::writeFile("square.txt", testsupport::squareModel().text());
        ASSERT_NO_FATAL_FAILURE(load(square));
        dialog = &open(quillon::kCmdPlotSettings, quillon::kDlgPlotSettings);
    }
    // Node 1 is displaced upwards in the square model.
    double liftOfNode1() const { return state.model.nodePos[1].z - state.model.nodePos0[1].z; }

    std::string square;
    quillon::platform::MemoryDialogHost* dialog = nullptr;
};

TEST_F(PlotSettings, OpensWithTheModelsSettings) {
    const int combos[] = {quillon::IDC_SHELL_OUTLINES, quillon::IDC_SHELL_NUMBERS,
                          quillon::IDC_BEAM_MESHLINES, quillon::IDC_BEAM_NUMBERS,
                          quillon::IDC_NODES,          quillon::IDC_NODE_NUMBERS};
    const int expected[] = {0, 2, 0, 2, 2, 2};  // outlines and mesh lines for all, nothing else
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(dialog->comboCount(combos[k]), 3);
        EXPECT_EQ(dialog->comboSelection(combos[k]), expected[k]) << combos[k];
    }
    EXPECT_EQ(dialog->itemText(quillon::IDC_DISP_SCALE), "0.300000");
    EXPECT_EQ(state.model.dispScale, 0.30000000000000004);
}

TEST_F(PlotSettings, AComboChoiceTakesEffectAtOnce) {
    dialog->chooseComboItem(quillon::IDC_NODE_NUMBERS, 0);
    EXPECT_EQ(state.model.nodeNumberMode, quillon::DisplayFilter::All);
    dialog->chooseComboItem(quillon::IDC_SHELL_OUTLINES, 2);
    EXPECT_EQ(state.model.shellOutlineMode, quillon::DisplayFilter::None);
    EXPECT_EQ(state.model.nodeNumberMode, quillon::DisplayFilter::All);
    EXPECT_TRUE(repaintedWithFocus());
    // A second instance shows the settings in force and works on the same ones.
    auto& second = open(quillon::kCmdPlotSettings, quillon::kDlgPlotSettings);
    EXPECT_EQ(second.comboSelection(quillon::IDC_SHELL_OUTLINES), 2);
    second.chooseComboItem(quillon::IDC_BEAM_NUMBERS, 1);
    EXPECT_EQ(state.model.beamNumberMode, quillon::DisplayFilter::Selected);
    second.press(quillon::IDC_PLOT_EXIT);
    EXPECT_TRUE(second.closed());
    EXPECT_FALSE(dialog->closed());
}

TEST_F(PlotSettings, ContourPlottingOnAndOff) {
    dialog->press(quillon::IDC_CLEAR_CONTOUR);
    EXPECT_FALSE(state.contour.contourOn);
    EXPECT_TRUE(repaintedWithFocus());
    quillon::ContourSettings cleared = state.contour;
    dialog->press(quillon::IDC_PLOT_CONTOUR);
    EXPECT_TRUE(state.contour.contourOn);
    EXPECT_EQ(state.contour.SL, cleared.SL);  // nothing else changes
    EXPECT_EQ(state.contour.currentComponent, cleared.currentComponent);
}

TEST_F(PlotSettings, DeformedButtonAndRenew) {
    ASSERT_GT(liftOfNode1(), 0.1);
    dialog->press(quillon::IDC_DEFORMED);
    EXPECT_FALSE(state.model.deformed);
    EXPECT_EQ(liftOfNode1(), 0);
    EXPECT_TRUE(repaintedWithFocus());
    // A file loaded now is shown undeformed too, with its own magnification ready.
    ASSERT_NO_FATAL_FAILURE(load(square));
    EXPECT_EQ(liftOfNode1(), 0);
    dialog->press(quillon::IDC_DEFORMED);
    EXPECT_NEAR(liftOfNode1(), 0.5 * 0.3, 1e-12);

    dialog->setItemText(quillon::IDC_DISP_SCALE, "2");
    dialog->press(quillon::IDC_DEFORMED);  // undeformed again; Renew turns it back on
    dialog->press(quillon::IDC_RENEW);
    EXPECT_TRUE(state.model.deformed);
    EXPECT_EQ(state.model.dispScale, 2);
    EXPECT_NEAR(liftOfNode1(), 1.0, 1e-12);
    dialog->setItemText(quillon::IDC_DISP_SCALE, "big");
    dialog->press(quillon::IDC_RENEW);
    EXPECT_EQ(state.model.dispScale, 0);
    EXPECT_TRUE(state.model.deformed);
    EXPECT_EQ(liftOfNode1(), 0);
}

TEST_F(PlotSettings, RenewRefusesAMagnificationThatIsNotAFiniteNumber) {
    dialog->setItemText(quillon::IDC_DISP_SCALE, "2");
    dialog->press(quillon::IDC_RENEW);
    dialog->press(quillon::IDC_DEFORMED);
    ASSERT_TRUE(repaintedWithFocus());
    ASSERT_FALSE(state.model.deformed);
    std::size_t warned = 0;
    for (const char* text : {"1e400", "inf", "-INF", "nan", "-1e999x"}) {
        dialog->setItemText(quillon::IDC_DISP_SCALE, text);
        dialog->press(quillon::IDC_RENEW);
        // Nothing changes, not even the undeformed shape, and the edit shows the scale in force.
        EXPECT_EQ(state.model.dispScale, 2) << text;
        EXPECT_FALSE(state.model.deformed) << text;
        EXPECT_EQ(liftOfNode1(), 0) << text;
        EXPECT_EQ(dialog->itemText(quillon::IDC_DISP_SCALE), "2.000000") << text;
        ASSERT_EQ(messages.size(), ++warned) << text;
        EXPECT_EQ(messages.back(), "The DispZoomScale must be a finite number!");
        EXPECT_FALSE(desktop.takeRepaintRequest()) << text;
    }
    // The shown scale is renewed as it is.
    dialog->press(quillon::IDC_RENEW);
    EXPECT_TRUE(state.model.deformed);
    EXPECT_NEAR(liftOfNode1(), 1.0, 1e-12);
    EXPECT_EQ(messages.size(), warned);
}

TEST_F(PlotSettings, AMagnificationTooSmallForSixDecimalsShowsAsZero) {
    testsupport::ResultText tiny = testsupport::squareModel();
    tiny.disps[1] = "0,0,500000000,0,0,0";  // a huge displacement: a tiny magnification
    ASSERT_NO_FATAL_FAILURE(load(testsupport::writeFile("tiny.txt", tiny.text())));
    auto& fresh = open(quillon::kCmdPlotSettings, quillon::kDlgPlotSettings);
    ASSERT_GT(state.model.dispScale, 0);
    ASSERT_LT(state.model.dispScale, 5e-7);
    EXPECT_EQ(fresh.itemText(quillon::IDC_DISP_SCALE), "0.000000");
    fresh.press(quillon::IDC_RENEW);
    EXPECT_EQ(state.model.dispScale, 0);
    // The older dialog still shows the magnification of the file it opened with.
    EXPECT_EQ(dialog->itemText(quillon::IDC_DISP_SCALE), "0.300000");
    dialog->press(quillon::IDC_RENEW);
    EXPECT_EQ(state.model.dispScale, 0.3);
}

}  // namespace

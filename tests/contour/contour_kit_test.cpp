// The Contour Kit's logic on the in-memory dialogs: the component and the interval by row, by
// Set and by Reset, and what it refuses.
#include "viewer/contour/contour_kit.h"

#include <gtest/gtest.h>

#include "tests/model/result_text.h"
#include "tests/support/dialog_fixture.h"
#include "viewer/contour/stress_scale.h"
#include "viewer/resources/dialog_numbers.h"
#include "viewer/resources/dialogs.h"
#include "viewer/resources/menu.h"

namespace {

using quillon::formatDouble;

class ContourKit : public testsupport::DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(load(QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt"));
        kit = &open(quillon::kCmdContourKit, quillon::kDlgContourKit);
    }
    std::pair<double, double> range(int component) {
        double min = 0, max = 0;
        quillon::SelectedStressRange(state.model, component, min, max);
        return {min, max};
    }
    quillon::platform::MemoryDialogHost* kit = nullptr;
};

TEST_F(ContourKit, OpensWithTheCurrentSettingsAndEveryComponentsRange) {
    EXPECT_EQ(kit->itemText(quillon::IDC_SET_ID), "6");
    EXPECT_EQ(kit->itemText(quillon::IDC_SET_SL), formatDouble(range(6).first));
    EXPECT_EQ(kit->itemText(quillon::IDC_SET_SR), formatDouble(range(6).second));
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(kit->isChecked(quillon::IDC_COMPONENT_SX + c), c == 6) << c;
        EXPECT_EQ(kit->itemText(quillon::contourRowEdits(c).sl), formatDouble(range(c).first)) << c;
        EXPECT_EQ(kit->itemText(quillon::contourRowEdits(c).sr), formatDouble(range(c).second))
            << c;
    }
    EXPECT_NE(range(0), range(1));  // the rows differ, so a mix-up would show
    EXPECT_EQ(handler.dialogs().contourKit, kit);
}

TEST_F(ContourKit, ARadioButtonTakesItsRowsInterval) {
    kit->setItemText(quillon::contourRowEdits(2).sl, "-5.5");
    kit->setItemText(quillon::contourRowEdits(2).sr, "7abc");
    kit->press(quillon::IDC_COMPONENT_SX + 2);
    EXPECT_EQ(state.contour.currentComponent, 2);
    EXPECT_EQ(state.contour.SL, -5.5);
    EXPECT_EQ(state.contour.SR, 7);
    EXPECT_EQ(kit->itemText(quillon::IDC_SET_ID), "2");
    EXPECT_EQ(kit->itemText(quillon::IDC_SET_SR), "7abc");  // the row's text as it was read
    EXPECT_TRUE(repaintedWithFocus());
    EXPECT_TRUE(messages.empty());
}

TEST_F(ContourKit, AnUpsideDownRowIsRefusedAndItsRadioStaysChecked) {
    kit->setItemText(quillon::contourRowEdits(4).sl, "10");
    kit->setItemText(quillon::contourRowEdits(4).sr, "1");
    quillon::ContourSettings before = state.contour;
    kit->press(quillon::IDC_COMPONENT_SX + 4);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "应力区间设置错误!");
    EXPECT_EQ(state.contour.currentComponent, before.currentComponent);
    EXPECT_EQ(state.contour.SL, before.SL);
    EXPECT_TRUE(kit->isChecked(quillon::IDC_COMPONENT_SX + 4));
    EXPECT_FALSE(desktop.takeRepaintRequest());
}

TEST_F(ContourKit, SetAcceptsOnlyAComponentOfZeroToSixAndAnIntervalThatIsNotUpsideDown) {
    quillon::ContourSettings before = state.contour;
    for (auto [id, sl, sr] : {std::tuple{"7", "0", "1"}, std::tuple{"-1", "0", "1"},
                              std::tuple{"3", "2", "1"}, std::tuple{"4294967296", "0", "1"}}) {
        kit->setItemText(quillon::IDC_SET_ID, id);
        kit->setItemText(quillon::IDC_SET_SL, sl);
        kit->setItemText(quillon::IDC_SET_SR, sr);
        kit->press(quillon::IDC_CONTOUR_SET);
        EXPECT_EQ(messages.back(), "应力编号或者应力区间输入错误!") << id;
        EXPECT_EQ(state.contour.currentComponent, before.currentComponent) << id;
        EXPECT_EQ(state.contour.SR, before.SR) << id;
    }
    EXPECT_EQ(messages.size(), 4u);
    EXPECT_FALSE(desktop.takeRepaintRequest());

    kit->setItemText(quillon::IDC_SET_ID, "4");
    kit->setItemText(quillon::IDC_SET_SL, "-1e1");
    kit->setItemText(quillon::IDC_SET_SR, "25.125");
    kit->press(quillon::IDC_CONTOUR_SET);
    EXPECT_EQ(state.contour.currentComponent, 4);
    EXPECT_EQ(state.contour.SL, -10);
    EXPECT_EQ(state.contour.SR, 25.125);
    EXPECT_TRUE(kit->isChecked(quillon::IDC_COMPONENT_SX + 4));
    EXPECT_FALSE(kit->isChecked(quillon::IDC_COMPONENT_SE));
    EXPECT_EQ(kit->itemText(quillon::contourRowEdits(4).sl), "-1e1");  // copied as typed
    EXPECT_EQ(kit->itemText(quillon::contourRowEdits(4).sr), "25.125");
    EXPECT_TRUE(repaintedWithFocus());

    kit->setItemText(quillon::IDC_SET_ID, "");  // not a number: component 0
    kit->press(quillon::IDC_CONTOUR_SET);
    EXPECT_EQ(state.contour.currentComponent, 0);
}

TEST_F(ContourKit, ResetRestoresTheExactRangeOfTheCurrentComponent) {
    // One Sx value with more digits than its six-decimal text, so the two can be told apart.
    std::string text = testsupport::squareModel().text();
    text.replace(text.find("1.5,-2"), 6, "1.123456789,-2");
    ASSERT_NO_FATAL_FAILURE(load(testsupport::writeFile("digits.txt", text)));
    ASSERT_EQ(range(0).first, 1.123456789);
    kit->setItemText(quillon::IDC_SET_ID, "0");
    kit->setItemText(quillon::IDC_SET_SL, "0");
    kit->setItemText(quillon::IDC_SET_SR, "1");
    kit->press(quillon::IDC_CONTOUR_SET);
    kit->setItemText(quillon::contourRowEdits(5).sl, "junk");
    kit->press(quillon::IDC_CONTOUR_RESET);
    EXPECT_EQ(state.contour.currentComponent, 0);
    EXPECT_EQ(state.contour.SL, 1.123456789);  // the double, not its text "1.123457"
    EXPECT_EQ(state.contour.SR, range(0).second);
    EXPECT_EQ(kit->itemText(quillon::IDC_SET_SL), "1.123457");
    EXPECT_EQ(kit->itemText(quillon::contourRowEdits(0).sl), "1.123457");
    EXPECT_EQ(kit->itemText(quillon::contourRowEdits(5).sl), formatDouble(range(5).first));
    EXPECT_TRUE(repaintedWithFocus());
}

TEST_F(ContourKit, KeepsShowingWhatItShowedWhenAnotherFileLoadsAndClosesItsHandle) {
    std::string shown = kit->itemText(quillon::IDC_SET_SR);
    kit->setItemText(quillon::IDC_SET_ID, "0");
    kit->press(quillon::IDC_CONTOUR_SET);
    ASSERT_TRUE(
        quillon::openResultFile(state, QUILLON_SOURCE_DIR "/examples/Quillon_AverageStrs.txt")
            .ok());
    EXPECT_EQ(state.contour.currentComponent, 6);  // the load went back to Se
    EXPECT_EQ(kit->itemText(quillon::IDC_SET_ID), "0");
    EXPECT_EQ(kit->itemText(quillon::IDC_SET_SR), shown);
    kit->pressCloseBox();
    EXPECT_TRUE(kit->closed());
    EXPECT_EQ(handler.dialogs().contourKit, nullptr);
}

}  // namespace

// The View Kit's logic on the in-memory dialog host, as scripted runs and the window use it.
#include "viewer/ui/view_kit.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/model/result_text.h"
#include "tests/support/temp_file.h"
#include "viewer/platform/memory_desktop.h"
#include "viewer/resources/dialogs.h"
#include "viewer/resources/menu.h"
#include "viewer/ui/app.h"
#include "viewer/ui/main_window_events.h"

namespace {

using quillon::ViewState;

class ViewKit : public ::testing::Test {
  protected:
    void SetUp() override {
        auto path = testsupport::writeFile("square.txt", testsupport::squareModel().text());
        ASSERT_TRUE(quillon::openResultFile(s, path).ok());
        quillon::resizeView(s, 400, 300);
        fresh = s.view;
        handler.onCommand(quillon::kCmdViewKit);
        kit = desktop.newestOpen(quillon::kDlgViewKit);
        ASSERT_NE(kit, nullptr);
        desktop.takeRepaintRequest();
        desktop.takeFocusRequest();
    }
    // The camera and the window of two view states are the same.
    static void expectSameCamera(const ViewState& a, const ViewState& b) {
        EXPECT_EQ(a.modelView, b.modelView);
        EXPECT_EQ(a.left, b.left);
        EXPECT_EQ(a.right, b.right);
        EXPECT_EQ(a.bottom, b.bottom);
        EXPECT_EQ(a.top, b.top);
        EXPECT_EQ(a.zNear, b.zNear);
        EXPECT_EQ(a.zFar, b.zFar);
    }

    quillon::AppState s;
    quillon::platform::MemoryDesktop desktop;
    quillon::MainWindowHandler handler{s, desktop};
    quillon::platform::MemoryDialogHost* kit = nullptr;
    ViewState fresh;
};

TEST_F(ViewKit, ShowsTheAnglesAndApplyWithTheLoadAnglesGivesTheLoadedView) {
    EXPECT_EQ(kit->itemText(quillon::IDC_ALPHA), "225.00");
    EXPECT_EQ(kit->itemText(quillon::IDC_BETA), "35.26");
    EXPECT_EQ(handler.dialogs().viewKit, kit);
    kit->press(quillon::IDC_RZ_PLUS);
    kit->setItemText(quillon::IDC_ALPHA, "225");
    kit->press(quillon::IDC_APPLY);  // rotations are discarded
    expectSameCamera(s.view, fresh);
    EXPECT_TRUE(desktop.takeRepaintRequest());
    EXPECT_TRUE(desktop.takeFocusRequest());
}

TEST_F(ViewKit, ApplyReadsNumbersAsAtofDoes) {
    kit->setItemText(quillon::IDC_ALPHA, "30deg");
    kit->setItemText(quillon::IDC_BETA, "");
    kit->press(quillon::IDC_APPLY);
    EXPECT_EQ(s.view.alpha, 30);
    EXPECT_EQ(s.view.beta, 0);  // empty: a horizontal view
    // The edits keep what was typed; they show numbers again after a standard view.
    EXPECT_EQ(kit->itemText(quillon::IDC_ALPHA), "30deg");
}

TEST_F(ViewKit, StandardViewsSetTheAnglesAndShowThem) {
    kit->press(quillon::IDC_XOY_PLUS);
    EXPECT_EQ(kit->itemText(quillon::IDC_ALPHA), "-90.00");
    EXPECT_EQ(kit->itemText(quillon::IDC_BETA), "90.00");
    // Seen from above: +x to the right, +y up, +z towards the viewer.
    const auto& m = s.view.modelView;
    EXPECT_NEAR(m[0], 1, 1e-6);
    EXPECT_NEAR(m[1], 0, 1e-6);
    EXPECT_NEAR(m[4], 0, 1e-6);
    EXPECT_NEAR(m[5], 1, 1e-6);
    EXPECT_NEAR(m[10], 1, 1e-6);
    EXPECT_TRUE(desktop.takeRepaintRequest());
    EXPECT_TRUE(desktop.takeFocusRequest());

    struct Case {
        int id;
        const char *alpha, *beta;
    };
    for (Case c : {Case{quillon::IDC_XOY_MINUS, "-90.00", "-90.00"},
                   Case{quillon::IDC_YOZ_MINUS, "180.00", "0.00"},
                   Case{quillon::IDC_WS_MINUS, "-135.00", "-35.26"},
                   Case{quillon::IDC_ES_PLUS, "-45.00", "35.26"}}) {
        kit->press(c.id);
        EXPECT_EQ(kit->itemText(quillon::IDC_ALPHA), c.alpha);
        EXPECT_EQ(kit->itemText(quillon::IDC_BETA), c.beta);
    }
}

TEST_F(ViewKit, ThirtySixTurnsComeBackWithoutRefitting) {
    for (int turn = 0; turn < 36; ++turn) {
        kit->press(quillon::IDC_RZ_PLUS);
        EXPECT_EQ(s.view.left, fresh.left);  // the window is never fitted again
        EXPECT_EQ(s.view.top, fresh.top);
        if (turn == 8) {  // a quarter turn on, the orientation is another
            EXPECT_GT(std::abs(s.view.modelView[0] - fresh.modelView[0]), 0.1f);
        }
    }
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_NEAR(s.view.modelView[i], fresh.modelView[i], 1e-4) << i;
    // A turn and its opposite about each axis leave the orientation (up to rounding).
    for (auto [plus, minus] : {std::pair{quillon::IDC_RX_PLUS, quillon::IDC_RX_MINUS},
                               std::pair{quillon::IDC_RY_PLUS, quillon::IDC_RY_MINUS}}) {
        ViewState before = s.view;
        kit->press(plus);
        EXPECT_NE(s.view.modelView, before.modelView);
        kit->press(minus);
        for (std::size_t i = 0; i < 16; ++i)
            EXPECT_NEAR(s.view.modelView[i], before.modelView[i], 1e-4);
    }
}

TEST_F(ViewKit, PanAndZoomOnlySwitchTheMode) {
    s.interaction.clickCount = 1;
    kit->press(quillon::IDC_VIEW_PAN);
    EXPECT_EQ(s.interaction.mode, quillon::InteractionMode::Pan);
    kit->press(quillon::IDC_VIEW_ZOOM);
    EXPECT_EQ(s.interaction.mode, quillon::InteractionMode::ZoomWindow);
    EXPECT_EQ(s.interaction.clickCount, 1);
    EXPECT_FALSE(desktop.takeRepaintRequest());
    EXPECT_FALSE(desktop.takeFocusRequest());
    // All fits the turned model again.
    kit->press(quillon::IDC_RY_PLUS);
    ViewState turned = s.view;
    kit->press(quillon::IDC_VIEW_ALL);
    EXPECT_EQ(s.view.modelView, turned.modelView);
    EXPECT_NE(s.view.left, turned.left);
    EXPECT_TRUE(desktop.takeRepaintRequest());
}

TEST_F(ViewKit, EachCommandOpensANewInstanceAndClosingClearsOnlyItsOwnHandle) {
    handler.onCommand(quillon::kCmdViewKit);
    auto* second = desktop.newestOpen(quillon::kDlgViewKit);
    ASSERT_NE(second, kit);
    EXPECT_EQ(handler.dialogs().viewKit, second);
    kit->press(quillon::IDC_VIEWKIT_EXIT);  // the older one
    EXPECT_TRUE(kit->closed());
    EXPECT_EQ(handler.dialogs().viewKit, second);
    second->pressCloseBox();
    EXPECT_TRUE(second->closed());
    EXPECT_EQ(handler.dialogs().viewKit, nullptr);
    EXPECT_EQ(desktop.newestOpen(quillon::kDlgViewKit), nullptr);
}

}  // namespace

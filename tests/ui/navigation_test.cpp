// The main view's mouse and keys on the shared state: modes, the click protocol, repaints.
#include "viewer/ui/navigation.h"

#include <gtest/gtest.h>

#include "tests/model/result_text.h"
#include "tests/support/temp_file.h"
#include "viewer/ui/app.h"

namespace {

using quillon::InteractionMode;

class Navigation : public ::testing::Test {
  protected:
    void SetUp() override {
        auto path = testsupport::writeFile("square.txt", testsupport::squareModel().text());
        ASSERT_TRUE(quillon::openResultFile(s, path).ok());
        quillon::resizeView(s, 400, 300);
    }
    std::array<double, 4> window() const {
        return {s.view.left, s.view.right, s.view.bottom, s.view.top};
    }
    quillon::AppState s;
};

TEST_F(Navigation, PanFollowsTheMouseBetweenTwoClicks) {
    EXPECT_FALSE(quillon::HandleChar(s, 'p'));  // a mode change draws nothing
    EXPECT_EQ(s.interaction.mode, InteractionMode::Pan);
    auto start = window();
    double kx = (start[1] - start[0]) / 400, ky = (start[3] - start[2]) / 300;
    EXPECT_FALSE(quillon::HandleLeftButtonDown(s, 100, 100));
    quillon::HandleMouseMove(s, 100, 100);  // not moved yet: nothing moves
    EXPECT_EQ(window(), start);
    EXPECT_TRUE(quillon::HandleMouseMove(s, 110, 95));  // 10 right, 5 up
    EXPECT_DOUBLE_EQ(s.view.left, start[0] - 10 * kx);
    EXPECT_DOUBLE_EQ(s.view.bottom, start[2] - 5 * ky);
    EXPECT_TRUE(quillon::HandleLeftButtonDown(s, 120, 95));  // the second click ends it
    EXPECT_DOUBLE_EQ(s.view.left, start[0] - 20 * kx);
    EXPECT_EQ(s.interaction.clickCount, 0);
    auto ended = window();
    EXPECT_FALSE(quillon::HandleMouseMove(s, 300, 200));
    EXPECT_EQ(window(), ended);
}

TEST_F(Navigation, ZoomWindowDrawsARubberBandThenZooms) {
    quillon::HandleChar(s, 'Z');
    EXPECT_FALSE(quillon::HandleLeftButtonDown(s, 100, 75));
    EXPECT_TRUE(quillon::HandleMouseMove(s, 150, 100));  // the band follows
    auto band = quillon::rubberBand(s.interaction);
    ASSERT_TRUE(band);
    EXPECT_EQ(band->x0, 100);
    EXPECT_EQ(band->x1, 150);
    double width = s.view.right - s.view.left;
    EXPECT_TRUE(quillon::HandleLeftButtonDown(s, 200, 150));
    EXPECT_FALSE(quillon::rubberBand(s.interaction));
    EXPECT_DOUBLE_EQ(s.view.right - s.view.left, width / 4);  // 100 of 400 pixels across
}

TEST_F(Navigation, AClickInIdleOnlyResetsTheCount) {
    auto start = window();
    s.interaction.clickCount = 1;
    EXPECT_FALSE(quillon::HandleLeftButtonDown(s, 10, 10));
    EXPECT_EQ(s.interaction.clickCount, 0);
    EXPECT_EQ(window(), start);
    EXPECT_FALSE(quillon::HandleMouseMove(s, 20, 20));
}

TEST_F(Navigation, WheelZoomsInNavigationModesOnly) {
    auto start = window();
    EXPECT_TRUE(quillon::HandleMouseWheel(s, 120, 200, 150));
    EXPECT_NEAR(s.view.right - s.view.left, (start[1] - start[0]) * 0.95, 1e-9);
    EXPECT_TRUE(quillon::HandleMouseWheel(s, -1, 200, 150));  // only the sign counts
    EXPECT_NEAR(s.view.right - s.view.left, (start[1] - start[0]) * 0.95 * 1.05, 1e-9);
    for (auto mode : {InteractionMode::PickShells, InteractionMode::UnpickNodes}) {
        s.interaction.mode = mode;
        auto before = window();
        EXPECT_FALSE(quillon::HandleMouseWheel(s, 120, 200, 150));
        EXPECT_EQ(window(), before);
    }
}

TEST_F(Navigation, EscClearsThePicksOfThePickModeOnly) {
    auto pickAll = [&] {
        s.model.pickQuad.assign(s.model.pickQuad.size(), 1);
        s.model.pickTri.assign(s.model.pickTri.size(), 1);
        s.model.pickNode.assign(s.model.pickNode.size(), 1);
    };
    pickAll();
    s.interaction.mode = InteractionMode::UnpickShells;
    EXPECT_TRUE(quillon::HandleChar(s, 27));  // repaints, changes nothing
    EXPECT_EQ(s.model.pickQuad[0], 1);
    s.interaction.mode = InteractionMode::PickShells;
    EXPECT_TRUE(quillon::HandleChar(s, 27));
    EXPECT_EQ(s.model.pickQuad[0], 0);
    EXPECT_EQ(s.model.pickTri[0], 0);
    EXPECT_EQ(s.model.pickNode[0], 1);
    pickAll();
    s.interaction.mode = InteractionMode::PickNodes;
    quillon::HandleChar(s, 27);
    EXPECT_EQ(s.model.pickNode[4], 0);
    EXPECT_EQ(s.model.pickQuad[0], 1);
}

TEST_F(Navigation, KeysSwitchModesAndResetTheView) {
    s.interaction.mode = InteractionMode::PickBeams;
    s.interaction.clickCount = 1;
    quillon::HandleChar(s, 'z');  // the gesture goes on
    EXPECT_EQ(s.interaction.mode, InteractionMode::ZoomWindow);
    EXPECT_EQ(s.interaction.clickCount, 1);
    quillon::HandleChar(s, 'P');  // the gesture ends
    EXPECT_EQ(s.interaction.clickCount, 0);
    auto fitted = window();
    quillon::HandleMouseWheel(s, 120, 0, 0);
    EXPECT_TRUE(quillon::HandleChar(s, 'a'));
    EXPECT_EQ(window(), fitted);
    EXPECT_TRUE(quillon::HandleChar(s, 'O'));
    EXPECT_EQ(s.view.modelView[0], 1.0f);  // plan view: x to the right
    EXPECT_EQ(s.view.modelView[5], 1.0f);  // y up
    EXPECT_FALSE(quillon::HandleChar(s, 'q'));
}

TEST_F(Navigation, PickGesturesByRectangleAndByPoint) {
    s.interaction.mode = InteractionMode::PickShells;
    EXPECT_FALSE(quillon::HandleLeftButtonDown(s, 10, 10));  // first corner
    EXPECT_TRUE(quillon::rubberBand(s.interaction));
    EXPECT_TRUE(quillon::HandleLeftButtonDown(s, 50, 40));  // second: pick and repaint
    EXPECT_EQ(s.interaction.cornerX, 50);
    EXPECT_EQ(s.interaction.clickCount, 0);
    s.interaction.rectanglePick = 0;
    EXPECT_TRUE(quillon::HandleLeftButtonDown(s, 10, 10));  // a point pick is one click
    EXPECT_EQ(s.interaction.clickCount, 0);
    EXPECT_FALSE(quillon::HandleMouseMove(s, 30, 30));
}

}  // namespace

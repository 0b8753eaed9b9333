// A load on a thread of its own: what it leaves in the state is what openResultFile leaves, and
// a load stopped with Esc, or one that fails, leaves the model shown before.
#include "viewer/ui/background_load.h"

#include <gtest/gtest.h>

#include "tests/model/result_text.h"
#include "tests/support/temp_file.h"
#include "viewer/platform/memory_desktop.h"
#include "viewer/ui/app.h"

namespace {

class BackgroundLoad : public ::testing::Test {
  protected:
    void SetUp() override {
        square_ = testsupport::writeFile("square.txt", testsupport::squareModel().text());
        testsupport::ResultText strip;
        strip.nodes = {"0,0,0", "1,0,0", "1,0,6", "0,0,6"};
        strip.disps = {"0,0,0,0,0,0", "0,0,0.2,0,0,0", "0,0,0.4,0,0,0", "0,0,0.1,0,0,0"};
        strip.quads = {"0,1,2,3"};
        strip_ = testsupport::writeFile("strip.txt", strip.text());
        quillon::resizeView(shown_, 400, 300);
        ASSERT_TRUE(quillon::openResultFile(shown_, square_).ok());
        shown_.model.nodeNumberMode = quillon::DisplayFilter::All;
    }
    void expectSquareShown() const {
        EXPECT_EQ(shown_.model.nodeCount, 5);
        EXPECT_EQ(shown_.model.quadCount, 1);
        EXPECT_EQ(shown_.model.triCount, 1);
    }

    std::string square_, strip_;
    quillon::AppState shown_;
    quillon::platform::MemoryDesktop desktop_;
};

TEST_F(BackgroundLoad, LeavesWhatOpenResultFileLeaves) {
    quillon::AppState expected;
    quillon::resizeView(expected, 400, 300);
    ASSERT_TRUE(quillon::openResultFile(expected, strip_).ok());
    bool stopped = true;
    ASSERT_TRUE(quillon::loadAnswering(shown_, desktop_, strip_, true, stopped).ok());
    EXPECT_FALSE(stopped);
    EXPECT_TRUE(shown_.modelLoaded);
    EXPECT_EQ(shown_.model.nodeCount, 4);
    EXPECT_EQ(shown_.model.nodePos0.size(), 4u);
    EXPECT_EQ(shown_.model.selQuad, expected.model.selQuad);
    EXPECT_EQ(shown_.model.dispScale, expected.model.dispScale);
    EXPECT_EQ(shown_.contour.SL, expected.contour.SL);
    EXPECT_EQ(shown_.contour.SR, expected.contour.SR);
    EXPECT_EQ(shown_.view.modelBox, expected.view.modelBox);
    EXPECT_EQ(shown_.view.left, expected.view.left);
    EXPECT_EQ(shown_.view.top, expected.view.top);
    // The settings carry over, as with every load.
    EXPECT_EQ(shown_.model.nodeNumberMode, quillon::DisplayFilter::All);
}

TEST_F(BackgroundLoad, EscOrAFailureKeepsTheModelShown) {
    {
        quillon::BackgroundLoad load(shown_.model, strip_, true);
        load.onEscape();  // however far the read got, the model shown stays
        bool stopped = false;
        static_cast<void>(load.finish(shown_, stopped));  // a stopped load's outcome says nothing
        EXPECT_TRUE(stopped);
        expectSquareShown();
    }
    bool stopped = true;
    EXPECT_FALSE(quillon::loadAnswering(shown_, desktop_,
                                        (testsupport::testDir() / "none.txt").string(), true,
                                        stopped)
                     .ok());
    EXPECT_FALSE(stopped);
    expectSquareShown();
    {
        // At start-up Esc does not stop the load: without it there would be no model at all.
        quillon::BackgroundLoad load(shown_.model, strip_, false);
        load.onEscape();
        EXPECT_TRUE(load.finish(shown_, stopped).ok());
        EXPECT_FALSE(stopped);
        EXPECT_EQ(shown_.model.nodeCount, 4);
    }
}

}  // namespace

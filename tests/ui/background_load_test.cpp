// A load on a thread of its own: what it leaves in the state is what openResultFile leaves, and
// a load stopped with Esc, or one that fails, leaves the model shown before.
#include "viewer/ui/background_load.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/model/result_text.h"
#include "tests/support/temp_file.h"
#include "viewer/platform/memory_desktop.h"
#include "viewer/platform/message.h"
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

TEST_F(BackgroundLoad, TheFilesWarningsShowOnTheWaitingThreadInTheirOrder) {
    // The model is finished on the reading thread; its warnings must still reach the user, on
    // the thread of the window (toolkits draw message boxes on that thread only).
    testsupport::ResultText r = testsupport::squareModel();
    r.disps.assign(5, "0,0,0,0,0,0");
    std::string text = r.text();
    text.replace(text.find(",10.000000\n"), 11, ",nan\n");
    const std::string path = testsupport::writeFile("still.txt", text);
    std::vector<std::string> shown;
    const std::thread::id window = std::this_thread::get_id();
    auto previous =
        quillon::platform::setMessagePresenter([&](const std::string& t, const std::string&) {
            EXPECT_EQ(std::this_thread::get_id(), window);
            shown.push_back(t.substr(0, 30));
        });
    quillon::BackgroundLoad load(shown_.model, path, true);
    ASSERT_TRUE(load.waitFor(std::chrono::seconds(60)));
    EXPECT_TRUE(shown.empty());  // not before the load is taken
    bool stopped = true;
    const common::Outcome loaded = load.finish(shown_, stopped);
    quillon::platform::setMessagePresenter(previous);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(shown, (std::vector<std::string>{"The Maximum translation displa",
                                               "Some stresses in this file are"}));
    EXPECT_EQ(shown_.model.dispScale, 0);
}

}  // namespace

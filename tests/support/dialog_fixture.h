#pragma once
// A loaded model behind a main window handler on the in-memory desktop, for tests of the
// dialogs' logic; the messages the dialogs show are recorded instead of printed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_file.h"
#include "viewer/platform/memory_desktop.h"
#include "viewer/platform/message.h"
#include "viewer/ui/app.h"
#include "viewer/ui/main_window_events.h"

namespace testsupport {

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = quillon::platform::setMessagePresenter(
            [this](const std::string& text, const std::string&) { messages.push_back(text); });
    }
    void TearDown() override { quillon::platform::setMessagePresenter(previous_); }

    // Call inside ASSERT_NO_FATAL_FAILURE.
    void load(const std::string& path) {
        ASSERT_TRUE(quillon::openResultFile(state, path).ok());
        quillon::resizeView(state, 400, 300);
    }
    // Opens the dialog of menu command `command` and returns its newest instance of `templateId`.
    quillon::platform::MemoryDialogHost& open(int command, int templateId) {
        handler.onCommand(command);
        auto* host = desktop.newestOpen(templateId);
        EXPECT_NE(host, nullptr);
        desktop.takeRepaintRequest();
        desktop.takeFocusRequest();
        return *host;
    }
    // Whether the dialog asked for a repaint with the keyboard back in the main view.
    bool repaintedWithFocus() {
        bool focus = desktop.takeFocusRequest();
        return desktop.takeRepaintRequest() && focus;
    }

    quillon::AppState state;
    quillon::platform::MemoryDesktop desktop;
    quillon::MainWindowHandler handler{state, desktop};
    std::vector<std::string> messages;

  private:
    quillon::platform::MessagePresenter previous_;
};

}  // namespace testsupport

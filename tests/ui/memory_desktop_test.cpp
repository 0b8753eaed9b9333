// The in-memory dialogs: controls keep their state as a window's do, and a user's press, edit or
// combo choice reaches the logic the way the window delivers it.
#include "viewer/platform/memory_desktop.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace quillon::platform;

// Two radio groups, a check box and a combo box; the logic records what it hears.
DialogTemplate testTemplate() {
    DialogTemplate t;
    t.id = 900;
    t.caption = "Test";
    t.controls = {
        {10, ControlKind::RadioButton, "A", 0, 0, 10, 10, kStyleGroup},
        {11, ControlKind::RadioButton, "B", 0, 0, 10, 10, kStyleNone},
        {12, ControlKind::RadioButton, "C", 0, 0, 10, 10, kStyleGroup},
        {13, ControlKind::RadioButton, "D", 0, 0, 10, 10, kStyleNone},
        {20, ControlKind::CheckBox, "E", 0, 0, 10, 10, kStyleGroup},
        {30, ControlKind::ComboBox, "", 0, 0, 10, 10, kStyleNone},
        {40, ControlKind::PushButton, "Close", 0, 0, 10, 10, kStyleNone},
    };
    return t;
}

struct Heard {
    int id;
    Notification code;
};

class Recorder : public DialogLogic {
  public:
    explicit Recorder(std::vector<Heard>& heard) : heard_(heard) {}
    void onInit(DialogHost& host) override {
        host.checkRadioButton(10, 11, 11);
        host.comboInsert(30, -1, "x/y & z");
        host.comboInsert(30, 0, "first");
        host.comboSelect(30, 1);
    }
    void onCommand(DialogHost& host, int id, Notification code) override {
        heard_.push_back({id, code});
        if (id == 40 || id == kIdCancel) host.close();
    }

  private:
    std::vector<Heard>& heard_;
};

TEST(MemoryDesktop, ControlsBehaveAsAWindowsDo) {
    std::vector<Heard> heard;
    MemoryDesktop desktop;
    DialogHost* opened = desktop.openDialog(testTemplate(), std::make_unique<Recorder>(heard));
    MemoryDialogHost* host = desktop.newestOpen(900);
    ASSERT_EQ(opened, host);
    EXPECT_TRUE(heard.empty());  // initialisation is not a command
    EXPECT_TRUE(host->isChecked(11));
    EXPECT_EQ(host->comboCount(30), 2);
    EXPECT_EQ(host->comboSelection(30), 1);

    host->press(10);  // checks A, unchecks B, leaves the other group alone
    host->press(13);
    EXPECT_TRUE(host->isChecked(10));
    EXPECT_FALSE(host->isChecked(11));
    EXPECT_TRUE(host->isChecked(13));
    host->press(20);
    host->press(20);
    EXPECT_FALSE(host->isChecked(20));  // a check box toggles
    host->chooseComboItem(30, 0);
    EXPECT_EQ(host->comboSelection(30), 0);
    ASSERT_EQ(heard.size(), 5u);
    EXPECT_EQ(heard[0].id, 10);
    EXPECT_EQ(heard[4].id, 30);
    EXPECT_EQ(heard[4].code, Notification::SelectionChanged);

    // A second instance is the newest; closing it makes the first the newest again.
    desktop.openDialog(testTemplate(), std::make_unique<Recorder>(heard));
    MemoryDialogHost* second = desktop.newestOpen(900);
    ASSERT_NE(second, host);
    second->pressCloseBox();
    EXPECT_EQ(heard.back().id, kIdCancel);
    EXPECT_EQ(desktop.newestOpen(900), host);
    desktop.releaseClosed();
    host->press(40);
    EXPECT_EQ(desktop.newestOpen(900), nullptr);
}

TEST(MemoryDesktop, ChoosersTakeTheAnswerGivenOnceAndCompleteTheExtension) {
    MemoryDesktop desktop;
    FileDialog dialog;
    dialog.defaultExtension = "txt";
    EXPECT_FALSE(desktop.chooseFileToOpen(dialog));  // no answer: cancelled
    desktop.answerNextChooser("/nowhere/results");
    EXPECT_EQ(desktop.chooseFileToOpen(dialog), "/nowhere/results.txt");
    EXPECT_EQ(dialog.lastPath, "/nowhere/results.txt");
    EXPECT_FALSE(desktop.chooseFileToSave(dialog));  // the answer was used up
}

}  // namespace

#pragma once
// What every dialog host does, the same way: the in-memory host of tests and scripts, and the
// window's host of each build (FLTK on X11, Win32). A build instantiates the suite with a driver
// for each of its hosts. A driver opens a dialog on its host and acts as the user on it:
//
//   struct Driver {
//       static bool ready(std::string& why);  // false (and why) when it has no display
//       DialogHost* open(const DialogTemplate&, std::unique_ptr<DialogLogic>);
//       void click(DialogHost*, int id);             // a click on a button
//       void choose(DialogHost*, int id, int item);  // an item chosen in a combo box's list
//       void closeBox(DialogHost*);                  // the dialog's close box
//       void settle();  // handles what the actions left queued; a closed dialog goes
//   };
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/skip.h"
#include "viewer/platform/dialog.h"
#include "viewer/platform/memory_desktop.h"

namespace testsupport {

using quillon::platform::ControlKind;
using quillon::platform::DialogHost;
using quillon::platform::DialogLogic;
using quillon::platform::DialogTemplate;
using quillon::platform::Notification;

// Two radio groups, a check box, a combo box and a push button, laid out apart.
inline DialogTemplate contractTemplate() {
    using namespace quillon::platform;
    DialogTemplate t;
    t.id = 990;
    t.caption = "Contract";
    t.width = 200;
    t.height = 120;
    t.controls = {
        {10, ControlKind::RadioButton, "A", 10, 10, 40, 12, kStyleGroup | kStyleTabStop},
        {11, ControlKind::RadioButton, "B", 10, 25, 40, 12, kStyleNone},
        {12, ControlKind::RadioButton, "C", 60, 10, 40, 12, kStyleGroup | kStyleTabStop},
        {13, ControlKind::RadioButton, "D", 60, 25, 40, 12, kStyleNone},
        {20, ControlKind::CheckBox, "E", 110, 10, 40, 12, kStyleGroup | kStyleTabStop},
        {30, ControlKind::ComboBox, "", 10, 45, 80, 60,
         kStyleDropDownList | kStyleVScroll | kStyleTabStop},
        {40, ControlKind::PushButton, "Close", 110, 45, 50, 14, kStyleTabStop},
    };
    return t;
}

// What the logic was told; it outlives the logic.
struct Heard {
    std::vector<std::pair<int, Notification>> commands;
    bool destroyed = false;
};

class ContractLogic : public DialogLogic {
  public:
    using Act = std::function<void(DialogHost&, int id)>;
    ContractLogic(Heard& heard, Act onInit, Act onCommand)
        : heard_(heard), onInit_(std::move(onInit)), onCommand_(std::move(onCommand)) {}
    ~ContractLogic() override { heard_.destroyed = true; }
    void onInit(DialogHost& host) override {
        if (onInit_) onInit_(host, 0);
    }
    void onCommand(DialogHost& host, int id, Notification code) override {
        heard_.commands.push_back({id, code});
        if (onCommand_) onCommand_(host, id);
    }

  private:
    Heard& heard_;
    Act onInit_, onCommand_;
};

// The in-memory host, as scripts drive it: one dialog desktop, closed dialogs released after
// each action.
class MemoryHostDriver {
  public:
    static bool ready(std::string&) { return true; }
    DialogHost* open(const DialogTemplate& t, std::unique_ptr<DialogLogic> logic) {
        return desktop_.openDialog(t, std::move(logic));
    }
    void click(DialogHost* host, int id) { memory(host).press(id); }
    void choose(DialogHost* host, int id, int item) { memory(host).chooseComboItem(id, item); }
    void closeBox(DialogHost* host) { memory(host).pressCloseBox(); }
    void settle() { desktop_.releaseClosed(); }

  private:
    static quillon::platform::MemoryDialogHost& memory(DialogHost* host) {
        return *static_cast<quillon::platform::MemoryDialogHost*>(host);
    }
    quillon::platform::MemoryDesktop desktop_;
};

template <class Driver>
class DialogHostContract : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        if (!Driver::ready(why)) {
            SKIP_OR_FAIL_IN_CI() << "no display: " << why;
        }
    }
    DialogHost* open(typename ContractLogic::Act onCommand = closeOnCancel(),
                     typename ContractLogic::Act onInit = {}) {
        DialogHost* host = driver.open(contractTemplate(),
                                       std::make_unique<ContractLogic>(heard, onInit, onCommand));
        driver.settle();
        return host;
    }
    static ContractLogic::Act closeOnCancel() {
        return [](DialogHost& host, int id) {
            if (id == quillon::platform::kIdCancel || id == 40) host.close();
        };
    }
    // Every dialog goes before the next test: its close box closes it.
    void TearDown() override {
        if (open_ && !heard.destroyed) {
            driver.closeBox(open_);
            driver.settle();
        }
    }
    Driver driver;
    Heard heard;
    DialogHost* open_ = nullptr;  // the dialog a test leaves open
};

TYPED_TEST_SUITE_P(DialogHostContract);

// The user's clicks and choices change the controls first, then the logic hears of them; the
// logic's own calls change the controls and say nothing.
TYPED_TEST_P(DialogHostContract, TheUserIsHeardAndTheLogicIsNot) {
    DialogHost* host = this->open();
    ASSERT_NE(host, nullptr);
    this->open_ = host;
    host->checkRadioButton(10, 11, 11);
    host->setChecked(12, true);
    for (const char* item : {"All", "Selected", "None"}) host->comboInsert(30, -1, item);
    host->comboSelect(30, 0);
    this->driver.settle();
    EXPECT_TRUE(this->heard.commands.empty());

    // A radio button checks itself and unchecks the others of its group only.
    this->driver.click(host, 10);
    this->driver.settle();
    EXPECT_TRUE(host->isChecked(10));
    EXPECT_FALSE(host->isChecked(11));
    EXPECT_TRUE(host->isChecked(12));
    // A check box changes at each click.
    this->driver.click(host, 20);
    this->driver.settle();
    EXPECT_TRUE(host->isChecked(20));
    this->driver.click(host, 20);
    this->driver.settle();
    EXPECT_FALSE(host->isChecked(20));
    this->driver.choose(host, 30, 2);
    this->driver.settle();
    EXPECT_EQ(host->comboSelection(30), 2);
    EXPECT_EQ(host->itemText(30), "None");

    using C = std::pair<int, Notification>;
    EXPECT_EQ(this->heard.commands, (std::vector<C>{{10, Notification::Clicked},
                                                    {20, Notification::Clicked},
                                                    {20, Notification::Clicked},
                                                    {30, Notification::SelectionChanged}}));
}

// An item put before the chosen one moves the choice with the item; the end takes what lies
// past it; a cleared list has no choice.
TYPED_TEST_P(DialogHostContract, TheChosenItemStaysChosenWhileItemsComeAndGo) {
    DialogHost* host = this->open();
    ASSERT_NE(host, nullptr);
    this->open_ = host;
    host->comboInsert(30, -1, "b");
    host->comboInsert(30, 9, "c");  // past the end
    EXPECT_EQ(host->comboSelection(30), -1);
    host->comboSelect(30, 1);
    host->comboInsert(30, 0, "a");
    EXPECT_EQ(host->comboCount(30), 3);
    EXPECT_EQ(host->comboSelection(30), 2);
    EXPECT_EQ(host->itemText(30), "c");
    host->comboInsert(30, 2, "b2");  // at the chosen item's place: it moves on
    EXPECT_EQ(host->comboSelection(30), 3);
    host->comboInsert(30, 4, "d");  // after it: it stays
    EXPECT_EQ(host->comboSelection(30), 3);
    EXPECT_EQ(host->itemText(30), "c");
    host->comboSelect(30, 7);
    EXPECT_EQ(host->comboSelection(30), -1);
    host->comboSelect(30, 0);
    host->comboClear(30);
    EXPECT_EQ(host->comboCount(30), 0);
    EXPECT_EQ(host->comboSelection(30), -1);
    EXPECT_EQ(host->itemText(30), "");
}

// A dialog that closes while it starts is never given; one that closes in a command goes once
// the command has returned, and nothing reaches its logic after it asked to close; one whose
// logic keeps it open at the close box stays.
TYPED_TEST_P(DialogHostContract, ADialogGoesOnlyWhenItsLogicClosesIt) {
    EXPECT_EQ(this->open({}, [](DialogHost& host, int) { host.close(); }), nullptr);
    EXPECT_TRUE(this->heard.destroyed);
    EXPECT_TRUE(this->heard.commands.empty());

    this->heard = {};
    bool usableAfterClose = false;
    DialogHost* host = this->open([&](DialogHost& h, int id) {
        if (id != 10) return;
        h.close();
        // The rest of the command still reaches the controls, and the user's next click, had it
        // come now, would not reach the logic.
        h.setChecked(20, true);
        usableAfterClose = h.isChecked(20);
    });
    ASSERT_NE(host, nullptr);
    this->open_ = host;
    this->driver.closeBox(host);  // heard, and kept open
    this->driver.settle();
    EXPECT_FALSE(this->heard.destroyed);
    ASSERT_EQ(this->heard.commands.size(), 1u);
    EXPECT_EQ(this->heard.commands[0].first, quillon::platform::kIdCancel);

    this->driver.click(host, 10);
    this->driver.settle();
    EXPECT_TRUE(usableAfterClose);
    EXPECT_TRUE(this->heard.destroyed);
    EXPECT_EQ(this->heard.commands.size(), 2u);
    this->open_ = nullptr;
}

REGISTER_TYPED_TEST_SUITE_P(DialogHostContract, TheUserIsHeardAndTheLogicIsNot,
                            TheChosenItemStaysChosenWhileItemsComeAndGo,
                            ADialogGoesOnlyWhenItsLogicClosesIt);

}  // namespace testsupport

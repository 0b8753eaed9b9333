#pragma once
// Dialogs and a main window held in memory: what scripted runs and tests drive instead of a
// display. The dialogs keep their controls' state as a window would, and a press, an edit or a
// combo choice reaches the dialog's logic as a user's would.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "viewer/platform/dialog.h"

namespace quillon::platform {

class MemoryDialogHost : public DialogHost {
  public:
    MemoryDialogHost(const DialogTemplate& dialogTemplate, std::unique_ptr<DialogLogic> logic);

    const DialogTemplate& dialogTemplate() const override { return template_; }
    std::string itemText(int id) const override;
    void setItemText(int id, const std::string& text) override;
    bool isChecked(int id) const override;
    void setChecked(int id, bool checked) override;
    void comboClear(int id) override;
    void comboInsert(int id, int index, const std::string& text) override;
    int comboCount(int id) const override;
    void comboSelect(int id, int index) override;
    int comboSelection(int id) const override;
    void close() override { calls_.close(); }

    bool closed() const { return calls_.closing(); }
    void init() {
        calls_.run([&] { logic_->onInit(*this); });
    }
    // A click on a push button, radio button or check box: automatic buttons change their
    // check state first, then the logic hears of it.
    void press(int id);
    // The user chose item `index` of a combo box: the logic hears of the change.
    void chooseComboItem(int id, int index);
    // The close box (or Esc).
    void pressCloseBox();
    // Once the logic asked to close, the dialog is gone for the user: the three do nothing.

  private:
    struct Control {
        std::string text;
        bool checked = false;
        std::vector<std::string> items;
        int selection = -1;
    };
    Control* control(int id);
    const Control* control(int id) const;

    DialogTemplate template_;
    std::unique_ptr<DialogLogic> logic_;
    std::vector<Control> controls_;  // in template order
    LogicCalls calls_;
};

class MemoryDesktop : public Desktop {
  public:
    void repaintMainWindow() override { repaintRequested_ = true; }
    void focusMainWindow() override { mainWindowFocused_ = true; }
    DialogHost* openDialog(const DialogTemplate& dialogTemplate,
                           std::unique_ptr<DialogLogic> logic) override;
    std::optional<std::string> chooseFileToOpen(FileDialog& dialog) override;
    std::optional<std::string> chooseFileToSave(FileDialog& dialog) override;
    // Without a desktop, a finished report is named on the output: "report: PATH".
    void openInTextEditor(const std::string& path) override;
    // Without a desktop, a copied picture is kept here and its size named on the output:
    // "clipboard: picture WIDTHxHEIGHT".
    common::Outcome copyPicture(int width, int height,
                                const std::vector<std::uint8_t>& rgb) override;
    const std::vector<std::uint8_t>& copiedPicture() const { return copied_; }
    // Without a window, nothing answers meanwhile: the task runs to its end.
    void waitAnswering(LongTask& task) override;
    void setReportOutput(std::FILE* out) { reportOut_ = out; }

    // The answer of the next file chooser: a path, or nothing for a cancelled one. Without an
    // answer a chooser is cancelled.
    void answerNextChooser(std::optional<std::string> path) { answer_ = std::move(path); }
    // Whether a repaint was requested since the last call.
    bool takeRepaintRequest() { return std::exchange(repaintRequested_, false); }
    // Whether the main view was given the keyboard since the last call.
    bool takeFocusRequest() { return std::exchange(mainWindowFocused_, false); }
    // The newest open dialog from template `templateId`, or nullptr.
    MemoryDialogHost* newestOpen(int templateId);
    // Forgets the dialogs that closed.
    void releaseClosed();

  private:
    std::vector<std::unique_ptr<MemoryDialogHost>> dialogs_;  // oldest first
    std::optional<std::string> answer_;
    std::FILE* reportOut_ = stdout;
    std::vector<std::uint8_t> copied_;
    bool repaintRequested_ = false;
    bool mainWindowFocused_ = false;
};

}  // namespace quillon::platform

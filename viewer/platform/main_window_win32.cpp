// The main window of the Windows build. Until the window is built here, the program without
// --snapshot, --script or --info says so and ends; message boxes and Notepad are there already.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "common/utf16.h"
#include "viewer/platform/dialog_win32.h"
#include "viewer/platform/main_window.h"
#include "viewer/platform/message.h"

namespace quillon::platform {
namespace {

// MessageBoxW with no owner and an OK button.
void showMessageBox(const std::string& text, const std::string& caption) {
    MessageBoxW(nullptr, common::WideFromUtf8(text).c_str(), common::WideFromUtf8(caption).c_str(),
                MB_OK);
}

class Win32Desktop : public Desktop {
  public:
    void repaintMainWindow() override {}
    void focusMainWindow() override {}
    DialogHost* openDialog(const DialogTemplate& dialogTemplate,
                           std::unique_ptr<DialogLogic> logic) override {
        return openWin32Dialog(dialogTemplate, std::move(logic), nullptr);
    }
    std::optional<std::string> chooseFileToOpen(FileDialog&) override { return std::nullopt; }
    std::optional<std::string> chooseFileToSave(FileDialog&) override { return std::nullopt; }
    void openInTextEditor(const std::string& path) override { startTextEditor(path); }
};

}  // namespace

int runMainWindow(const std::string&, const std::vector<MenuCommand>&, MainWindowEvents&) {
    std::fprintf(stderr, "quillon: this build has no window yet; use --snapshot OUT.png\n");
    return 1;
}

Desktop& windowDesktop() {
    static Win32Desktop desktop;
    return desktop;
}

bool displayAvailable() {
    return true;  // a Windows session always has a desktop
}

void installMessageBoxes() {
    setMessagePresenter(showMessageBox);
}

}  // namespace quillon::platform

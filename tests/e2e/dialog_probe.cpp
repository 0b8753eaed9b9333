// dialog_probe: a test-only program. The FLTK main window with a menu that opens dialogs (the
// View Kit template and a template with every kind of control) whose logic prints each call
// to standard output, one line each, so that window tests can drive the FLTK dialog host with
// real clicks and keys:
//
//   opened I TEMPLATE           dialog instance I (counted from 0) is open
//   init I TEMPLATE items=N     its onInit ran (N: items of the combo box, -1 when it has none)
//   command I ID clicked|changed   a notification
//   state I ID=VALUE ...        after each command: [edit text], 0/1 for a check, combo index
//   still I [TEXT]              after close() inside a command: the host still answers
//   destroyed I                 the logic was destroyed (the dialog closed)
//   char C / click X Y          the main view got a character / a left click
//
// Usage: dialog_probe [viewkit|kinds]...   (dialogs opened at the start, in order)
#include <FL/Fl.H>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/dialog_probe.h"
#include "viewer/platform/main_window.h"
#include "viewer/platform/overlay_canvas.h"
#include "viewer/resources/dialogs.h"

namespace {

using namespace quillon::platform;
using probe::kCloseButton;
using probe::kMainButton;
using probe::kNameEdit;

void say(const char* format, auto... args) {
    std::printf(format, args...);
    std::fflush(stdout);
}

bool isStateful(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::RadioButton ||
           kind == ControlKind::CheckBox || kind == ControlKind::ComboBox;
}

class PrintingLogic : public DialogLogic {
  public:
    PrintingLogic(int instance, Desktop& desktop) : instance_(instance), desktop_(desktop) {}
    ~PrintingLogic() override { say("destroyed %d\n", instance_); }

    void onInit(DialogHost& host) override {
        const DialogTemplate& t = host.dialogTemplate();
        int items = -1;
        if (t.id == probe::kDlgKinds) {
            // Item texts that FLTK's menus would read as submenus, mnemonics, dividers and
            // symbols: the host shows them literally, so five items, not fewer.
            for (const char* item : {"a/b", "&c", "_d", "@->", "e\\f"})
                host.comboInsert(probe::kCombo, -1, item);
            host.comboSelect(probe::kCombo, 0);
            host.setItemText(probe::kReadOnlyEdit, "fixed");
            host.checkRadioButton(probe::kSquare, probe::kTriangle, probe::kSquare);
            host.checkRadioButton(probe::kSmall, probe::kLarge, probe::kSmall);
            items = host.comboCount(probe::kCombo);
        }
        say("init %d %d items=%d\n", instance_, t.id, items);
    }

    void onCommand(DialogHost& host, int id, Notification code) override {
        say("command %d %d %s\n", instance_, id,
            code == Notification::Clicked ? "clicked" : "changed");
        // (appended piece by piece: GCC 12 warns falsely about `"[" + text + "]"`)
        std::string state = "state ";
        state.append(std::to_string(instance_));
        for (const ControlTemplate& c : host.dialogTemplate().controls) {
            if (c.id == IDC_STATIC || !isStateful(c.kind)) continue;
            state.append(" ").append(std::to_string(c.id)).append("=");
            if (c.kind == ControlKind::Edit)
                state.append("[").append(host.itemText(c.id)).append("]");
            else if (c.kind == ControlKind::ComboBox)
                state.append(std::to_string(host.comboSelection(c.id)));
            else
                state.append(host.isChecked(c.id) ? "1" : "0");
        }
        say("%s\n", state.c_str());

        if (id == kIdCancel || id == quillon::IDC_VIEWKIT_EXIT) host.close();
        if (id == kCloseButton) {
            host.close();
            host.setItemText(kNameEdit, "after close");
            say("still %d [%s]\n", instance_, host.itemText(kNameEdit).c_str());
        }
        if (id == kMainButton) desktop_.focusMainWindow();
    }

  private:
    int instance_;
    Desktop& desktop_;
};

class ProbeWindow : public MainWindowEvents {
  public:
    void onCreate() override {}
    void onSize(int, int) override {}
    void onDpi(int) override {}
    void onPaint(OverlayCanvas&) override {
        glClearColor(0.1f, 0.1f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFlush();
    }
    void onLeftButtonDown(int x, int y) override { say("click %d %d\n", x, y); }
    void onMouseMove(int, int) override {}
    void onWheel(int, int, int) override {}
    void onChar(unsigned int ch) override { say("char %c\n", static_cast<char>(ch)); }
    void onCommand(int id) override { open(id); }

    void open(int menuId) {
        const DialogTemplate& t =
            menuId == probe::kMenuKinds ? probe::kindsTemplate() : quillon::viewKitTemplate();
        int instance = opened_++;
        Desktop& desktop = windowDesktop();
        if (desktop.openDialog(t, std::make_unique<PrintingLogic>(instance, desktop)))
            say("opened %d %d\n", instance, t.id);
    }

    std::vector<int> atStart;

  private:
    int opened_ = 0;
};

void openAtStart(void* data) {
    auto* probe = static_cast<ProbeWindow*>(data);
    for (int id : probe->atStart) probe->open(id);
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fprintf(stderr, "dialog_probe: no display\n");
        return 1;
    }
    ProbeWindow probe;
    for (int i = 1; i < argc; ++i)
        probe.atStart.push_back(std::strcmp(argv[i], "kinds") == 0 ? probe::kMenuKinds
                                                                   : probe::kMenuViewKit);
    Fl::add_timeout(0.0, openAtStart, &probe);
    return runMainWindow("Dialog Probe",
                         {{"&Dialogs", "&View Kit", probe::kMenuViewKit},
                          {"&Dialogs", "&Every Kind", probe::kMenuKinds}},
                         probe);
}

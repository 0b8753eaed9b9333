// The dialog hosts' one contract, on the in-memory host and on the FLTK host (on a virtual X
// server of the test's own, clicked with pointer events through FLTK's own dispatch).
// GoogleTest before X11, whose headers define None.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <cstdlib>

#include "tests/e2e/x_session.h"
#include "tests/support/dialog_host_contract.h"
#include "viewer/platform/linux/dialog_host.h"

namespace testsupport {

// (Not in an anonymous namespace: the driver's name is in the tests' names.)
class FltkHostDriver {
  public:
    // One server for the whole program: FLTK keeps its display once opened.
    static bool ready(std::string& why) {
        static testsupport::XSession* session = nullptr;
        static std::string failure;
        if (!session && failure.empty()) {
            auto* started = new testsupport::XSession;
            if (started->start(failure)) {
                session = started;
                setenv("DISPLAY", session->display().c_str(), 1);
                fl_open_display();
            } else {
                delete started;
            }
        }
        why = failure;
        return session != nullptr;
    }
    DialogHost* open(const DialogTemplate& t, std::unique_ptr<DialogLogic> logic) {
        return quillon::platform::openFltkDialog(t, std::move(logic), nullptr, nullptr);
    }
    // A press and a release of the left button in the middle of the control.
    void click(DialogHost*, int id) {
        Fl_Window* window = dialog();
        ASSERT_NE(window, nullptr);
        Fl_Widget* control = window->child(indexOf(id));
        Fl::e_x = control->x() + control->w() / 2;
        Fl::e_y = control->y() + control->h() / 2;
        Fl::e_x_root = window->x() + Fl::e_x;
        Fl::e_y_root = window->y() + Fl::e_y;
        Fl::e_keysym = FL_Button + FL_LEFT_MOUSE;
        Fl::e_state = FL_BUTTON1;
        Fl::e_is_click = 1;
        Fl::handle(FL_PUSH, window);
        Fl::e_state = 0;
        Fl::handle(FL_RELEASE, window);
    }
    // What the choice's pop-up list does when the user picks an item.
    void choose(DialogHost*, int id, int item) {
        Fl_Window* window = dialog();
        ASSERT_NE(window, nullptr);
        auto* choice = static_cast<Fl_Choice*>(window->child(indexOf(id)));
        choice->picked(choice->menu() + item);
    }
    // What the window manager's close box does.
    void closeBox(DialogHost*) {
        if (Fl_Window* window = dialog()) Fl::handle(FL_CLOSE, window);
    }
    void settle() {
        Fl::flush();
        while (Fl::check() && Fl::ready()) {
        }
    }

  private:
    static Fl_Window* dialog() {
        for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
            if (w->label() && contractTemplate().caption == w->label()) return w;
        return nullptr;
    }
    static int indexOf(int id) {
        const auto& controls = contractTemplate().controls;
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (controls[i].id == id) return static_cast<int>(i);
        return -1;
    }
};

using ContractHosts = ::testing::Types<MemoryHostDriver, FltkHostDriver>;
INSTANTIATE_TYPED_TEST_SUITE_P(DialogHosts, DialogHostContract, ContractHosts);
}  // namespace testsupport

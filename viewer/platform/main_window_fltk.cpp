// The main window, message boxes and file choosers with FLTK.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_ask.H>
#include <X11/Xlib.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "viewer/platform/dialog_fltk.h"
#include "viewer/platform/gl_overlay_canvas.h"
#include "viewer/platform/main_window.h"
#include "viewer/platform/message.h"

namespace quillon::platform {
namespace {

constexpr int kViewWidth = 1024;
constexpr int kViewHeight = 768;
constexpr int kMenuHeight = 25;

// Decodes UTF-8 event text into code points; a malformed byte is passed on as it is.
template <class Sink>
void forEachCodePoint(const char* text, int length, Sink sink) {
    const char* end = text + length;
    while (text < end) {
        int len = 0;
        unsigned cp = fl_utf8decode(text, end, &len);
        sink(cp);
        text += len > 0 ? len : 1;
    }
}

// The OpenGL view: single-buffered with a depth buffer. Every event reaches the viewer with
// this view's context current, because event handlers change the camera's matrices.
class GlView : public Fl_Gl_Window {
  public:
    GlView(int x, int y, int w, int h, MainWindowEvents& events)
        : Fl_Gl_Window(x, y, w, h), events_(events) {
        mode(FL_RGB | FL_DEPTH | FL_SINGLE);
    }

    ~GlView() override { releaseOverlays(); }

    void hide() override {
        releaseOverlays();
        Fl_Gl_Window::hide();
    }

    void command(int id) {
        make_current();
        events_.onCommand(id);
    }

  protected:
    void draw() override {
        if (!context_valid()) {
            // A new context: the overlay canvas keeps textures in it, and it has no camera yet.
            overlays_ = std::make_unique<GlOverlayCanvas>();
            events_.onCreate();
            sizedWidth_ = sizedHeight_ = -1;
        }
        if (w() != sizedWidth_ || h() != sizedHeight_) {
            sizedWidth_ = w();
            sizedHeight_ = h();
            events_.onSize(w(), h());
        }
        overlays_->begin(w(), h());
        events_.onPaint(*overlays_);
        overlays_->end();
    }

    int handle(int event) override {
        switch (event) {
            case FL_PUSH:
                take_focus();
                if (Fl::event_button() == FL_LEFT_MOUSE) {
                    make_current();
                    events_.onLeftButtonDown(Fl::event_x(), Fl::event_y());
                }
                return 1;
            case FL_DRAG:
            case FL_MOVE:
                make_current();
                events_.onMouseMove(Fl::event_x(), Fl::event_y());
                return 1;
            case FL_RELEASE:
                return 1;
            case FL_MOUSEWHEEL:
                if (Fl::event_dy() == 0) return 0;
                make_current();
                // Turned away from the user is negative here and positive in the viewer's units.
                events_.onWheel(-120 * Fl::event_dy(), Fl::event_x(), Fl::event_y());
                return 1;
            case FL_KEYBOARD:
                // Alt combinations are the menu's mnemonics; everything else is the view's.
                if (Fl::event_state(FL_ALT | FL_META)) return 0;
                make_current();
                forEachCodePoint(Fl::event_text(), Fl::event_length(),
                                 [this](unsigned ch) { events_.onChar(ch); });
                return 1;
            case FL_FOCUS:
            case FL_UNFOCUS:
            case FL_ENTER:
            case FL_LEAVE:
                return 1;
            default:
                return Fl_Gl_Window::handle(event);
        }
    }

  private:
    // The canvas's textures are released while their context is still current.
    void releaseOverlays() {
        if (!overlays_) return;
        if (shown() && context()) make_current();
        overlays_.reset();
    }

    MainWindowEvents& events_;
    std::unique_ptr<GlOverlayCanvas> overlays_;
    int sizedWidth_ = -1, sizedHeight_ = -1;
};

// The one main window while runMainWindow runs; repaint and focus requests go to its view.
GlView* theView = nullptr;

// FLTK menu paths use '/' and '\' as separators and escapes.
std::string menuPath(const MenuCommand& c) {
    std::string path;
    for (const std::string* part : {&c.menu, &c.label}) {
        if (!path.empty()) path += '/';
        for (char ch : *part) {
            if (ch == '/' || ch == '\\') path += '\\';
            path += ch;
        }
    }
    return path;
}

void onMenu(Fl_Widget*, void* data) {
    if (theView) theView->command(static_cast<int>(reinterpret_cast<std::intptr_t>(data)));
}

// In an open menu a mnemonic letter chooses its item whatever the case it is typed in, as on
// other desktops. FLTK compares the letter's case exactly, so that "o" in the File menu would
// pass over "&Open" and go on to the menu bar's "Pl&otCtrls". While a menu has the keyboard, a
// letter is tried as a capital first, then as typed (lower case).
int dispatchEvent(int event, Fl_Window* window) {
    char* text = Fl::e_text;
    bool letterInMenu = event == FL_SHORTCUT && Fl::grab() && Fl::grab()->menu_window() &&
                        Fl::event_length() == 1 && text &&
                        std::isalpha(static_cast<unsigned char>(text[0]));
    if (!letterInMenu) return Fl::handle_(event, window);
    const char typed = text[0];
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(typed)));
    int handled = Fl::handle_(event, window);
    if (!handled) {
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(typed)));
        handled = Fl::handle_(event, window);
    }
    text[0] = typed;
    return handled;
}

// Closing the window ends the program; Esc is a key of the view, not a close request.
void onClose(Fl_Widget* window, void*) {
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    window->hide();
}

}  // namespace

int runMainWindow(const std::string& title, const std::vector<MenuCommand>& menu,
                  MainWindowEvents& events) {
    Fl::use_high_res_GL(0);
    auto window =
        std::make_unique<Fl_Double_Window>(kViewWidth, kViewHeight + kMenuHeight, title.c_str());
    auto* bar = new Fl_Menu_Bar(0, 0, kViewWidth, kMenuHeight);
    for (const MenuCommand& c : menu)
        bar->add(menuPath(c).c_str(), 0, onMenu,
                 reinterpret_cast<void*>(static_cast<std::intptr_t>(c.id)));
    auto* view = new GlView(0, kMenuHeight, kViewWidth, kViewHeight, events);
    window->end();
    window->resizable(view);
    window->callback(onClose);
    window->color(FL_BLACK);

    theView = view;
    Fl::event_dispatch(dispatchEvent);
    window->show();
    view->cursor(FL_CURSOR_CROSS);
    view->take_focus();
    int code = Fl::run();
    theView = nullptr;
    return code;
}

namespace {

// A choice with the native chooser, or the answer that a test set in the environment.
std::optional<std::string> chooseFile(FileDialog& dialog, Fl_Native_File_Chooser::Type type) {
    std::optional<std::string> chosen;
    if (const char* answer = std::getenv(kOpenFileAnswerVariable)) {
        if (*answer) chosen = answer;
    } else {
        Fl_Native_File_Chooser chooser(type);
        chooser.title(dialog.title.c_str());
        // The GTK chooser shows a filter as name + "(pattern)": a name that already ends with
        // the pattern loses that end, so the user reads the name as it was given.
        std::string name = dialog.filterName, shown = "(" + dialog.pattern + ")";
        if (name.size() > shown.size() && name.ends_with(shown))
            name.resize(name.size() - shown.size());
        std::string filter = name + "\t" + dialog.pattern;
        chooser.filter(filter.c_str());
        if (type == Fl_Native_File_Chooser::BROWSE_SAVE_FILE)
            chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM);
        if (!dialog.lastPath.empty()) chooser.preset_file(dialog.lastPath.c_str());
        if (chooser.show() == 0 && chooser.filename() && *chooser.filename())
            chosen = chooser.filename();
    }
    if (!chosen) return std::nullopt;
    dialog.lastPath = withDefaultExtension(*chosen, dialog.defaultExtension);
    return dialog.lastPath;
}

class FltkDesktop : public Desktop {
  public:
    void repaintMainWindow() override {
        if (theView) theView->redraw();
    }
    void focusMainWindow() override {
        if (theView) theView->take_focus();
    }
    DialogHost* openDialog(const DialogTemplate& dialogTemplate,
                           std::unique_ptr<DialogLogic> logic) override {
        return openFltkDialog(dialogTemplate, std::move(logic));
    }
    std::optional<std::string> chooseFileToOpen(FileDialog& dialog) override {
        return chooseFile(dialog, Fl_Native_File_Chooser::BROWSE_FILE);
    }
    std::optional<std::string> chooseFileToSave(FileDialog& dialog) override {
        return chooseFile(dialog, Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    }
    void openInTextEditor(const std::string& path) override { startTextEditor(path); }
};

}  // namespace

Desktop& windowDesktop() {
    static FltkDesktop desktop;
    return desktop;
}

bool displayAvailable() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XCloseDisplay(display);
    return true;
}

void installMessageBoxes() {
    fl_close = "OK";
    setMessagePresenter([](const std::string& text, const std::string& caption) {
        fl_message_title(caption.c_str());
        fl_alert("%s", text.c_str());
    });
}

}  // namespace quillon::platform

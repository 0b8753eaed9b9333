// The main window, message boxes and file choosers with FLTK.
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Gl_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/x.H>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>

#include "viewer/platform/gl_framebuffer.h"
#include "viewer/platform/gl_overlay_canvas.h"
#include "viewer/platform/linux/clipboard.h"
#include "viewer/platform/linux/dialog_host.h"
#include "viewer/platform/linux/widgets.h"
#include "viewer/platform/main_window.h"
#include "viewer/platform/message.h"
#include "viewer/platform/offscreen_gl.h"

namespace quillon::platform {
namespace {

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

void* glFunction(const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

// The view's visual: single-buffered RGB with a depth buffer of 24 bits where the display has
// one (glXChooseVisual gives the smallest depth buffer of at least the size asked for), as the
// pictures drawn without a window have. It matters only where OpenGL has no framebuffer objects.
const int kVisual24[] = {GLX_RGBA,       GLX_RED_SIZE, 1,   GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1,
                         GLX_DEPTH_SIZE, 24,           None};

// The OpenGL view: single-buffered with a depth buffer. Every frame is drawn in a framebuffer
// object of the headless pictures' kind and then copied to the screen, so that the view shows
// what a picture drawn without a window shows, whatever depth buffer the visual has, and never
// a frame half drawn. Every event reaches the viewer with this view's context current, because
// event handlers change the camera's matrices.
class GlView : public Fl_Gl_Window {
  public:
    GlView(int x, int y, int w, int h, MainWindowEvents& events)
        : Fl_Gl_Window(x, y, w, h), events_(events) {
        if (can_do(kVisual24))
            mode(kVisual24);
        else
            mode(kMode);
    }

    static constexpr int kMode = FL_RGB | FL_DEPTH | FL_SINGLE;

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
            framebuffer_.forget();
            overlays_ = std::make_unique<GlOverlayCanvas>();
            events_.onCreate();
            sizedWidth_ = sizedHeight_ = -1;
        }
        if (w() != sizedWidth_ || h() != sizedHeight_) {
            sizedWidth_ = w();
            sizedHeight_ = h();
            events_.onSize(w(), h());
        }
        // Where OpenGL has no framebuffer objects, straight into the window.
        const bool buffered = framebuffer_.open(glFunction, w(), h()).empty();
        overlays_->begin(w(), h());
        events_.onPaint(*overlays_);
        overlays_->end();
        if (buffered) framebuffer_.copyToWindow();
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
                events_.onWheel(-kWheelDelta * Fl::event_dy(), Fl::event_x(), Fl::event_y());
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
    // The canvas's textures and the framebuffer are released while their context is still
    // current.
    void releaseOverlays() {
        if (!overlays_) return;
        if (shown() && context()) make_current();
        overlays_.reset();
        framebuffer_.release();
    }

    MainWindowEvents& events_;
    std::unique_ptr<GlOverlayCanvas> overlays_;
    GlFramebuffer framebuffer_;
    int sizedWidth_ = -1, sizedHeight_ = -1;
};

// The one main window while runMainWindow runs; repaint and focus requests go to its view,
// dialogs are owned by the window.
GlView* theView = nullptr;
Fl_Window* theWindow = nullptr;
std::string theTitle;
// The work the window waits for while it answers, if any.
LongTask* theTask = nullptr;

// A menu label and its shortcut: Windows writes the shortcut after a tab ("&Copy\tCtrl+C"),
// FLTK takes it apart from the label.
struct MenuLabel {
    std::string label;
    int shortcut = 0;
};
MenuLabel splitShortcut(const std::string& text) {
    const std::size_t tab = text.find('\t');
    if (tab == std::string::npos) return {text, 0};
    const std::string keys = text.substr(tab + 1);
    int shortcut = 0;
    if (keys.size() == 6 && keys.compare(0, 5, "Ctrl+") == 0)
        shortcut = FL_CTRL + std::tolower(static_cast<unsigned char>(keys[5]));
    return {text.substr(0, tab), shortcut};
}

// FLTK menu paths use '/' and '\' as separators and escapes.
std::string menuPath(const MenuCommand& c) {
    std::string path;
    for (const std::string& part : {c.menu, splitShortcut(c.label).label}) {
        if (!path.empty()) path += '/';
        for (char ch : part) {
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
int handleWithMenuLetters(int event, Fl_Window* window) {
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

// Closing the window ends the program, and its dialogs go with it; Esc is a key of the view,
// not a close request.
void onClose(Fl_Widget* window, void*) {
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    closeAllFltkDialogs();
    window->hide();
}

// The focus events of a keyboard grab (a menu or a drop-down list open and close) are not
// changes of the focus. FLTK would take the one at the end of the grab for a new focus on the
// window under the pointer and move the keyboard there, away from a dialog that the menu
// command just opened (as happens with no window manager, where the focus follows the pointer).
int ignoreGrabFocus(void* event, void*) {
    const auto* e = static_cast<const XEvent*>(event);
    return (e->type == FocusIn || e->type == FocusOut) &&
           (e->xfocus.mode == NotifyGrab || e->xfocus.mode == NotifyUngrab);
}

bool windowManagerRunning() {
    Atom check = XInternAtom(fl_display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == 0) return false;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    bool found =
        XGetWindowProperty(fl_display, RootWindow(fl_display, fl_screen), check, 0, 1, False,
                           AnyPropertyType, &type, &format, &items, &after, &data) == Success &&
        items > 0;
    if (data) XFree(data);
    return found;
}

// Every event: menu letters of either case; and dialogs kept above the main window. FLTK raises
// a window whenever the keyboard focus moves into it from another window (a click in the view,
// a dialog button that hands the focus back). A window manager keeps the dialogs above their
// owner all the same; with none, they would be buried, so they are raised again after each
// event that moved the focus into the main window.
//
// While the window waits for a long task, the user's input is set aside, but for Esc, which
// goes to the task: nothing starts that would act on what the task replaces.
int dispatchEvent(int event, Fl_Window* window) {
    static Fl_Window* focusedBefore = nullptr;
    if (theTask) {
        switch (event) {
            case FL_KEYBOARD:
            case FL_SHORTCUT:
                if (Fl::event_key() == FL_Escape) theTask->onEscape();
                return 1;
            case FL_PUSH:
            case FL_RELEASE:
            case FL_DRAG:
            case FL_MOVE:
            case FL_MOUSEWHEEL:
            case FL_KEYUP:
            case FL_PASTE:
            case FL_DND_ENTER:
            case FL_DND_DRAG:
            case FL_DND_LEAVE:
            case FL_DND_RELEASE:
                return 1;
            default:
                break;
        }
    }
    int handled = handleWithMenuLetters(event, window);
    Fl_Window* focused = Fl::focus() ? Fl::focus()->top_window() : nullptr;
    if (focused && focused == theWindow && focusedBefore != theWindow && !windowManagerRunning())
        raiseFltkDialogs();
    focusedBefore = focused;
    return handled;
}

// A visual and a context of the view's kind can be had (the view falls back to a double
// buffer drawn as a single one, as FLTK does).
bool canCreateContext() {
    int single[] = {GLX_RGBA, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, GLX_DEPTH_SIZE,
                    1,        None};
    int twice[] = {GLX_RGBA,
                   GLX_DOUBLEBUFFER,
                   GLX_RED_SIZE,
                   1,
                   GLX_GREEN_SIZE,
                   1,
                   GLX_BLUE_SIZE,
                   1,
                   GLX_DEPTH_SIZE,
                   1,
                   None};
    XVisualInfo* visual = glXChooseVisual(fl_display, fl_screen, single);
    if (!visual) visual = glXChooseVisual(fl_display, fl_screen, twice);
    if (!visual) return false;
    GLXContext context = glXCreateContext(fl_display, visual, nullptr, True);
    XFree(visual);
    if (!context) return false;
    glXDestroyContext(fl_display, context);
    return true;
}

// The two steps of making the window's OpenGL pixel format; a failure is told in the two boxes
// of a failed pixel format and ends the program with exit code 1. Without the GLX extension
// no GLX call is made (Xlib would print its own complaint).
void checkPixelFormat(int mode) {
    fl_open_display();
    int opcode = 0, event = 0, error = 0;
    bool glx = XQueryExtension(fl_display, "GLX", &opcode, &event, &error);
    if (!glx || !(Fl_Gl_Window::can_do(mode) || Fl_Gl_Window::can_do(mode | FL_DOUBLE))) {
        messageBox("ChoosePixelFormat failed!", "Warning!");
        fatal("像素设置错误!");
    }
    if (!canCreateContext()) {
        messageBox("SetPixelFormat failed!", "Warning!");
        fatal("像素设置错误!");
    }
}

}  // namespace

int runMainWindow(const std::string& title, const std::vector<MenuCommand>& menu,
                  MainWindowEvents& events) {
    prepareWidgets();
    checkPixelFormat(GlView::kMode);
    Fl::add_system_handler(ignoreGrabFocus, nullptr);
    Fl::event_dispatch(dispatchEvent);
    Fl::use_high_res_GL(0);
    auto window = std::make_unique<Fl_Double_Window>(
        kDefaultViewWidth, kDefaultViewHeight + kMenuHeight, title.c_str());
    auto* bar = new Fl_Menu_Bar(0, 0, kDefaultViewWidth, kMenuHeight);
    for (const MenuCommand& c : menu)
        bar->add(menuPath(c).c_str(), splitShortcut(c.label).shortcut, onMenu,
                 reinterpret_cast<void*>(static_cast<std::intptr_t>(c.id)));
    auto* view = new GlView(0, kMenuHeight, kDefaultViewWidth, kDefaultViewHeight, events);
    window->end();
    window->resizable(view);
    window->callback(onClose);
    window->color(FL_BLACK);

    theView = view;
    theWindow = window.get();
    theTitle = title;
    window->show();
    setLegacyTitle(*window);
    view->cursor(FL_CURSOR_CROSS);
    view->take_focus();
    events.onShown();
    int code = Fl::run();
    Fl::remove_system_handler(ignoreGrabFocus);
    Fl::event_dispatch(nullptr);
    closeAllFltkDialogs();
    Fl::do_widget_deletion();
    theView = nullptr;
    theWindow = nullptr;
    return code;
}

namespace {

// A choice with the native chooser, or the answer that a test set in the environment.
std::optional<std::string> chooseFile(FileDialog& dialog, Fl_Native_File_Chooser::Type kind) {
    std::optional<std::string> chosen;
    std::size_t type = 0;  // the file type chosen
    if (const char* answer = std::getenv(kOpenFileAnswerVariable)) {
        if (*answer) chosen = answer;
    } else {
        Fl_Native_File_Chooser chooser(kind);
        chooser.title(dialog.title.c_str());
        // The GTK chooser shows a filter as name + "(pattern)": a name that already ends with
        // the pattern loses that end, so the user reads the name as it was given.
        std::string filter;
        auto addFilter = [&filter](const std::string& name, const std::string& pattern) {
            std::string shown = "(";
            shown.append(pattern).append(")");
            std::size_t kept = name.size();
            if (name.size() > shown.size() && name.ends_with(shown)) kept -= shown.size();
            if (!filter.empty()) filter += '\n';
            filter.append(name, 0, kept).append("\t").append(pattern);
        };
        addFilter(dialog.filterName, dialog.pattern);
        for (const FileDialog::Type& t : dialog.moreTypes) addFilter(t.name, t.pattern);
        chooser.filter(filter.c_str());
        if (kind == Fl_Native_File_Chooser::BROWSE_SAVE_FILE)
            chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM);
        if (!dialog.lastPath.empty()) chooser.preset_file(dialog.lastPath.c_str());
        if (chooser.show() == 0 && chooser.filename() && *chooser.filename()) {
            chosen = chooser.filename();
            type = static_cast<std::size_t>(std::max(chooser.filter_value(), 0));
        }
    }
    if (!chosen) return std::nullopt;
    dialog.lastPath = withDefaultExtension(*chosen, dialog.extensionOfType(type));
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
        return openFltkDialog(dialogTemplate, std::move(logic), theWindow, theView);
    }
    std::optional<std::string> chooseFileToOpen(FileDialog& dialog) override {
        return chooseFile(dialog, Fl_Native_File_Chooser::BROWSE_FILE);
    }
    std::optional<std::string> chooseFileToSave(FileDialog& dialog) override {
        return chooseFile(dialog, Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    }
    void openInTextEditor(const std::string& path) override { startTextEditor(path); }
    common::Outcome copyPicture(int width, int height,
                                const std::vector<std::uint8_t>& rgb) override {
        return offerPngOnClipboard(encodePng(width, height, rgb));
    }
    // The events are handled a twentieth of a second at a time, the title updated between.
    void waitAnswering(LongTask& task) override {
        LongTask* outer = std::exchange(theTask, &task);
        std::string shown;
        while (!task.waitFor(std::chrono::milliseconds(0))) {
            if (!theWindow || !theWindow->shown()) {
                task.stop();
                break;
            }
            std::string title = titleWithProgress(theTitle, task.doneShare());
            if (title != shown) showTitle(title);
            shown = title;
            Fl::wait(0.05);
        }
        theTask = outer;
        if (!shown.empty() && theWindow && theWindow->shown()) showTitle(theTitle);
    }

  private:
    static void showTitle(const std::string& title) {
        theWindow->copy_label(title.c_str());
        setLegacyTitle(*theWindow);
    }
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
    setMessagePresenter(showMessageBox);
}

}  // namespace quillon::platform

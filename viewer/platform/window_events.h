#pragma once
// The main window's events as the viewer receives them, and the menu it offers, without any
// window: what the window backends deliver and what scripted runs deliver alike.
#include <string>

namespace quillon::platform {

class OverlayCanvas;

// The view's size when the FLTK window opens (Windows chooses the size of the Win32 window's),
// and of pictures and scripted runs without a size.
constexpr int kDefaultViewWidth = 1024;
constexpr int kDefaultViewHeight = 768;
// onWheel's delta for one notch turned away from the user.
constexpr int kWheelDelta = 120;
// The pixels per inch that the program's sizes in pixels are meant for.
constexpr int kDefaultDpi = 96;
// The character onChar gives for the Esc key, and for Ctrl+C.
constexpr unsigned kEscapeChar = 27;
constexpr unsigned kCopyChar = 3;

class MainWindowEvents {
  public:
    virtual ~MainWindowEvents() = default;
    virtual void onCreate() = 0;                     // context made, before the first size
    virtual void onSize(int width, int height) = 0;  // client size of the OpenGL view
    // The display's pixels per inch, when the window learns them and when they change (the
    // window moved to a screen of another scale); 96 until then.
    virtual void onDpi(int dpi) = 0;
    virtual void onPaint(OverlayCanvas& canvas) = 0;  // draw the 3-D pass, then overlays
    virtual void onLeftButtonDown(int x, int y) = 0;  // view pixels, y downwards
    virtual void onMouseMove(int x, int y) = 0;
    virtual void onWheel(int delta, int x, int y) = 0;  // kWheelDelta a notch, signed
    virtual void onChar(unsigned int ch) = 0;
    virtual void onCommand(int id) = 0;  // a menu command
    // Once, when the window has just been shown and before its events are handled: work that
    // needs the window on the screen (a load that shows its progress) goes on here.
    virtual void onShown() {}
};

struct MenuCommand {
    std::string menu;   // top-level label, with & before the mnemonic
    std::string label;  // item label, with & before the mnemonic
    int id;
};

// When this environment variable is set, the window's file choosers return its value instead of
// showing a chooser (an empty value is a cancelled choice), so that tests can drive File > Open.
constexpr const char* kOpenFileAnswerVariable = "QUILLON_OPEN_FILE_ANSWER";

}  // namespace quillon::platform

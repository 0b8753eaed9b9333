#pragma once
// The main window: a menu bar over an OpenGL view (single-buffered, with a depth buffer).
// Events reach the viewer through MainWindowEvents with the view's OpenGL context current.
#include <optional>
#include <string>
#include <vector>

namespace quillon::platform {

class MainWindowEvents {
  public:
    virtual ~MainWindowEvents() = default;
    virtual void onCreate() = 0;                            // context made, before the first size
    virtual void onSize(int width, int height) = 0;         // client size of the OpenGL view
    virtual void onPaint(class OverlayCanvas& canvas) = 0;  // draw the 3-D pass, then overlays
    virtual void onLeftButtonDown(int x, int y) = 0;        // view pixels, y downwards
    virtual void onMouseMove(int x, int y) = 0;
    virtual void onWheel(int delta, int x, int y) = 0;  // +120 per notch turned away from the user
    virtual void onChar(unsigned int ch) = 0;
    virtual void onCommand(int id) = 0;  // a menu command
};

struct MenuCommand {
    std::string menu;   // top-level label, with & before the mnemonic
    std::string label;  // item label, with & before the mnemonic
    int id;
};

// Creates and shows the main window and runs the event loop until the window is closed.
// Returns the program's exit code.
int runMainWindow(const std::string& title, const std::vector<MenuCommand>& menu,
                  MainWindowEvents& events);
void repaintMainWindow();
void focusMainWindow();

// True when a display can be opened (windows and message boxes are possible).
bool displayAvailable();
// From now on messages are also shown in a box (an alert whose title is the caption).
void installMessageBoxes();

struct OpenFileDialog {
    std::string title;
    std::string filterName;        // "Text Files (*.txt)"
    std::string pattern;           // "*.txt"
    std::string defaultExtension;  // "txt"
    std::string lastPath;          // offered again; updated on success
};
// When this environment variable is set, chooseFileToOpen returns its value instead of showing
// the chooser (an empty value is a cancelled choice), so that tests can drive File > Open.
constexpr const char* kOpenFileAnswerVariable = "QUILLON_OPEN_FILE_ANSWER";
// Lets the user choose a file; nothing when cancelled.
std::optional<std::string> chooseFileToOpen(OpenFileDialog& dialog);

}  // namespace quillon::platform

#pragma once
// The main window: a menu bar over an OpenGL view, which draws each frame in a framebuffer
// object and shows it when complete. Events reach the viewer through MainWindowEvents with the
// view's OpenGL context current.
#include <string>
#include <vector>

#include "viewer/platform/dialog.h"
#include "viewer/platform/window_events.h"

namespace quillon::platform {

// Creates and shows the main window and runs the event loop until the window is closed.
// Returns the program's exit code.
int runMainWindow(const std::string& title, const std::vector<MenuCommand>& menu,
                  MainWindowEvents& events);
// The desktop of the window: repaints and focus go to the main view, dialogs are the system's
// (FLTK windows, Win32 dialogs), file choices come from the native chooser.
Desktop& windowDesktop();

// True when a display can be opened (windows and message boxes are possible).
bool displayAvailable();
// From now on messages are also shown in a box (an alert whose title is the caption).
void installMessageBoxes();

}  // namespace quillon::platform

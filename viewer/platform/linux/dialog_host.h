#pragma once
// Dialogs built with FLTK from their templates: modeless windows owned by the main window.
#include <memory>

#include "viewer/platform/dialog.h"

class Fl_Widget;
class Fl_Window;

namespace quillon::platform {

// Builds the dialog, runs the logic's onInit, and shows it beside `owner` and above it (as
// a window the window manager keeps with its owner), with the keyboard focus on its first tab
// stop. When the dialog closes while it has the focus, `ownerFocus` takes it back. The host
// lives until the dialog closes; nothing is returned (and nothing shown) when onInit already
// closed it.
DialogHost* openFltkDialog(const DialogTemplate& dialogTemplate, std::unique_ptr<DialogLogic> logic,
                           Fl_Window* owner, Fl_Widget* ownerFocus);

// Closes every open dialog without a command, as when their owner goes away; a dialog whose
// command is under way closes when that command returns.
void closeAllFltkDialogs();

// Puts every open dialog back above the other windows, the newest on top.
void raiseFltkDialogs();

// The dialogs open now.
int openFltkDialogCount();

}  // namespace quillon::platform

#pragma once
// Dialogs built with FLTK from their templates: modeless windows over the main window.
#include <memory>

#include "viewer/platform/dialog.h"

namespace quillon::platform {

// Builds the dialog, runs the logic's onInit and shows it; the host lives until it closes.
DialogHost* openFltkDialog(const DialogTemplate& dialogTemplate,
                           std::unique_ptr<DialogLogic> logic);

}  // namespace quillon::platform

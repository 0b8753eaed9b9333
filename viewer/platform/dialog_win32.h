#pragma once
// Dialogs on Windows: real modeless dialogs built in memory from their templates (a
// DLGTEMPLATE with DS_SETFONT "MS Shell Dlg" 8 pt) through CreateDialogIndirectParamW, whose
// DialogHost maps the logic's calls to the dialog's controls.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <memory>

#include "viewer/platform/dialog.h"

namespace quillon::platform {

// Builds the dialog owned by `owner`, runs the logic's onInit and shows it. The host lives until
// the dialog closes; nullptr when onInit already closed it.
DialogHost* openWin32Dialog(const DialogTemplate& dialogTemplate,
                            std::unique_ptr<DialogLogic> logic, HWND owner);

// Offers a message of the main loop to the open dialogs (IsDialogMessageW) for their keyboard
// navigation; true when one of them took it.
bool offerToWin32Dialogs(MSG& message);

// Closes every open dialog, as when their owner goes away.
void closeAllWin32Dialogs();

}  // namespace quillon::platform

#pragma once
// Dialogs built from their templates as real Win32 dialogs: each template becomes a dialog
// template in memory ("MS Shell Dlg" 8 pt), created modeless and owned by the main window,
// whose message loop gives the open dialogs their keyboard (Tab, arrows, Enter, Esc).
// Declared without <windows.h>, which its includers need not see.
#include <memory>
#include <vector>

#include "viewer/platform/dialog.h"

struct HWND__;
struct tagMSG;

namespace quillon::platform {

// Builds the dialog, runs the logic's onInit (at WM_INITDIALOG) and shows the dialog beside
// `owner` (which may be null), with the keyboard on its first tab stop. The host lives until
// the dialog closes; nothing is returned (and nothing shown) when onInit already closed it.
DialogHost* openWin32Dialog(const DialogTemplate& dialogTemplate,
                            std::unique_ptr<DialogLogic> logic, HWND__* owner);

// The open dialogs, newest first: every one of them gets its keyboard (Tab, arrows, Enter, Esc),
// Plot Settings and older instances too. The order has no effect: IsDialogMessageW takes only
// the messages of its own dialog and its controls, so no two dialogs compete for a message.
std::vector<HWND__*> openWin32Dialogs();

// Offers `message` with IsDialogMessageW to the open dialogs; true when one took it (it has been
// handled then, and must not be translated or dispatched).
bool isDialogMessageForOpenDialogs(tagMSG* message);

// The dialog window of an open dialog's host, or null.
HWND__* win32DialogWindow(const DialogHost* host);

}  // namespace quillon::platform

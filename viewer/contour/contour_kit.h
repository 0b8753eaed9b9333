#pragma once
// The Contour Kit: the plotted stress component and the stress interval, by row or typed in,
// with each component's range over the selection to start from. The dialog keeps nothing of
// its own: its edits are filled when it opens and on Reset.
#include "viewer/platform/dialog.h"
#include "viewer/state/app_state.h"

namespace quillon {

class ContourKitDialog : public platform::DialogLogic {
  public:
    // `handle` is the main window's slot for the newest Contour Kit; closing clears it when it
    // still names this dialog.
    ContourKitDialog(AppState& state, platform::Desktop& desktop, platform::DialogHost*& handle)
        : state_(state), desktop_(desktop), handle_(handle) {}

    void onInit(platform::DialogHost& host) override;
    void onCommand(platform::DialogHost& host, int id, platform::Notification code) override;

  private:
    AppState& state_;
    platform::Desktop& desktop_;
    platform::DialogHost*& handle_;
};

// "Plot Contour" and "Clear Contour", as the Plot Settings and selection dialogs offer them.
void SetContourPlotting(AppState& state, platform::Desktop& desktop, bool on);

}  // namespace quillon

#pragma once
// The View Kit: camera angles by number or by one of fourteen standard views, fit, pan and
// zoom modes, and turns of 10 degrees about axes through the rotation centre.
#include "viewer/platform/dialog.h"
#include "viewer/state/app_state.h"

namespace quillon {

class ViewKitDialog : public platform::DialogLogic {
  public:
    // `handle` is the main window's slot for the newest View Kit; closing clears it when it
    // still names this dialog.
    ViewKitDialog(AppState& state, platform::Desktop& desktop, platform::DialogHost*& handle)
        : state_(state), desktop_(desktop), handle_(handle) {}

    void onInit(platform::DialogHost& host) override;
    void onCommand(platform::DialogHost& host, int id, platform::Notification code) override;

  private:
    void showAngles(platform::DialogHost& host);

    AppState& state_;
    platform::Desktop& desktop_;
    platform::DialogHost*& handle_;
};

}  // namespace quillon

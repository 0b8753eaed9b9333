#pragma once
// Plot Settings: what the frame shows (six display filters), contour plotting on or off, the
// deformed or undeformed shape and the magnification. The settings live in the model and the
// contour settings; every open instance works on the same ones.
#include <cmath>

#include "viewer/platform/dialog.h"
#include "viewer/state/app_state.h"

namespace quillon {

// Whether `scale` can magnify the displacements: only a finite number can (with any other,
// every displaced position is not a finite number, and the model vanishes). Renew and the
// command line's --scale refuse the others.
inline bool isMagnification(double scale) {
    return std::isfinite(scale);
}

class PlotSettingsDialog : public platform::DialogLogic {
  public:
    PlotSettingsDialog(AppState& state, platform::Desktop& desktop)
        : state_(state), desktop_(desktop) {}

    void onInit(platform::DialogHost& host) override;
    void onCommand(platform::DialogHost& host, int id, platform::Notification code) override;

  private:
    AppState& state_;
    platform::Desktop& desktop_;
};

}  // namespace quillon

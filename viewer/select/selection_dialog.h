#pragma once
// The three selection dialogs — shells (both shapes), beams, nodes: how the mouse picks, the
// picked marks merged into the selection by Apply, Select All / None / Invert, and the view
// and contour buttons they share with the other tool dialogs.
#include "viewer/platform/dialog.h"
#include "viewer/resources/dialogs.h"
#include "viewer/select/picking.h"
#include "viewer/state/app_state.h"

namespace quillon {

// The template and the controls of a kind's dialog.
const platform::DialogTemplate& selectionTemplate(SelectionKind kind);
const SelectionControls& selectionControls(SelectionKind kind);

class SelectionDialog : public platform::DialogLogic {
  public:
    // `handle` is the main window's slot for the newest dialog of this kind.
    SelectionDialog(SelectionKind kind, AppState& state, platform::Desktop& desktop,
                    platform::DialogHost*& handle)
        : kind_(kind), state_(state), desktop_(desktop), handle_(handle) {}

    void onInit(platform::DialogHost& host) override;
    void onCommand(platform::DialogHost& host, int id, platform::Notification code) override;

  private:
    KindSelectionSettings& settings();
    // Apply by the kind's select mode.
    void apply();
    // The selected box and the rotation centre follow the selection; `fit` also fits the view.
    void followSelection(bool fit);
    void selectNodesInSelectedElements();
    // From File, To File and List Stresses.
    void readFile();
    void writeFile();
    void listStresses();
    void close(platform::DialogHost& host);

    SelectionKind kind_;
    AppState& state_;
    platform::Desktop& desktop_;
    platform::DialogHost*& handle_;
};

}  // namespace quillon

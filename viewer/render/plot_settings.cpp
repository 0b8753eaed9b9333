#include "viewer/render/plot_settings.h"

#include "viewer/contour/contour_kit.h"
#include "viewer/platform/message.h"
#include "viewer/resources/dialog_numbers.h"
#include "viewer/resources/dialogs.h"

namespace quillon {
namespace {

// The six combo boxes in the order they are read, with the model field each one sets.
struct Filter {
    int id;
    DisplayFilter ResultModel::*field;
};
constexpr Filter kFilters[] = {
    {IDC_SHELL_OUTLINES, &ResultModel::shellOutlineMode},
    {IDC_BEAM_MESHLINES, &ResultModel::beamMeshLineMode},
    {IDC_NODES, &ResultModel::nodeMode},
    {IDC_SHELL_NUMBERS, &ResultModel::shellNumberMode},
    {IDC_BEAM_NUMBERS, &ResultModel::beamNumberMode},
    {IDC_NODE_NUMBERS, &ResultModel::nodeNumberMode},
};

}  // namespace

void PlotSettingsDialog::onInit(platform::DialogHost& host) {
    for (const Filter& f : kFilters) {
        host.comboInsert(f.id, 0, "All");
        host.comboInsert(f.id, 1, "Selected");
        host.comboInsert(f.id, 2, "None");
        host.comboSelect(f.id, static_cast<int>(state_.model.*f.field));
    }
    host.setItemText(IDC_DISP_SCALE, formatDouble(state_.model.dispScale));
    desktop_.repaintMainWindow();
}

void PlotSettingsDialog::onCommand(platform::DialogHost& host, int id,
                                   platform::Notification code) {
    ResultModel& model = state_.model;
    bool isFilter = false;
    for (const Filter& f : kFilters) isFilter |= f.id == id;
    if (isFilter) {
        if (code != platform::Notification::SelectionChanged) return;
        for (const Filter& f : kFilters)
            model.*f.field = static_cast<DisplayFilter>(host.comboSelection(f.id));
        platform::RepaintMainWindow(desktop_);
        return;
    }
    switch (id) {
        case IDC_PLOT_CONTOUR:
        case IDC_CLEAR_CONTOUR:
            SetContourPlotting(state_, desktop_, id == IDC_PLOT_CONTOUR);
            return;
        case IDC_DEFORMED:
            model.deformed = !model.deformed;
            model.updateDisplayedPositions();
            platform::RepaintMainWindow(desktop_);
            return;
        case IDC_RENEW: {
            double scale = dialogDouble(host.itemText(IDC_DISP_SCALE));
            if (!isMagnification(scale)) {
                // Nothing changes, and the edit shows the magnification in force again.
                host.setItemText(IDC_DISP_SCALE, formatDouble(model.dispScale));
                platform::messageBox("The DispZoomScale must be a finite number!", "Warning!");
                return;
            }
            model.dispScale = scale;
            model.deformed = true;
            model.updateDisplayedPositions();
            platform::RepaintMainWindow(desktop_);
            return;
        }
        case IDC_PLOT_EXIT:
        case platform::kIdCancel:
            host.close();
            return;
        default:
            return;
    }
}

}  // namespace quillon

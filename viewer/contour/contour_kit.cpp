#include "viewer/contour/contour_kit.h"

#include "viewer/contour/stress_scale.h"
#include "viewer/platform/message.h"
#include "viewer/resources/dialog_numbers.h"
#include "viewer/resources/dialogs.h"

namespace quillon {
namespace {

// Every row shows its component's range over the selection; the current component's range also
// becomes the interval when `resetInterval` holds.
void fillRows(AppState& s, platform::DialogHost& host, bool resetInterval) {
    for (int c = 0; c < kStressComponents; ++c) {
        double min = 0, max = 0;
        SelectedStressRange(s.model, c, min, max);
        const ContourRowEdits row = contourRowEdits(c);
        host.setItemText(row.sl, formatDouble(min));
        host.setItemText(row.sr, formatDouble(max));
        if (resetInterval && c == s.contour.currentComponent) {
            host.setItemText(IDC_SET_ID, formatInteger(c));
            host.setItemText(IDC_SET_SL, formatDouble(min));
            host.setItemText(IDC_SET_SR, formatDouble(max));
            s.contour.SL = min;
            s.contour.SR = max;
        }
    }
}

}  // namespace

void SetContourPlotting(AppState& state, platform::Desktop& desktop, bool on) {
    state.contour.contourOn = on;
    platform::RepaintMainWindow(desktop);
}

void ContourKitDialog::onInit(platform::DialogHost& host) {
    const ContourSettings& c = state_.contour;
    host.setItemText(IDC_SET_ID, formatInteger(c.currentComponent));
    host.setItemText(IDC_SET_SL, formatDouble(c.SL));
    host.setItemText(IDC_SET_SR, formatDouble(c.SR));
    if (c.currentComponent >= 0 && c.currentComponent < kStressComponents)
        host.checkRadioButton(IDC_COMPONENT_SX, IDC_COMPONENT_SE,
                              IDC_COMPONENT_SX + c.currentComponent);
    fillRows(state_, host, false);
}

void ContourKitDialog::onCommand(platform::DialogHost& host, int id, platform::Notification) {
    ContourSettings& settings = state_.contour;
    if (id >= IDC_COMPONENT_SX && id <= IDC_COMPONENT_SE) {
        const int c = id - IDC_COMPONENT_SX;
        const ContourRowEdits row = contourRowEdits(c);
        const std::string slText = host.itemText(row.sl), srText = host.itemText(row.sr);
        const double a = dialogDouble(slText), b = dialogDouble(srText);
        // (Two texts that are not numbers in the usual sense, such as "nan", are refused too.)
        if (!(a <= b)) {
            platform::messageBox("应力区间设置错误!", "Warning!");
            return;
        }
        settings.SL = a;
        settings.SR = b;
        settings.currentComponent = c;
        host.setItemText(IDC_SET_ID, formatInteger(c));
        host.setItemText(IDC_SET_SL, slText);
        host.setItemText(IDC_SET_SR, srText);
        platform::RepaintMainWindow(desktop_);
        return;
    }
    switch (id) {
        case IDC_CONTOUR_SET: {
            const int component = dialogInteger(host.itemText(IDC_SET_ID));
            const std::string slText = host.itemText(IDC_SET_SL),
                              srText = host.itemText(IDC_SET_SR);
            const double a = dialogDouble(slText), b = dialogDouble(srText);
            // Taken as unsigned, a negative component is out of range too.
            if (static_cast<unsigned>(component) >= static_cast<unsigned>(kStressComponents) ||
                !(b >= a)) {
                platform::messageBox("应力编号或者应力区间输入错误!", "Warning!");
                return;
            }
            settings.currentComponent = component;
            settings.SL = a;
            settings.SR = b;
            host.checkRadioButton(IDC_COMPONENT_SX, IDC_COMPONENT_SE, IDC_COMPONENT_SX + component);
            const ContourRowEdits row = contourRowEdits(component);
            host.setItemText(row.sl, slText);
            host.setItemText(row.sr, srText);
            platform::RepaintMainWindow(desktop_);
            return;
        }
        case IDC_CONTOUR_RESET:
            fillRows(state_, host, true);
            platform::RepaintMainWindow(desktop_);
            return;
        case IDC_CONTOUR_EXIT:
        case platform::kIdCancel:
            if (handle_ == &host) handle_ = nullptr;
            host.close();
            return;
        default:
            return;
    }
}

}  // namespace quillon

#include "viewer/ui/view_kit.h"

#include "viewer/resources/dialog_numbers.h"
#include "viewer/resources/dialogs.h"
#include "viewer/view/camera.h"

namespace quillon {
namespace {

struct StandardView {
    int id;
    double alpha, beta;
};
constexpr StandardView kStandardViews[] = {
    {IDC_XOY_PLUS, -90, 90},     {IDC_XOY_MINUS, -90, -90},   {IDC_XOZ_PLUS, 90, 0},
    {IDC_XOZ_MINUS, -90, 0},     {IDC_YOZ_PLUS, 0, 0},        {IDC_YOZ_MINUS, 180, 0},
    {IDC_EN_PLUS, 45, 35.26},    {IDC_EN_MINUS, 45, -35.26},  {IDC_WN_PLUS, 135, 35.26},
    {IDC_WN_MINUS, 135, -35.26}, {IDC_WS_PLUS, -135, 35.26},  {IDC_WS_MINUS, -135, -35.26},
    {IDC_ES_PLUS, -45, 35.26},   {IDC_ES_MINUS, -45, -35.26},
};

struct Rotation {
    int id;
    float angle, x, y, z;
};
constexpr Rotation kRotations[] = {
    {IDC_RX_PLUS, 10, 1, 0, 0},   {IDC_RX_MINUS, -10, 1, 0, 0}, {IDC_RY_PLUS, 10, 0, 1, 0},
    {IDC_RY_MINUS, -10, 0, 1, 0}, {IDC_RZ_PLUS, 10, 0, 0, 1},   {IDC_RZ_MINUS, -10, 0, 0, 1},
};

}  // namespace

void ViewKitDialog::onInit(platform::DialogHost& host) {
    showAngles(host);
}

void ViewKitDialog::showAngles(platform::DialogHost& host) {
    host.setItemText(IDC_ALPHA, formatTwoDecimals(state_.view.alpha));
    host.setItemText(IDC_BETA, formatTwoDecimals(state_.view.beta));
}

void ViewKitDialog::onCommand(platform::DialogHost& host, int id, platform::Notification) {
    ViewState& view = state_.view;
    switch (id) {
        case IDC_APPLY:
            view.alpha = dialogDouble(host.itemText(IDC_ALPHA));
            view.beta = dialogDouble(host.itemText(IDC_BETA));
            applyCamera(view);
            platform::RepaintMainWindow(desktop_);
            return;
        case IDC_VIEW_ALL:
            fitAll(view);
            platform::RepaintMainWindow(desktop_);
            return;
        case IDC_VIEW_PAN:
            state_.interaction.mode = InteractionMode::Pan;
            return;
        case IDC_VIEW_ZOOM:
            state_.interaction.mode = InteractionMode::ZoomWindow;
            return;
        case IDC_VIEWKIT_EXIT:
        case platform::kIdCancel:
            if (handle_ == &host) handle_ = nullptr;
            host.close();
            return;
        default:
            break;
    }
    for (const StandardView& v : kStandardViews) {
        if (v.id != id) continue;
        view.alpha = v.alpha;
        view.beta = v.beta;
        showAngles(host);
        applyCamera(view);
        platform::RepaintMainWindow(desktop_);
        return;
    }
    for (const Rotation& r : kRotations) {
        if (r.id != id) continue;
        rotateModel(view, r.angle, r.x, r.y, r.z);
        platform::RepaintMainWindow(desktop_);
        return;
    }
}

}  // namespace quillon

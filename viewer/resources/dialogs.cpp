#include "viewer/resources/dialogs.h"

namespace quillon {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::IDC_STATIC;

constexpr std::uint32_t kEditStyle =
    platform::kStyleAutoHScroll | platform::kStyleBorder | platform::kStyleTabStop;
constexpr std::uint32_t kButtonStyle = platform::kStyleTabStop;

ControlTemplate label(const char* text, int x, int y, int w, int h) {
    return {IDC_STATIC, ControlKind::Static, text, x, y, w, h, platform::kStyleNone};
}
ControlTemplate group(const char* text, int x, int y, int w, int h) {
    return {IDC_STATIC, ControlKind::GroupBox, text, x, y, w, h, platform::kStyleNone};
}
ControlTemplate edit(int id, int x, int y, int w, int h) {
    return {id, ControlKind::Edit, "", x, y, w, h, kEditStyle};
}
ControlTemplate button(int id, const char* text, int x, int y, int w, int h) {
    return {id, ControlKind::PushButton, text, x, y, w, h, kButtonStyle};
}

DialogTemplate makeViewKit() {
    DialogTemplate t;
    t.id = kDlgViewKit;
    t.caption = "View Kit";
    t.width = 119;
    t.height = 259;
    t.controls = {
        label("Alpha", 10, 6, 19, 8),
        label("Beta", 46, 6, 15, 8),
        edit(IDC_ALPHA, 7, 19, 25, 14),
        edit(IDC_BETA, 42, 19, 25, 14),
        button(IDC_APPLY, "Apply", 80, 19, 32, 14),
        button(IDC_VIEW_ALL, "All", 7, 36, 26, 18),
        button(IDC_VIEW_PAN, "Pan", 46, 36, 26, 18),
        button(IDC_VIEW_ZOOM, "Zoom", 86, 36, 26, 18),
        group("View Plane", 7, 61, 105, 57),
        button(IDC_XOY_PLUS, "XOY+", 7, 70, 26, 18),
        button(IDC_XOY_MINUS, "XOY-", 7, 95, 26, 18),
        button(IDC_XOZ_PLUS, "XOZ+", 46, 70, 26, 18),
        button(IDC_XOZ_MINUS, "XOZ-", 46, 95, 26, 18),
        button(IDC_YOZ_PLUS, "YOZ+", 86, 70, 26, 18),
        button(IDC_YOZ_MINUS, "YOZ-", 86, 94, 26, 18),
        group("View Direction", 7, 120, 105, 56),
        button(IDC_EN_PLUS, "EN+", 7, 131, 23, 17),
        button(IDC_WN_PLUS, "WN+", 34, 131, 23, 17),
        button(IDC_WS_PLUS, "WS+", 61, 131, 23, 17),
        button(IDC_ES_PLUS, "ES+", 89, 131, 23, 17),
        button(IDC_EN_MINUS, "EN-", 7, 152, 23, 17),
        button(IDC_WN_MINUS, "WN-", 34, 152, 23, 17),
        button(IDC_WS_MINUS, "WS-", 61, 152, 23, 17),
        button(IDC_ES_MINUS, "ES-", 89, 152, 23, 17),
        group("Model Rotation", 7, 182, 105, 50),
        button(IDC_RX_PLUS, "RX+", 9, 196, 31, 14),
        button(IDC_RX_MINUS, "RX-", 9, 214, 31, 14),
        button(IDC_RY_PLUS, "RY+", 44, 196, 31, 14),
        button(IDC_RY_MINUS, "RY-", 44, 214, 31, 14),
        button(IDC_RZ_PLUS, "RZ+", 79, 196, 31, 14),
        button(IDC_RZ_MINUS, "RZ-", 79, 214, 31, 14),
        button(IDC_VIEWKIT_EXIT, "Exit", 34, 236, 50, 14),
    };
    return t;
}

}  // namespace

const platform::DialogTemplate& viewKitTemplate() {
    static const DialogTemplate t = makeViewKit();
    return t;
}

const platform::DialogTemplate* dialogTemplate(int id) {
    switch (id) {
        case kDlgViewKit:
            return &viewKitTemplate();
        default:
            return nullptr;
    }
}

}  // namespace quillon

#pragma once
// The dialog probe's own template with every kind of control, shared by the probe program and
// the tests that drive it.
#include "viewer/platform/dialog.h"

namespace probe {

using namespace quillon::platform;

constexpr int kMenuViewKit = 1;
constexpr int kMenuKinds = 2;

constexpr int kDlgKinds = 900;
constexpr int kNameEdit = 901;
constexpr int kNumberEdit = 902;
constexpr int kReadOnlyEdit = 903;
constexpr int kSquare = 911, kCircle = 912, kTriangle = 913;
constexpr int kSmall = 921, kLarge = 922;
constexpr int kFilled = 931;
constexpr int kCombo = 941;
constexpr int kOkButton = 951;
constexpr int kCloseButton = 952;
constexpr int kMainButton = 953;

inline const DialogTemplate& kindsTemplate() {
    static const DialogTemplate t = [] {
        constexpr std::uint32_t tab = kStyleTabStop, group = kStyleGroup;
        constexpr std::uint32_t edit = kStyleBorder | kStyleAutoHScroll | tab;
        DialogTemplate d;
        d.id = kDlgKinds;
        d.caption = "Every Kind";
        d.width = 150;
        d.height = 172;
        // Group boxes come before their radio buttons, and the first radio button of each
        // group starts it, as in a resource script: a box belongs to the group before it.
        d.controls = {
            {IDC_STATIC, ControlKind::Static, "&Name:", 8, 8, 30, 8, kStyleNone},
            {kNameEdit, ControlKind::Edit, "", 40, 6, 100, 14, edit | group},
            {IDC_STATIC, ControlKind::Static, "Count:", 8, 26, 30, 8, kStyleNone},
            {kNumberEdit, ControlKind::Edit, "", 40, 24, 40, 14, edit | kStyleNumber},
            {kReadOnlyEdit, ControlKind::Edit, "", 85, 24, 55, 14, edit | kStyleReadOnly},
            {IDC_STATIC, ControlKind::GroupBox, "Shape", 6, 42, 66, 58, kStyleNone},
            {kSquare, ControlKind::RadioButton, "Square", 12, 54, 56, 12, tab | group},
            {kCircle, ControlKind::RadioButton, "Circle", 12, 68, 56, 12, kStyleNone},
            {kTriangle, ControlKind::RadioButton, "Triangle", 12, 82, 56, 12, kStyleNone},
            {IDC_STATIC, ControlKind::GroupBox, "Size", 78, 42, 66, 58, kStyleNone},
            {kSmall, ControlKind::RadioButton, "Small", 84, 54, 56, 12, tab | group},
            {kLarge, ControlKind::RadioButton, "Large", 84, 68, 56, 12, kStyleNone},
            {kFilled, ControlKind::CheckBox, "Filled", 8, 108, 60, 12, tab | group},
            {kCombo, ControlKind::ComboBox, "", 70, 106, 74, 60,
             tab | group | kStyleDropDownList | kStyleVScroll},
            {kOkButton, ControlKind::DefPushButton, "OK", 8, 148, 40, 16, tab | group},
            {kCloseButton, ControlKind::PushButton, "Close", 54, 148, 40, 16, tab},
            {kMainButton, ControlKind::PushButton, "Main", 100, 148, 40, 16, tab},
        };
        return d;
    }();
    return t;
}

}  // namespace probe

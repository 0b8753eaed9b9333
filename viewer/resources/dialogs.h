#pragma once
// The tool dialogs' templates and their control ids.
#include "viewer/platform/dialog.h"

namespace quillon {

// Template ids.
constexpr int kDlgViewKit = 103;

// View Kit controls.
enum ViewKitControl : int {
    IDC_RX_PLUS = 1001,
    IDC_RX_MINUS = 1002,
    IDC_RY_PLUS = 1003,
    IDC_RY_MINUS = 1004,
    IDC_RZ_PLUS = 1005,
    IDC_RZ_MINUS = 1006,
    IDC_ALPHA = 1009,
    IDC_BETA = 1010,
    IDC_APPLY = 1012,
    IDC_VIEWKIT_EXIT = 1014,
    IDC_XOY_PLUS = 1027,
    IDC_XOY_MINUS = 1028,
    IDC_XOZ_PLUS = 1029,
    IDC_XOZ_MINUS = 1030,
    IDC_YOZ_PLUS = 1031,
    IDC_YOZ_MINUS = 1032,
    IDC_EN_PLUS = 1033,
    IDC_EN_MINUS = 1034,
    IDC_WN_PLUS = 1035,
    IDC_WN_MINUS = 1036,
    IDC_WS_PLUS = 1037,
    IDC_WS_MINUS = 1038,
    IDC_ES_PLUS = 1039,
    IDC_ES_MINUS = 1040,
    IDC_VIEW_ALL = 1041,
    IDC_VIEW_PAN = 1042,
    IDC_VIEW_ZOOM = 1043,
};

const platform::DialogTemplate& viewKitTemplate();

// The template with `id`, or nullptr for an id that has none.
const platform::DialogTemplate* dialogTemplate(int id);

}  // namespace quillon

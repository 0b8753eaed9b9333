#pragma once
// The tool dialogs' templates and their control ids.
#include "viewer/platform/dialog.h"

namespace quillon {

// Template ids.
constexpr int kDlgViewKit = 103;
constexpr int kDlgPlotSettings = 109;
constexpr int kDlgContourKit = 111;

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

// Plot Settings controls.
enum PlotSettingsControl : int {
    IDC_CLEAR_CONTOUR = 1024,
    IDC_PLOT_CONTOUR = 1025,
    IDC_SHELL_OUTLINES = 1035,
    IDC_SHELL_NUMBERS = 1036,
    IDC_BEAM_MESHLINES = 1037,
    IDC_BEAM_NUMBERS = 1038,
    IDC_NODES = 1039,
    IDC_NODE_NUMBERS = 1040,
    IDC_PLOT_EXIT = 1041,
    IDC_DEFORMED = 1042,
    IDC_RENEW = 1044,
    IDC_DISP_SCALE = 1045,
};

// Contour Kit controls.
enum ContourKitControl : int {
    IDC_COMPONENT_SX = 1046,  // the radio buttons of components 0 … 6 are 1046 … 1052
    IDC_COMPONENT_SE = 1052,
    IDC_ROW0_SL = 1053,
    IDC_ROW0_SR = 1054,
    IDC_ROW1_SL = 1055,
    IDC_ROW1_SR = 1056,
    IDC_CONTOUR_RESET = 1057,
    IDC_CONTOUR_EXIT = 1058,
    IDC_SET_SL = 1059,
    IDC_SET_SR = 1061,
    IDC_SET_ID = 1062,
    IDC_CONTOUR_SET = 1063,
    IDC_ROW2_SL = 1065,
    IDC_ROW2_SR = 1066,
    IDC_ROW3_SL = 1067,
    IDC_ROW3_SR = 1068,
    IDC_ROW4_SL = 1069,
    IDC_ROW4_SR = 1070,
    IDC_ROW5_SL = 1071,
    IDC_ROW5_SR = 1072,
    IDC_ROW6_SL = 1073,
    IDC_ROW6_SR = 1074,
};

// The row edits of a component (0 … 6) in the Contour Kit.
struct ContourRowEdits {
    int sl, sr;
};
ContourRowEdits contourRowEdits(int component);

const platform::DialogTemplate& viewKitTemplate();
const platform::DialogTemplate& plotSettingsTemplate();
const platform::DialogTemplate& contourKitTemplate();

// The template with `id`, or nullptr for an id that has none.
const platform::DialogTemplate* dialogTemplate(int id);

}  // namespace quillon

#pragma once
// The tool dialogs' templates and their control ids.
#include "viewer/platform/dialog.h"

namespace quillon {

// Template ids.
constexpr int kDlgViewKit = 103;
constexpr int kDlgPlotSettings = 109;
constexpr int kDlgContourKit = 111;
constexpr int kDlgSelectShells = 102;
constexpr int kDlgSelectNodes = 104;
constexpr int kDlgSelectBeams = 107;

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

// The controls of a selection dialog. The three dialogs have the same controls under different
// ids (an id of one may name another control in the next); 0: the dialog has no such control.
struct SelectionControls {
    int pointPick = 0, rectanglePick = 0, onlyOperate = 0, pick = 0, unpick = 0, reset = 0;
    int reselect = 0, alsoSelect = 0, unselect = 0, apply = 0, selectAll = 0, selectNone = 0,
        invert = 0;
    int fromFile = 0, toFile = 0, listStresses = 0, nodesInElements = 0;
    int all = 0, pan = 0, zoom = 0, plotContour = 0, clearContour = 0, exit = 0;
};
constexpr SelectionControls kShellControls{
    .pointPick = 1015,
    .rectanglePick = 1016,
    .onlyOperate = 1078,
    .pick = 1066,
    .unpick = 1067,
    .reset = 1059,
    .reselect = 1060,
    .alsoSelect = 1061,
    .unselect = 1062,
    .apply = 1057,
    .selectAll = 1020,
    .selectNone = 1021,
    .invert = 1063,
    .fromFile = 1081,
    .toFile = 1082,
    .listStresses = 1077,
    .all = 1041,
    .pan = 1042,
    .zoom = 1043,
    .plotContour = 1025,
    .clearContour = 1024,
    .exit = 1026,
};
constexpr SelectionControls kBeamControls{
    .pointPick = 1003,
    .rectanglePick = 1004,
    .onlyOperate = 1005,
    .pick = 1006,
    .unpick = 1007,
    .reset = 1008,
    .reselect = 1009,
    .alsoSelect = 1010,
    .unselect = 1011,
    .apply = 1012,
    .selectAll = 1013,
    .selectNone = 1014,
    .invert = 1015,
    .fromFile = 1016,
    .toFile = 1017,
    .all = 1041,
    .pan = 1042,
    .zoom = 1043,
    .plotContour = 1025,
    .clearContour = 1024,
    .exit = 1002,
};
constexpr SelectionControls kNodeControls{
    .pointPick = 1001,
    .rectanglePick = 1002,
    .onlyOperate = 1079,
    .pick = 1074,
    .unpick = 1075,
    .reset = 1076,
    .reselect = 1071,
    .alsoSelect = 1072,
    .unselect = 1073,
    .apply = 1068,
    .selectAll = 1003,
    .selectNone = 1004,
    .invert = 1070,
    .fromFile = 1083,
    .toFile = 1084,
    .listStresses = 1007,
    .nodesInElements = 1056,
    .all = 1041,
    .pan = 1042,
    .zoom = 1043,
    .exit = 1008,
};

const platform::DialogTemplate& viewKitTemplate();
const platform::DialogTemplate& selectShellsTemplate();
const platform::DialogTemplate& selectBeamsTemplate();
const platform::DialogTemplate& selectNodesTemplate();
const platform::DialogTemplate& plotSettingsTemplate();
const platform::DialogTemplate& contourKitTemplate();

// The template with `id`, or nullptr for an id that has none.
const platform::DialogTemplate* dialogTemplate(int id);

}  // namespace quillon

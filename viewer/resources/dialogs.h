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
    int pointPick, rectanglePick, onlyOperate, pick, unpick, reset;
    int reselect, alsoSelect, unselect, apply, selectAll, selectNone, invert;
    int fromFile, toFile, listStresses, nodesInElements;
    int all, pan, zoom, plotContour, clearContour, exit;
};
constexpr SelectionControls kShellControls{1015, 1016, 1078, 1066, 1067, 1059, 1060, 1061,
                                           1062, 1057, 1020, 1021, 1063, 1081, 1082, 1077,
                                           0,    1041, 1042, 1043, 1025, 1024, 1026};
constexpr SelectionControls kBeamControls{1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                                          1011, 1012, 1013, 1014, 1015, 1016, 1017, 0,
                                          0,    1041, 1042, 1043, 1025, 1024, 1002};
constexpr SelectionControls kNodeControls{1001, 1002, 1079, 1074, 1075, 1076, 1071, 1072,
                                          1073, 1068, 1003, 1004, 1070, 1083, 1084, 1007,
                                          1056, 1041, 1042, 1043, 0,    0,    1008};

const platform::DialogTemplate& viewKitTemplate();
const platform::DialogTemplate& selectShellsTemplate();
const platform::DialogTemplate& selectBeamsTemplate();
const platform::DialogTemplate& selectNodesTemplate();
const platform::DialogTemplate& plotSettingsTemplate();
const platform::DialogTemplate& contourKitTemplate();

// The template with `id`, or nullptr for an id that has none.
const platform::DialogTemplate* dialogTemplate(int id);

}  // namespace quillon

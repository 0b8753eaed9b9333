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
// A drop-down list (sorted style; items inserted at a position keep their order).
ControlTemplate combo(int id, int x, int y, int w, int h) {
    return {id, ControlKind::ComboBox,
            "", x,
            y,  w,
            h,  platform::kStyleDropDownList | platform::kStyleVScroll | platform::kStyleTabStop};
}
ControlTemplate radio(int id, const char* text, int x, int y, int w, int h, bool startsGroup) {
    return {
        id,   ControlKind::RadioButton,
        text, x,
        y,    w,
        h,    startsGroup ? platform::kStyleGroup | platform::kStyleTabStop : platform::kStyleNone};
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

DialogTemplate makePlotSettings() {
    DialogTemplate t;
    t.id = kDlgPlotSettings;
    t.caption = "Plot Settings";
    t.width = 125;
    t.height = 229;
    t.controls = {
        label("Shell Element Outlines", 7, 7, 48, 19),
        combo(IDC_SHELL_OUTLINES, 7, 29, 48, 45),
        label("Shell Element Numbers", 70, 7, 48, 20),
        combo(IDC_SHELL_NUMBERS, 70, 28, 48, 46),
        label("Beam Shell Meshlines", 7, 53, 49, 18),
        combo(IDC_BEAM_MESHLINES, 7, 73, 48, 50),
        label("Beam Element Numbers", 70, 53, 48, 16),
        combo(IDC_BEAM_NUMBERS, 70, 73, 48, 50),
        label("Nodes", 7, 95, 21, 8),
        combo(IDC_NODES, 7, 105, 48, 49),
        label("Node Numbers", 70, 95, 48, 8),
        combo(IDC_NODE_NUMBERS, 70, 105, 48, 48),
        button(IDC_PLOT_CONTOUR, "Plot Contour", 7, 128, 50, 14),
        button(IDC_CLEAR_CONTOUR, "Clear Contour", 70, 128, 49, 14),
        label("DispZoomScale", 7, 152, 49, 8),
        edit(IDC_DISP_SCALE, 7, 163, 50, 14),
        {IDC_DEFORMED, ControlKind::PushButton, "Deformed/\nUndeformed", 68, 163, 50, 27,
         kButtonStyle | platform::kStyleMultiLine},
        button(IDC_RENEW, "Renew", 7, 177, 50, 14),
        button(IDC_PLOT_EXIT, "Exit", 42, 208, 41, 14),
    };
    return t;
}

DialogTemplate makeContourKit() {
    DialogTemplate t;
    t.id = kDlgContourKit;
    t.caption = "Contour Kit";
    t.width = 136;
    t.height = 246;
    const char* names[7] = {"0-Sx", "1-Sy", "2-Sz", "3-Txy", "4-Txz", "5-Tyz", "6-Se"};
    const int widths[7] = {30, 30, 30, 34, 34, 34, 30};
    for (int c = 0; c < 7; ++c)
        t.controls.push_back(
            radio(IDC_COMPONENT_SX + c, names[c], 7, 18 + 20 * c, widths[c], 10, c == 0));
    t.controls.push_back(label("SL", 54, 7, 9, 8));
    t.controls.push_back(label("SR", 103, 7, 9, 8));
    for (int c = 0; c < 7; ++c) {
        t.controls.push_back(edit(contourRowEdits(c).sl, 40, 17 + 20 * c, 40, 14));
        t.controls.push_back(edit(contourRowEdits(c).sr, 89, 17 + 20 * c, 40, 14));
    }
    t.controls.push_back(label("Stress ID && Interval", 7, 157, 79, 8));
    t.controls.push_back(label("ID=", 15, 171, 14, 8));
    t.controls.push_back(edit(IDC_SET_ID, 29, 170, 40, 14));
    t.controls.push_back(label("SL=", 15, 192, 14, 8));
    t.controls.push_back(edit(IDC_SET_SL, 29, 189, 40, 14));
    t.controls.push_back(label("SR=", 71, 192, 15, 8));
    t.controls.push_back(edit(IDC_SET_SR, 89, 189, 40, 14));
    t.controls.push_back(button(IDC_CONTOUR_RESET, "Reset", 7, 206, 50, 14));
    t.controls.push_back(button(IDC_CONTOUR_SET, "Set", 79, 206, 50, 14));
    t.controls.push_back(button(IDC_CONTOUR_EXIT, "Exit", 43, 225, 50, 14));
    return t;
}

// A rectangle in dialog units.
struct Rect {
    int x, y, w, h;
};
// Where a selection dialog puts each control (a control left out, w = 0, is not in the dialog).
struct SelectionLayout {
    Rect pickGroup{}, pointPick{}, rectanglePick{}, onlyOperate{}, pick{}, unpick{}, reset{};
    Rect selectGroup{}, reselect{}, alsoSelect{}, unselect{}, apply{}, selectAll{}, selectNone{},
        invert{};
    Rect fromFile{}, toFile{}, listStresses{}, nodesInElements{}, all{}, pan{}, zoom{},
        plotContour{}, clearContour{}, exit{};
};

DialogTemplate makeSelection(int id, const char* caption, int width, int height,
                             const SelectionControls& c, const SelectionLayout& l,
                             const char* onlyOperateText) {
    DialogTemplate t;
    t.id = id;
    t.caption = caption;
    t.width = width;
    t.height = height;
    auto add = [&](int controlId, ControlKind kind, const char* text, Rect r, std::uint32_t style) {
        if (r.w == 0) return;
        t.controls.push_back({controlId, kind, text, r.x, r.y, r.w, r.h, style});
    };
    const std::uint32_t groupStart = platform::kStyleGroup | platform::kStyleTabStop;
    add(IDC_STATIC, ControlKind::GroupBox, "Pick Mode", l.pickGroup, platform::kStyleNone);
    add(c.pointPick, ControlKind::RadioButton, "Point Pick", l.pointPick, groupStart);
    add(c.rectanglePick, ControlKind::RadioButton, "Rectangle Pick", l.rectanglePick,
        platform::kStyleNone);
    add(c.onlyOperate, ControlKind::CheckBox, onlyOperateText, l.onlyOperate,
        groupStart | platform::kStyleMultiLine);
    add(c.pick, ControlKind::PushButton, "Pick", l.pick, kButtonStyle);
    add(c.unpick, ControlKind::PushButton, "Unpick", l.unpick, kButtonStyle);
    add(c.reset, ControlKind::PushButton, "Reset", l.reset, kButtonStyle);
    add(IDC_STATIC, ControlKind::GroupBox, "Select Mode", l.selectGroup, platform::kStyleNone);
    add(c.reselect, ControlKind::RadioButton, "Reselect", l.reselect, groupStart);
    add(c.alsoSelect, ControlKind::RadioButton, "Also Select", l.alsoSelect, platform::kStyleNone);
    add(c.unselect, ControlKind::RadioButton, "Unselect", l.unselect, platform::kStyleNone);
    add(c.apply, ControlKind::PushButton, "Apply", l.apply, groupStart);
    add(c.selectAll, ControlKind::PushButton, "Select All", l.selectAll, kButtonStyle);
    add(c.selectNone, ControlKind::PushButton, "Select None", l.selectNone, kButtonStyle);
    add(c.invert, ControlKind::PushButton, "Invert", l.invert, kButtonStyle);
    add(c.fromFile, ControlKind::PushButton, "From File", l.fromFile, kButtonStyle);
    add(c.toFile, ControlKind::PushButton, "To File", l.toFile, kButtonStyle);
    if (c.listStresses)
        add(c.listStresses, ControlKind::PushButton, "List Stresses", l.listStresses, kButtonStyle);
    if (c.nodesInElements)
        add(c.nodesInElements, ControlKind::PushButton, "Select Nodes In Elements Selected",
            l.nodesInElements, kButtonStyle | platform::kStyleMultiLine);
    add(c.all, ControlKind::PushButton, "All", l.all, kButtonStyle);
    add(c.pan, ControlKind::PushButton, "Pan", l.pan, kButtonStyle);
    add(c.zoom, ControlKind::PushButton, "Zoom", l.zoom, kButtonStyle);
    if (c.plotContour) {
        add(c.plotContour, ControlKind::PushButton, "Plot Contour", l.plotContour, kButtonStyle);
        add(c.clearContour, ControlKind::PushButton, "Clear Contour", l.clearContour, kButtonStyle);
    }
    add(c.exit, ControlKind::PushButton, "Exit", l.exit, kButtonStyle);
    return t;
}

constexpr SelectionLayout kShellLayout{
    .pickGroup = {7, 7, 70, 40},
    .pointPick = {15, 17, 46, 10},
    .rectanglePick = {15, 32, 61, 10},
    .onlyOperate = {7, 47, 123, 17},
    .pick = {7, 64, 35, 14},
    .unpick = {51, 64, 35, 14},
    .reset = {95, 64, 35, 14},
    .selectGroup = {7, 85, 64, 51},
    .reselect = {15, 94, 41, 10},
    .alsoSelect = {15, 109, 50, 10},
    .unselect = {15, 124, 42, 10},
    .apply = {79, 98, 41, 26},
    .selectAll = {7, 140, 37, 14},
    .selectNone = {48, 140, 41, 14},
    .invert = {96, 140, 34, 14},
    .fromFile = {7, 162, 41, 14},
    .toFile = {89, 162, 41, 14},
    .listStresses = {29, 182, 80, 14},
    .all = {7, 205, 27, 16},
    .pan = {55, 205, 27, 16},
    .zoom = {103, 205, 27, 16},
    .plotContour = {7, 225, 54, 14},
    .clearContour = {76, 225, 54, 14},
    .exit = {48, 243, 41, 14},
};
// The beam dialog is the shell dialog without List Stresses, the buttons below it moved up.
constexpr SelectionLayout beamLayout() {
    SelectionLayout l = kShellLayout;
    l.listStresses = {};
    for (Rect* r : {&l.all, &l.pan, &l.zoom, &l.plotContour, &l.clearContour, &l.exit}) r->y -= 16;
    return l;
}
constexpr SelectionLayout kBeamLayout = beamLayout();
constexpr SelectionLayout kNodeLayout{
    .pickGroup = {7, 7, 89, 35},
    .pointPick = {16, 18, 47, 10},
    .rectanglePick = {16, 29, 63, 10},
    .onlyOperate = {12, 48, 80, 22},
    .pick = {7, 77, 35, 14},
    .unpick = {61, 77, 35, 14},
    .reset = {7, 97, 35, 14},
    .selectGroup = {7, 115, 89, 53},
    .reselect = {16, 124, 41, 10},
    .alsoSelect = {16, 139, 50, 10},
    .unselect = {16, 154, 42, 10},
    .apply = {7, 170, 43, 14},
    .selectAll = {53, 170, 43, 14},
    .selectNone = {7, 190, 43, 14},
    .invert = {53, 190, 43, 14},
    .fromFile = {7, 210, 43, 14},
    .toFile = {53, 210, 43, 14},
    .listStresses = {12, 257, 80, 14},
    .nodesInElements = {12, 229, 80, 22},
    .all = {7, 277, 25, 14},
    .pan = {39, 277, 25, 14},
    .zoom = {71, 277, 25, 14},
    .exit = {26, 295, 50, 14},
};

}  // namespace

const platform::DialogTemplate& selectShellsTemplate() {
    static const DialogTemplate t =
        makeSelection(kDlgSelectShells, "Select Shell Element(s)", 137, 264, kShellControls,
                      kShellLayout, "Only Operate From Selected Shell Elements");
    return t;
}
const platform::DialogTemplate& selectBeamsTemplate() {
    static const DialogTemplate t =
        makeSelection(kDlgSelectBeams, "Select Beam Element(s)", 137, 248, kBeamControls,
                      kBeamLayout, "Only Operate From Selected Beam Elements");
    return t;
}
const platform::DialogTemplate& selectNodesTemplate() {
    static const DialogTemplate t =
        makeSelection(kDlgSelectNodes, "Select Node(s)", 104, 315, kNodeControls, kNodeLayout,
                      "Only Operate From Selected Nodes");
    return t;
}

ContourRowEdits contourRowEdits(int component) {
    static constexpr ContourRowEdits rows[7] = {
        {IDC_ROW0_SL, IDC_ROW0_SR}, {IDC_ROW1_SL, IDC_ROW1_SR}, {IDC_ROW2_SL, IDC_ROW2_SR},
        {IDC_ROW3_SL, IDC_ROW3_SR}, {IDC_ROW4_SL, IDC_ROW4_SR}, {IDC_ROW5_SL, IDC_ROW5_SR},
        {IDC_ROW6_SL, IDC_ROW6_SR},
    };
    return rows[component];
}

const platform::DialogTemplate& plotSettingsTemplate() {
    static const DialogTemplate t = makePlotSettings();
    return t;
}

const platform::DialogTemplate& contourKitTemplate() {
    static const DialogTemplate t = makeContourKit();
    return t;
}

const platform::DialogTemplate& viewKitTemplate() {
    static const DialogTemplate t = makeViewKit();
    return t;
}

const platform::DialogTemplate* dialogTemplate(int id) {
    switch (id) {
        case kDlgViewKit:
            return &viewKitTemplate();
        case kDlgPlotSettings:
            return &plotSettingsTemplate();
        case kDlgContourKit:
            return &contourKitTemplate();
        case kDlgSelectShells:
            return &selectShellsTemplate();
        case kDlgSelectBeams:
            return &selectBeamsTemplate();
        case kDlgSelectNodes:
            return &selectNodesTemplate();
        default:
            return nullptr;
    }
}

}  // namespace quillon

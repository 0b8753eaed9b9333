// Dialog layout and the keyboard walk, on the View Kit template and on small hand-made ones.
#include "viewer/platform/dialog_navigation.h"

#include <gtest/gtest.h>

#include <set>

#include "viewer/resources/dialogs.h"

namespace {

using namespace quillon::platform;

std::size_t indexOf(const DialogTemplate& t, int id) {
    for (std::size_t i = 0; i < t.controls.size(); ++i)
        if (t.controls[i].id == id) return i;
    ADD_FAILURE() << "no control " << id;
    return 0;
}

const auto kNoneChecked = [](std::size_t) { return false; };

TEST(DialogLayout, RectanglesComeFromDialogUnits) {
    const DialogTemplate& kit = quillon::viewKitTemplate();
    EXPECT_EQ(dialogRectangle(kit), (PixelRect{0, 0, 178, 420}));  // 119 × 259 units
    // Apply: 80, 19, 32, 14 → 1.5 px across, 1.625 px down, rounded down.
    EXPECT_EQ(controlRectangle(*kit.control(quillon::IDC_APPLY)), (PixelRect{120, 30, 48, 22}));
    // A combo box's template height holds its dropped list; closed it is one edit high.
    ControlTemplate combo{7, ControlKind::ComboBox, "", 10, 20, 60, 80, kStyleNone};
    EXPECT_EQ(controlRectangle(combo), (PixelRect{15, 32, 90, 22}));
    combo.height = 10;
    EXPECT_EQ(controlRectangle(combo).height, 16);
    // A font's base units: its letters' average width, rounded to the nearest pixel, and its
    // height. A wider, taller font makes every rectangle larger.
    EXPECT_EQ(dialogBaseUnits(309, 13), (DialogBaseUnits{6, 13}));
    EXPECT_EQ(dialogBaseUnits(337, 13), (DialogBaseUnits{6, 13}));
    EXPECT_EQ(dialogBaseUnits(338, 15), (DialogBaseUnits{7, 15}));
    EXPECT_EQ(controlRectangle(*kit.control(quillon::IDC_APPLY), {7, 15}),
              (PixelRect{140, 35, 56, 26}));
    EXPECT_EQ(dialogRectangle(kit, {7, 15}), (PixelRect{0, 0, 208, 485}));
}

TEST(DialogLayout, NewDialogsGoBesideTheOwnerCascadedAndOnTheScreen) {
    PixelRect owner{0, 0, 1024, 793}, screen{0, 0, 1280, 1024}, kit{0, 0, 178, 420};
    EXPECT_EQ(placeDialog(owner, screen, kit, 0), (PixelRect{1032, 0, 178, 420}));
    EXPECT_EQ(placeDialog(owner, screen, kit, 1), (PixelRect{1056, 24, 178, 420}));
    // No room beside the owner: inside its right side, still stepped so as not to cover.
    PixelRect wide{0, 0, 300, 200};
    PixelRect a = placeDialog(owner, screen, wide, 0), b = placeDialog(owner, screen, wide, 1);
    EXPECT_LE(a.x + a.width, owner.x + owner.width);
    EXPECT_NE(a.x, b.x);
    EXPECT_NE(a.y, b.y);
    // Always on the screen, however large the owner or the dialog.
    PixelRect tall{0, 0, 200, 2000};
    PixelRect c = placeDialog({900, 900, 600, 600}, screen, tall, 3);
    EXPECT_GE(c.x, 0);
    EXPECT_EQ(c.y, 0);
    EXPECT_LE(c.x + c.width, 1280);
    // The cascade comes round again instead of walking off.
    EXPECT_EQ(placeDialog(owner, screen, kit, 8), placeDialog(owner, screen, kit, 0));
}

TEST(DialogWalk, TabVisitsTheViewKitsStopsInOrderAndWraps) {
    const DialogTemplate& kit = quillon::viewKitTemplate();
    // Nothing focused yet: the first stop, the Alpha edit (the statics before it never are).
    auto at = tabTarget(kit, std::nullopt, false, kNoneChecked);
    ASSERT_TRUE(at);
    EXPECT_EQ(kit.controls[*at].id, quillon::IDC_ALPHA);
    // Two edits and 25 buttons, each once, in the template's order.
    std::vector<int> visited;
    for (int step = 0; step < 27; ++step) {
        visited.push_back(kit.controls[*at].id);
        at = tabTarget(kit, at, false, kNoneChecked);
    }
    EXPECT_EQ(std::set<int>(visited.begin(), visited.end()).size(), 27u);
    EXPECT_EQ(visited[1], quillon::IDC_BETA);
    EXPECT_EQ(visited[2], quillon::IDC_APPLY);
    EXPECT_EQ(visited[6], quillon::IDC_XOY_PLUS) << "over the View Plane box";
    EXPECT_EQ(visited[26], quillon::IDC_VIEWKIT_EXIT);
    EXPECT_EQ(kit.controls[*at].id, quillon::IDC_ALPHA) << "after Exit comes Alpha again";
    // Backwards.
    auto back = tabTarget(kit, indexOf(kit, quillon::IDC_ALPHA), true, kNoneChecked);
    EXPECT_EQ(kit.controls[*back].id, quillon::IDC_VIEWKIT_EXIT);
    EXPECT_EQ(kit.controls[*tabTarget(kit, std::nullopt, true, kNoneChecked)].id,
              quillon::IDC_VIEWKIT_EXIT);
}

// A label, an edit, two radio groups behind a group box each, a check box, two buttons.
DialogTemplate groupsTemplate(std::uint32_t stop = kStyleTabStop) {
    DialogTemplate t;
    t.controls = {
        {-1, ControlKind::Static, "Name", 0, 0, 10, 8, kStyleNone},               // 0
        {10, ControlKind::Edit, "", 0, 0, 10, 8, stop | kStyleGroup},             // 1
        {-1, ControlKind::GroupBox, "A", 0, 0, 10, 8, kStyleNone},                // 2
        {20, ControlKind::RadioButton, "a1", 0, 0, 10, 8, stop | kStyleGroup},    // 3
        {21, ControlKind::RadioButton, "a2", 0, 0, 10, 8, kStyleNone},            // 4
        {22, ControlKind::RadioButton, "a3", 0, 0, 10, 8, kStyleNone},            // 5
        {-1, ControlKind::GroupBox, "B", 0, 0, 10, 8, kStyleNone},                // 6
        {30, ControlKind::RadioButton, "b1", 0, 0, 10, 8, stop | kStyleGroup},    // 7
        {31, ControlKind::RadioButton, "b2", 0, 0, 10, 8, kStyleNone},            // 8
        {40, ControlKind::CheckBox, "c", 0, 0, 10, 8, stop | kStyleGroup},        // 9
        {50, ControlKind::DefPushButton, "OK", 0, 0, 10, 8, stop | kStyleGroup},  // 10
        {51, ControlKind::PushButton, "Cancel", 0, 0, 10, 8, stop},               // 11
    };
    return t;
}

TEST(DialogWalk, GroupsRunFromOneGroupStyleToTheNext) {
    DialogTemplate t = groupsTemplate();
    EXPECT_EQ(controlGroup(t, 0), (std::pair<std::size_t, std::size_t>{0, 1}));
    EXPECT_EQ(controlGroup(t, 2), (std::pair<std::size_t, std::size_t>{1, 3}));
    EXPECT_EQ(controlGroup(t, 4), (std::pair<std::size_t, std::size_t>{3, 7}));
    EXPECT_EQ(controlGroup(t, 11), (std::pair<std::size_t, std::size_t>{10, 12}));
    // No group style at all: one group.
    EXPECT_EQ(controlGroup(quillon::viewKitTemplate(), 5),
              (std::pair<std::size_t, std::size_t>{0, quillon::viewKitTemplate().controls.size()}));
    EXPECT_EQ(defaultButton(t), std::optional<std::size_t>{10});
    EXPECT_EQ(defaultButton(quillon::viewKitTemplate()), std::nullopt);
}

TEST(DialogWalk, ARadioGroupIsOneTabStopEnteredAtItsCheckedButton) {
    DialogTemplate t = groupsTemplate();
    auto checked = [](std::size_t i) { return i == 5 || i == 8; };  // a3 and b2
    EXPECT_EQ(tabTarget(t, 1, false, checked), std::optional<std::size_t>{5});
    EXPECT_EQ(tabTarget(t, 5, false, checked), std::optional<std::size_t>{8});
    EXPECT_EQ(tabTarget(t, 4, false, checked), std::optional<std::size_t>{8})
        << "from any of group A";
    EXPECT_EQ(tabTarget(t, 8, false, checked), std::optional<std::size_t>{9});
    EXPECT_EQ(tabTarget(t, 9, true, checked), std::optional<std::size_t>{8});
    EXPECT_EQ(tabTarget(t, 11, false, checked), std::optional<std::size_t>{1});
    // None checked: the group's first button that is a stop.
    EXPECT_EQ(tabTarget(t, 1, false, kNoneChecked), std::optional<std::size_t>{3});
    // Focus on a label (a window may give it one): the next stop after it.
    EXPECT_EQ(tabTarget(t, 0, false, kNoneChecked), std::optional<std::size_t>{1});
    EXPECT_EQ(tabTarget(t, 6, true, kNoneChecked), std::optional<std::size_t>{3});
}

TEST(DialogWalk, WithoutTabStopsEveryControlThatTakesTheFocusIsOne) {
    DialogTemplate t = groupsTemplate(kStyleNone);
    std::vector<std::size_t> visited;
    std::optional<std::size_t> at;
    for (int step = 0; step < 6; ++step)
        visited.push_back(*(at = tabTarget(t, at, false, kNoneChecked)));
    EXPECT_EQ(visited, (std::vector<std::size_t>{1, 3, 7, 9, 10, 11}));
    DialogTemplate labels;
    labels.controls = {{-1, ControlKind::Static, "x", 0, 0, 1, 1, kStyleTabStop}};
    EXPECT_EQ(tabTarget(labels, std::nullopt, false, kNoneChecked), std::nullopt);
}

TEST(DialogWalk, ArrowsMoveWithinTheGroupSkippingLabelsAndWrap) {
    DialogTemplate t = groupsTemplate();
    EXPECT_EQ(arrowTarget(t, 3, false), std::optional<std::size_t>{4});
    EXPECT_EQ(arrowTarget(t, 5, false), std::optional<std::size_t>{3})
        << "wraps; box B is not in A";
    EXPECT_EQ(arrowTarget(t, 3, true), std::optional<std::size_t>{5});
    EXPECT_EQ(arrowTarget(t, 8, false), std::optional<std::size_t>{7})
        << "box B belongs to group A";
    EXPECT_EQ(arrowTarget(t, 9, false), std::optional<std::size_t>{9}) << "alone in its group";
    EXPECT_EQ(arrowTarget(t, 10, false), std::optional<std::size_t>{11});
    EXPECT_EQ(arrowTarget(t, 11, false), std::optional<std::size_t>{10});
    EXPECT_EQ(arrowTarget(t, 99, false), std::nullopt);
    // The View Kit is one group: from Alpha back to Exit, from Exit on to Alpha.
    const DialogTemplate& kit = quillon::viewKitTemplate();
    std::size_t alpha = indexOf(kit, quillon::IDC_ALPHA),
                exit = indexOf(kit, quillon::IDC_VIEWKIT_EXIT);
    EXPECT_EQ(arrowTarget(kit, alpha, true), std::optional<std::size_t>{exit});
    EXPECT_EQ(arrowTarget(kit, exit, false), std::optional<std::size_t>{alpha});
    EXPECT_EQ(arrowTarget(kit, indexOf(kit, quillon::IDC_VIEW_ZOOM), false),
              std::optional<std::size_t>{indexOf(kit, quillon::IDC_XOY_PLUS)})
        << "over the View Plane box";
}

}  // namespace

#pragma once
// How a dialog built from a template is laid out and walked with the keyboard, as plain rules
// on the template: the FLTK host applies them to its widgets; the Win32 host takes the placing
// beside the owner and leaves the keyboard walk to the system's dialog manager.
//
// Groups: a control with kStyleGroup starts a group that runs to the next such control (the
// first control starts one too). Automatic radio buttons are exclusive within their group, and
// the arrow keys move within the group. Tab moves between tab stops (kStyleTabStop; every
// control that can take the focus when the template marks none), and a group of radio
// buttons is one stop, entered at its checked button.
#include <cstddef>
#include <functional>
#include <optional>
#include <utility>

#include "viewer/platform/dialog.h"

namespace quillon::platform {

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

// The control's rectangle in dialog pixels, for a font of `units`. A combo box's template height
// includes its dropped list; the closed box is one line high.
PixelRect controlRectangle(const ControlTemplate& control, DialogBaseUnits units = {});
// The dialog's client size in pixels, for a font of `units`.
PixelRect dialogRectangle(const DialogTemplate& dialog, DialogBaseUnits units = {});

// Where a new dialog of `size` goes: beside the owner's right edge, level with its client area
// (`owner`), moved down and right by a step for each of the `openDialogs` already open so that
// instances do not hide each other; inside the owner's right side when the screen has no room
// beside it; always within `screen`.
PixelRect placeDialog(const PixelRect& owner, const PixelRect& screen, const PixelRect& size,
                      int openDialogs);

// Statics and group boxes never take the keyboard focus.
bool takesFocus(ControlKind kind);

// The group of control `index`: indices first … last-1.
std::pair<std::size_t, std::size_t> controlGroup(const DialogTemplate& dialog, std::size_t index);

// The control that Tab (Shift+Tab when `backwards`) moves to from `from` (nothing focused yet:
// the first stop, or the last one backwards); nothing when the dialog has no stop.
// `isChecked(i)` tells whether radio button i is checked.
std::optional<std::size_t> tabTarget(const DialogTemplate& dialog, std::optional<std::size_t> from,
                                     bool backwards,
                                     const std::function<bool(std::size_t)>& isChecked);

// The control that an arrow moves to from `from`: the next (previous when `backwards`) control
// of the same group that takes the focus, wrapping around within the group.
std::optional<std::size_t> arrowTarget(const DialogTemplate& dialog, std::size_t from,
                                       bool backwards);

// The default push button that Enter presses, if the template has one.
std::optional<std::size_t> defaultButton(const DialogTemplate& dialog);

}  // namespace quillon::platform

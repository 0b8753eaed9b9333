#include "viewer/ui/navigation.h"

#include "viewer/platform/window_events.h"
#include "viewer/select/picking.h"
#include "viewer/view/camera.h"

namespace quillon {
namespace {

using Mode = InteractionMode;

// The mark a pick mode sets: 1 in the three pick modes, 0 in the three unpick modes.
int markOf(Mode mode) {
    return mode <= Mode::PickNodes ? 1 : 0;
}

}  // namespace

bool HandleLeftButtonDown(AppState& s, int x, int y) {
    InteractionState& it = s.interaction;
    ++it.clickCount;
    if (it.mode == Mode::Idle) {
        it.clickCount = 0;
        return false;
    }
    if (it.mode == Mode::Pan) {
        if (it.clickCount == 1) {
            it.anchorX = x;
            it.anchorY = y;
        } else if (it.clickCount == 2) {
            it.cornerX = x;
            it.cornerY = y;
            it.clickCount = 0;
            shiftWindow(s.view, x - it.anchorX, it.anchorY - y);
            return true;
        }
        return false;
    }
    if (it.mode == Mode::ZoomWindow) {
        if (it.clickCount == 1) {
            it.anchorX = it.cornerX = x;
            it.anchorY = it.cornerY = y;
        } else if (it.clickCount == 2) {
            it.cornerX = x;
            it.cornerY = y;
            it.clickCount = 0;
            zoomToRectangle(s.view, it.anchorX, it.anchorY, x, y);
            return true;
        }
        return false;
    }
    // The pick modes.
    if (it.clickCount == 1 && it.rectanglePick == 1) {
        it.anchorX = it.cornerX = x;
        it.anchorY = it.cornerY = y;
        return false;
    }
    if (it.clickCount == 1) {
        pickKind(pickModeKind(it.mode)).pointPick(s, x, y, markOf(it.mode));
        it.clickCount = 0;
        return true;
    }
    if (it.clickCount == 2) {
        it.clickCount = 0;
        it.cornerX = x;
        it.cornerY = y;
        pickKind(pickModeKind(it.mode))
            .rectanglePick(s, it.anchorX, it.anchorY, it.cornerX, it.cornerY, markOf(it.mode));
        return true;
    }
    return false;
}

bool HandleMouseMove(AppState& s, int x, int y) {
    InteractionState& it = s.interaction;
    if (it.clickCount != 1) return false;
    if (it.mode == Mode::Pan) {
        it.cornerX = x;
        it.cornerY = y;
        shiftWindow(s.view, x - it.anchorX, it.anchorY - y);
        it.anchorX = x;
        it.anchorY = y;
        return true;
    }
    if (it.mode == Mode::ZoomWindow || (isPickMode(it.mode) && it.rectanglePick == 1)) {
        it.cornerX = x;
        it.cornerY = y;
        return true;
    }
    return false;
}

bool HandleMouseWheel(AppState& s, int delta, int x, int y) {
    if (isPickMode(s.interaction.mode)) return false;
    zoomAtPixel(s.view, delta > 0, x, y);
    return true;
}

bool HandleChar(AppState& s, unsigned int ch) {
    InteractionState& it = s.interaction;
    switch (ch) {
        case platform::kEscapeChar:
            // Drops the picks of the kind a pick mode picks; an unpick mode keeps them.
            if (isPickMode(it.mode) && markOf(it.mode) == 1)
                ClearPicks(s.model, pickModeKind(it.mode));
            return true;
        case 'A':
        case 'a':
            fitAll(s.view);
            return true;
        case 'O':
        case 'o':
            planView(s.view);
            return true;
        case 'P':
        case 'p':
            it.mode = Mode::Pan;
            it.clickCount = 0;
            return false;
        case 'Z':
        case 'z':
            it.mode = Mode::ZoomWindow;
            return false;
        default:
            return false;
    }
}

}  // namespace quillon

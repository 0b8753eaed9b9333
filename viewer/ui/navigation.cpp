#include "viewer/ui/navigation.h"

#include <algorithm>

#include "viewer/platform/main_window.h"
#include "viewer/select/picking.h"
#include "viewer/view/camera.h"

namespace quillon {
namespace {

using Mode = InteractionMode;

void pointPick(AppState& s, int x, int y) {
    const int mark = s.interaction.mode <= Mode::PickNodes ? 1 : 0;
    switch (s.interaction.mode) {
        case Mode::PickShells:
        case Mode::UnpickShells:
            PointPickShells(s, x, y, mark);
            break;
        case Mode::PickBeams:
        case Mode::UnpickBeams:
            PointPickBeams(s, x, y, mark);
            break;
        default:
            PointPickNodes(s, x, y, mark);
            break;
    }
}

void rectanglePick(AppState& s) {
    const InteractionState& it = s.interaction;
    const int mark = it.mode <= Mode::PickNodes ? 1 : 0;
    switch (it.mode) {
        case Mode::PickShells:
        case Mode::UnpickShells:
            RectPickShells(s, it.anchorX, it.anchorY, it.cornerX, it.cornerY, mark);
            break;
        case Mode::PickBeams:
        case Mode::UnpickBeams:
            RectPickBeams(s, it.anchorX, it.anchorY, it.cornerX, it.cornerY, mark);
            break;
        default:
            RectPickNodes(s, it.anchorX, it.anchorY, it.cornerX, it.cornerY, mark);
            break;
    }
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
        pointPick(s, x, y);
        it.clickCount = 0;
        return true;
    }
    if (it.clickCount == 2) {
        it.clickCount = 0;
        it.cornerX = x;
        it.cornerY = y;
        rectanglePick(s);
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
    ResultModel& m = s.model;
    switch (ch) {
        case platform::kEscapeChar:
            if (it.mode == Mode::PickShells) {
                std::fill(m.pickQuad.begin(), m.pickQuad.end(), 0);
                std::fill(m.pickTri.begin(), m.pickTri.end(), 0);
            } else if (it.mode == Mode::PickBeams) {
                std::fill(m.pickBeam.begin(), m.pickBeam.end(), 0);
            } else if (it.mode == Mode::PickNodes) {
                std::fill(m.pickNode.begin(), m.pickNode.end(), 0);
            }
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

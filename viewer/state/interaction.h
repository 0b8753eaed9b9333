#pragma once
// What the left button, the wheel and the keys do in the main view, and the gesture under way.
#include <cstdint>
#include <optional>

namespace quillon {

enum class InteractionMode : std::int32_t {
    Idle = 0,
    Pan = 1,
    ZoomWindow = 2,
    PickShells = 3,
    PickBeams = 4,
    PickNodes = 5,
    UnpickShells = 6,
    UnpickBeams = 7,
    UnpickNodes = 8,
};

// The six modes in which the left button picks or unpicks.
constexpr bool isPickMode(InteractionMode m) {
    return m >= InteractionMode::PickShells && m <= InteractionMode::UnpickNodes;
}

struct InteractionState {
    InteractionMode mode = InteractionMode::Idle;
    int clickCount = 0;
    int anchorX = 0, anchorY = 0;  // first corner, or the last point of a pan; client pixels
    int cornerX = 0, cornerY = 0;  // current corner, client pixels
    int rectanglePick = 1;         // 1 rectangle, 0 point
};

// Two corners in client pixels (y down).
struct PixelRect {
    int x0, y0, x1, y1;
};

// The rubber band to draw: while a zoom window or a rectangle pick waits for its second click.
inline std::optional<PixelRect> rubberBand(const InteractionState& it) {
    bool zoom = it.mode == InteractionMode::ZoomWindow && it.clickCount == 1;
    bool pick = isPickMode(it.mode) && it.rectanglePick == 1 && it.clickCount == 1;
    if (!zoom && !pick) return std::nullopt;
    return PixelRect{it.anchorX, it.anchorY, it.cornerX, it.cornerY};
}

}  // namespace quillon

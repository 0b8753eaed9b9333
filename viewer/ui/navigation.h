#pragma once
// The main view's mouse and keys: the interaction mode decides what the left button does, the
// wheel zooms about the cursor, a few keys switch modes and reset the view. Each handler
// returns true when the picture must be drawn again.
#include "viewer/state/app_state.h"

namespace quillon {

bool HandleLeftButtonDown(AppState& state, int x, int y);
bool HandleMouseMove(AppState& state, int x, int y);
// `delta` > 0: the wheel was turned away from the user. Only its sign counts.
bool HandleMouseWheel(AppState& state, int delta, int x, int y);
bool HandleChar(AppState& state, unsigned int ch);

}  // namespace quillon

#pragma once
// Picking shells, beams and nodes with the mouse, by point or by rectangle: `mark` 1 picks,
// 0 unpicks. The click pixels are client pixels of the picture last drawn.
#include "viewer/state/app_state.h"

namespace quillon {

void PointPickShells(AppState& state, int x, int y, int mark);
void PointPickBeams(AppState& state, int x, int y, int mark);
void PointPickNodes(AppState& state, int x, int y, int mark);
void RectPickShells(AppState& state, int x0, int y0, int x1, int y1, int mark);
void RectPickBeams(AppState& state, int x0, int y0, int x1, int y1, int mark);
void RectPickNodes(AppState& state, int x0, int y0, int x1, int y1, int mark);

}  // namespace quillon

#include "viewer/select/picking.h"

namespace quillon {

// The mouse already routes every pick gesture here; what a pick finds is not built yet, so
// these change nothing and the picture stays as it was.
void PointPickShells(AppState&, int, int, int) {}
void PointPickBeams(AppState&, int, int, int) {}
void PointPickNodes(AppState&, int, int, int) {}
void RectPickShells(AppState&, int, int, int, int, int) {}
void RectPickBeams(AppState&, int, int, int, int, int) {}
void RectPickNodes(AppState&, int, int, int, int, int) {}

}  // namespace quillon

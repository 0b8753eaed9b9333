#pragma once
// Picking shells, beams and nodes with the mouse, by point or by rectangle, in the eye space of
// the picture last drawn: model points go through the saved model-view matrix, the mouse
// through the viewport and the orthographic window. Pure arithmetic: finding returns plain
// data, and marking sets the picked flags in one place.
#include <array>
#include <cstdint>
#include <vector>

#include "viewer/state/app_state.h"

namespace quillon {

struct EyePoint {
    double x = 0, y = 0;
};

// A closed polygon of up to four vertices with its bounding box.
struct Polygon2D {
    int count = 0;
    std::array<EyePoint, 4> v{};
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    void set(const EyePoint* points, int n);
};

struct EyeRect {
    double xmin, xmax, ymin, ymax;
};

// The frame geometry picking works in: the view's size and orthographic window and the
// model-view matrix of the last frame.
struct PickCamera {
    double W = 1, H = 1, left = -1, right = 1, bottom = -1, top = 1;
    Matrix4 M = kIdentity4;

    EyePoint WindowToEye(double px, double py) const;
    // xe, ye and ze of a model point; its depth is -ze.
    std::array<double, 3> ModelToEye(const Point3D& p) const;
    // The eye rectangle between two window corners (y down on the window, up in the eye).
    EyeRect rectangle(int x0, int y0, int x1, int y1) const;
};
PickCamera pickCamera(const AppState& state);

// Crossing number with a ray towards +x; strict where the classic test is strict.
bool PolygonContainsPoint(const Polygon2D& polygon, EyePoint p);
// The same with an exact vertical-edge test and crossings at or right of the point.
bool ElementContainsPoint(const Polygon2D& polygon, EyePoint p);
// Whether two closed segments meet (touching ends and collinear overlaps included).
bool SegmentsTouch(EyePoint a1, EyePoint a2, EyePoint b1, EyePoint b2);

enum class EntityKind { Quad, Tri, Beam, Node };
struct PickedEntity {
    EntityKind kind;
    std::int32_t index;
};
using Picks = std::vector<PickedEntity>;

// What a pick catches. `onlySelected`: entities that are not selected are passed over.
// Point picks find at most one entity; rectangle picks every entity caught, in index order
// (four-node shells before three-node shells). The rectangle runs from the anchor (x0, y0) to
// the current corner (x1, y1): dragged to the left it catches what it crosses, otherwise only
// what lies wholly inside it.
Picks FindShellAtPoint(const ResultModel& model, const PickCamera& camera, bool onlySelected,
                       int px, int py);
Picks FindBeamAtPoint(const ResultModel& model, const PickCamera& camera, bool onlySelected, int px,
                      int py);
Picks FindNodeAtPoint(const ResultModel& model, const PickCamera& camera, bool onlySelected, int px,
                      int py);
Picks FindShellsInRectangle(const ResultModel& model, const PickCamera& camera, bool onlySelected,
                            int x0, int y0, int x1, int y1);
Picks FindBeamsInRectangle(const ResultModel& model, const PickCamera& camera, bool onlySelected,
                           int x0, int y0, int x1, int y1);
Picks FindNodesInRectangle(const ResultModel& model, const PickCamera& camera, bool onlySelected,
                           int x0, int y0, int x1, int y1);

// Sets the picked flag of each entity to `mark` (1 pick, 0 unpick).
void MarkPicks(ResultModel& model, const Picks& picks, int mark);

// The picks of the main view: find with the state's camera and switches, then mark.
void PointPickShells(AppState& state, int x, int y, int mark);
void PointPickBeams(AppState& state, int x, int y, int mark);
void PointPickNodes(AppState& state, int x, int y, int mark);
void RectPickShells(AppState& state, int x0, int y0, int x1, int y1, int mark);
void RectPickBeams(AppState& state, int x0, int y0, int x1, int y1, int mark);
void RectPickNodes(AppState& state, int x0, int y0, int x1, int y1, int mark);

// The three kinds of entity the user picks and selects: shells (both shapes), beams, nodes.
enum class SelectionKind { Shells, Beams, Nodes };

// What the kinds do alike on their own arrays, settings, modes and picks: one row a kind.
struct PickKind {
    using Flags = std::vector<std::uint8_t> ResultModel::*;
    // One array a shape: shells have two, beams and nodes one (the second is null).
    std::array<Flags, 2> selected, picked;
    KindSelectionSettings SelectionSettings::*settings;
    InteractionMode pickMode, unpickMode;
    void (*pointPick)(AppState& state, int x, int y, int mark);
    void (*rectanglePick)(AppState& state, int x0, int y0, int x1, int y1, int mark);
};
const PickKind& pickKind(SelectionKind kind);
// The kind that a pick or unpick mode works on.
SelectionKind pickModeKind(InteractionMode mode);

// Calls change(array) on each array of the model that `arrays` names.
template <class Change>
void forEachArray(ResultModel& model, const std::array<PickKind::Flags, 2>& arrays, Change change) {
    for (PickKind::Flags flags : arrays)
        if (flags) change(model.*flags);
}

// Clears the picked flags of a kind.
void ClearPicks(ResultModel& model, SelectionKind kind);

}  // namespace quillon

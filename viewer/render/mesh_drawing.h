#pragma once
// Shell and beam outlines and node markers (the OpenGL half of the mesh drawing).
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "viewer/contour/contour_fill.h"
#include "viewer/contour/lit_batch.h"
#include "viewer/model/result_model.h"

namespace quillon {

constexpr std::int32_t kPickedColour = 0x000000FF;    // red
constexpr std::int32_t kSelectedColour = 0x00FFFFFF;  // white
constexpr std::int32_t kOtherColour = 0x005A5A5A;     // grey

// The outline colour of an entity under a display filter; false when it is not drawn.
bool outlineColour(DisplayFilter filter, bool picked, bool selected, std::int32_t& colour);

enum class OutlineKind { Quad, Triangle, Beam };
// Visits the outlines in drawing order: picked four-node shells, picked three-node shells,
// the other four-node and three-node shells, picked beams, the other beams — each sweep in
// index order. At equal depth the first fragment stays, so an edge that a picked element
// shares with another shows in the picked colour. visit(sweep 0…5, kind, index).
template <class Visit>
void forEachOutline(const ResultModel& m, Visit visit) {
    for (int picked = 1; picked >= 0; --picked) {
        int sweep = picked ? 0 : 2;
        for (std::int32_t e = 0; e < m.quadCount; ++e)
            if ((m.pickQuad[static_cast<std::size_t>(e)] != 0) == (picked != 0))
                visit(sweep, OutlineKind::Quad, e);
        for (std::int32_t e = 0; e < m.triCount; ++e)
            if ((m.pickTri[static_cast<std::size_t>(e)] != 0) == (picked != 0))
                visit(sweep + 1, OutlineKind::Triangle, e);
    }
    for (int picked = 1; picked >= 0; --picked)
        for (std::int32_t b = 0; b < m.beamCount; ++b)
            if ((m.pickBeam[static_cast<std::size_t>(b)] != 0) == (picked != 0))
                visit(picked ? 4 : 5, OutlineKind::Beam, b);
}

void DrawQuadOutline(const ResultModel& model, std::int32_t index);
void DrawTriangleOutline(const ResultModel& model, std::int32_t index);
void DrawBeamSurface(const ResultModel& model, std::int32_t index);
// All node markers; called with lighting off.
void DrawNodeMarkers(const ResultModel& model);
// The outlines of the frames, kept in vertex arrays until the positions, the filters or the
// flags change; drawn in the order of forEachOutline.
class OutlineCache {
  public:
    void draw(const ResultModel& model);
    std::size_t rebuildCount() const { return rebuilds_; }

  private:
    std::uint64_t version_ = 0;
    std::optional<DisplayFilter> shellMode_, beamMode_;  // nothing: never drawn
    ElementFlags flags_;
    std::array<LitBatch, 6> sweeps_;
    std::size_t rebuilds_ = 0;
};

// Five latitude rings of twelve segments around (x, y, z).
void DrawWireSphere(double x, double y, double z, double radius);

}  // namespace quillon

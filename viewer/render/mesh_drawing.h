#pragma once
// Shell and beam outlines and node markers (the OpenGL half of the mesh drawing).
#include <cstdint>

#include "viewer/contour/contour_fill.h"
#include "viewer/model/result_model.h"

namespace quillon {

constexpr std::int32_t kPickedColour = 0x000000FF;    // red
constexpr std::int32_t kSelectedColour = 0x00FFFFFF;  // white
constexpr std::int32_t kOtherColour = 0x005A5A5A;     // grey

// The outline colour of an entity under a display filter; false when it is not drawn.
bool outlineColour(std::int32_t filter, bool picked, bool selected, std::int32_t& colour);

void DrawQuadOutline(const ResultModel& model, std::int32_t index);
void DrawTriangleOutline(const ResultModel& model, std::int32_t index);
void DrawBeamSurface(const ResultModel& model, std::int32_t index);
// All node markers; called with lighting off.
void DrawNodeMarkers(const ResultModel& model);
// Five latitude rings of twelve segments around (x, y, z).
void DrawWireSphere(double x, double y, double z, double radius);

}  // namespace quillon

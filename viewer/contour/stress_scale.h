#pragma once
// The plotted stress component, the stress interval and the colour scale's levels.
#include <cstdint>
#include <vector>

#include "viewer/model/result_model.h"
#include "viewer/state/contour_settings.h"

namespace quillon {

// The value at position `component` of a seven-value record; a component outside 0..6 can
// only come from a programming fault and ends the program.
double StressOf(const double* record, StressComponent component);

// Smallest and largest value of the component over the selected elements (both layers, all
// nodes); (1e20, -1e20) when nothing selected has a value.
void SelectedStressRange(const ResultModel& model, StressComponent component, double& min,
                         double& max);

// The same over one beam's surface mesh. A beam without cells has no range: returns false and
// leaves min and max as they were.
bool BeamStressRange(const BeamElement& beam, StressComponent component, double& min, double& max);

// L[0] = min, L[n] = max, inner levels by repeated addition of (max - min) / n.
std::vector<double> BuildContourLevels(double min, double max, int n);

}  // namespace quillon

#pragma once
// The plotted stress component, the stress interval and the colour scale's levels.
#include <cstdint>
#include <vector>

#include "viewer/model/result_model.h"

namespace quillon {

// 0 Sx, 1 Sy, 2 Sz, 3 Txy, 4 Txz, 5 Tyz, 6 Se: also the position in a stress record.
using StressComponent = std::int32_t;
constexpr StressComponent kSe = 6;

// The contour settings that the dialogs change and the contour pass reads.
struct ContourSettings {
    bool contourOn = true;
    StressComponent currentComponent = kSe;
    double SL = 0;  // the stress interval: elements whose values reach into it are filled
    double SR = 0;
};

// The value at position `component` of a seven-value record; a component outside 0..6 can
// only come from a programming fault and ends the program.
double StressOf(const double* record, StressComponent component);

// Smallest and largest value of the component over the selected elements (both layers, all
// nodes); (1e20, -1e20) when nothing selected has a value.
void SelectedStressRange(const ResultModel& model, StressComponent component, double& min, double& max);

// The same over one beam's surface mesh. A beam without cells has no range: returns false and
// leaves min and max as they were.
bool BeamStressRange(const BeamElement& beam, StressComponent component, double& min, double& max);

// L[0] = min, L[n] = max, inner levels by repeated addition of (max - min) / n.
std::vector<double> BuildContourLevels(double min, double max, int n);

}  // namespace quillon

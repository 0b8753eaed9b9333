#include "viewer/contour/stress_scale.h"

#include <cassert>
#include <cmath>

namespace quillon {
namespace {

// The dialogs and the options refuse a component out of range before it reaches here.
void checkComponent([[maybe_unused]] StressComponent component) {
    assert(component >= 0 && component < kStressComponents);
}

// Widens (min, max) by every record of `count` elements with n nodes and two layers.
void widenByElements(const std::vector<double>& stress, const std::vector<std::uint8_t>* selected,
                     std::int32_t count, int n, StressComponent component, double& min,
                     double& max) {
    const std::size_t block = stressBlockSize(n);
    for (std::int32_t e = 0; e < count; ++e) {
        if (selected && !(*selected)[static_cast<std::size_t>(e)]) continue;
        const double* rec = &stress[static_cast<std::size_t>(e) * block];
        for (int r = 0; r < 2 * n; ++r) {
            double v = rec[r * kStressComponents + component];
            if (!std::isfinite(v)) continue;  // no number: no place on the scale
            if (min > v) min = v;
            if (v > max) max = v;
        }
    }
}

}  // namespace

double StressOf(const double* record, StressComponent component) {
    checkComponent(component);
    return record[component];
}

bool BeamStressRange(const BeamElement& beam, StressComponent component, double& min, double& max) {
    checkComponent(component);
    if (beam.cellCount < 1) return false;
    double first = beam.cellStress[static_cast<std::size_t>(component)];
    double lo = std::isfinite(first) ? first : 1e20;
    double hi = std::isfinite(first) ? first : -1e20;
    widenByElements(beam.cellStress, nullptr, beam.cellCount, beam.nodesPerCell, component, lo, hi);
    min = lo;
    max = hi;
    return true;
}

void SelectedStressRange(const ResultModel& model, StressComponent component, double& min,
                         double& max) {
    checkComponent(component);
    min = 1e20;
    max = -1e20;
    widenByElements(model.quadStress, &model.selQuad, model.quadCount, model.nodesPerQuad,
                    component, min, max);
    widenByElements(model.triStress, &model.selTri, model.triCount, model.nodesPerTri, component,
                    min, max);
    for (std::int32_t b = 0; b < model.beamCount; ++b) {
        if (!model.selBeam[static_cast<std::size_t>(b)]) continue;
        double bmin = 0, bmax = 0;
        if (!BeamStressRange(model.beams[static_cast<std::size_t>(b)], component, bmin, bmax))
            continue;
        if (min > bmin) min = bmin;
        if (bmax > max) max = bmax;
    }
}

std::vector<double> BuildContourLevels(double min, double max, int n) {
    std::vector<double> levels(static_cast<std::size_t>(n) + 1);
    levels[0] = min;
    levels[static_cast<std::size_t>(n)] = max;
    double step = (max - min) / static_cast<double>(n);
    double x = min + step;
    for (int i = 1; i < n; ++i) {
        levels[static_cast<std::size_t>(i)] = x;
        x = x + step;
    }
    return levels;
}

}  // namespace quillon

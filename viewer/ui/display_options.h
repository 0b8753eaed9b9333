#pragma once
// The settings of the Contour Kit and Plot Settings given on the command line, for batch
// pictures and scripted runs: applied once, after the start-up load.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "common/outcome.h"
#include "viewer/state/app_state.h"

namespace quillon {

struct DisplayOptions {
    std::optional<int> component;                       // --component N
    std::optional<std::pair<double, double>> interval;  // --interval SL,SR
    bool noContour = false;                             // --no-contour
    std::optional<DisplayFilter> outlines, beamLines, shellNumbers, beamNumbers, nodes, nodeNumbers;
    bool undeformed = false;      // --undeformed
    std::optional<double> scale;  // --scale S
};

// Whether `arg` is one of the settings options.
bool isDisplayOption(const char* arg);
// Reads the settings option argv[i] and its value; i is left at the last argument read. A
// failure says what is wrong with the value.
common::Outcome parseDisplayOption(int argc, char** argv, int& i, DisplayOptions& options);

// Sets what the options ask for: the component (its selected range as the interval, unless
// one is given), the filters, contour plotting and the shape.
void applyDisplayOptions(const DisplayOptions& options, AppState& state);

// The options' lines of the usage text.
extern const char* const kDisplayOptionsUsage;

}  // namespace quillon

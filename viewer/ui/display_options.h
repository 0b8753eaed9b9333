#pragma once
// The settings of the Contour Kit and Plot Settings given on the command line, for batch
// pictures and scripted runs: applied once, after the start-up load.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

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

enum class OptionParse {
    NotADisplayOption,  // argv[i] is some other argument
    Taken,              // argv[i] (and its value) were read; i points at the last one
    Bad,                // a display option with a bad value: `error` says why
};
OptionParse parseDisplayOption(int argc, char** argv, int& i, DisplayOptions& options,
                               std::string& error);

// Sets what the options ask for: the component (its selected range as the interval, unless
// one is given), the filters, contour plotting and the shape.
void applyDisplayOptions(const DisplayOptions& options, AppState& state);

// The options' lines of the usage text.
extern const char* const kDisplayOptionsUsage;

}  // namespace quillon

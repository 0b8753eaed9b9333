#pragma once
#include <optional>
#include <string>

#include "viewer/ui/display_options.h"

namespace quillon {

struct SnapshotRequest {
    std::string output;                 // PNG path
    std::string resultFile;             // result file to load
    int width = 1024, height = 768;     // picture size
    std::optional<double> alpha, beta;  // view angles instead of the default view
    DisplayOptions display;             // settings applied after the load
};

// Loads the file, draws one frame with its overlays offscreen and writes it as PNG.
// Messages go to standard error; returns the process exit code.
int renderSnapshot(const SnapshotRequest& request);

}  // namespace quillon

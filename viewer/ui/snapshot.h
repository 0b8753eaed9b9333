#pragma once
#include <optional>
#include <string>

#include "viewer/platform/window_events.h"
#include "viewer/ui/display_options.h"

namespace quillon {

// The largest picture, and the largest view of a scripted run, in pixels either way.
constexpr int kMaxPictureSize = 16384;

struct SnapshotRequest {
    std::string output;      // PNG path, or SVG when it ends in ".svg" (any case)
    std::string resultFile;  // result file to load
    int width = platform::kDefaultViewWidth, height = platform::kDefaultViewHeight;
    std::optional<double> alpha, beta;  // view angles instead of the default view
    DisplayOptions display;             // settings applied after the load
};

// Loads the file, draws one frame with its overlays offscreen and writes it as PNG, or as an SVG
// picture (SvgPicture) when the output's name ends in ".svg".
// Messages go to standard error; returns the process exit code.
int renderSnapshot(const SnapshotRequest& request);

}  // namespace quillon

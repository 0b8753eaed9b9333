#include "viewer/platform/long_task.h"

#include <algorithm>
#include <cmath>

namespace quillon::platform {

std::string titleWithProgress(const std::string& title, double doneShare) {
    double share = std::isfinite(doneShare) ? std::clamp(doneShare, 0.0, 1.0) : 0.0;
    return title + " - " + std::to_string(static_cast<int>(std::floor(share * 100))) + " %";
}

}  // namespace quillon::platform

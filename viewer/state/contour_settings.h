#pragma once
// The plotted stress component and the stress interval: set by the dialogs, read by the fill.
#include <cstdint>

namespace quillon {

// 0 Sx, 1 Sy, 2 Sz, 3 Txy, 4 Txz, 5 Tyz, 6 Se: also the position in a stress record.
using StressComponent = std::int32_t;
constexpr StressComponent kSe = 6;

struct ContourSettings {
    bool contourOn = true;
    StressComponent currentComponent = kSe;
    double SL = 0;  // the stress interval: elements whose values reach into it are filled
    double SR = 0;
};

}  // namespace quillon

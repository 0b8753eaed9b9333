#include <cstdlib>

#include "tool/pre_model.h"

namespace tarvik {

void OffsetPreModel(PreModel& model, double dx, double dy, double dz) {
    for (GeoPoint& p : model.geoPoints.records) {
        p.x += dx;
        p.y += dy;
        p.z += dz;
    }
    for (NodalPoint& p : model.nodalPoints.records) {
        p.x += dx;
        p.y += dy;
        p.z += dz;
    }
}

double OffsetFromText(const char* text) {
    return std::strtod(text, nullptr);
}

}  // namespace tarvik

#include "viewer/ui/info.h"

#include "viewer/contour/stress_scale.h"

namespace quillon {

void printModelInfo(const ResultModel& m, std::FILE* out) {
    double seMin = 0, seMax = 0;
    SelectedStressRange(m, kSe, seMin, seMax);
    const Box6& b = m.nodeBox;
    std::fprintf(out, "nodes: %d\n", m.nodeCount);
    std::fprintf(out, "four-node shells: %d\n", m.quadCount);
    std::fprintf(out, "three-node shells: %d\n", m.triCount);
    std::fprintf(out, "beams: %d\n", m.beamCount);
    std::fprintf(out, "node box: %.17g %.17g %.17g %.17g %.17g %.17g\n", b[0], b[1], b[2], b[3],
                 b[4], b[5]);
    std::fprintf(out, "mean shell edge: %.17g\n", m.meanShellEdge);
    std::fprintf(out, "mean beam length: %.17g\n", m.meanBeamLength);
    std::fprintf(out, "displacement scale: %.17g\n", m.dispScale);
    std::fprintf(out, "Se range: %.17g %.17g\n", seMin, seMax);
}

}  // namespace quillon

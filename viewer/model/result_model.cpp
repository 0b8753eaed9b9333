#include "viewer/model/result_model.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cmath>
#include <utility>

#include "viewer/platform/message.h"

namespace quillon {
namespace {

double distance(const Point3D& a, const Point3D& b) {
    double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The point as read moved by scale × the translations of displacement row i (value kept).
Point3D translated(const Point3D& p0, const std::vector<double>& disp, std::size_t i,
                   double scale) {
    const double* row = &disp[i * kDofPerNode];
    Point3D p = p0;
    p.x += scale * row[0];
    p.y += scale * row[1];
    p.z += scale * row[2];
    return p;
}

// Displayed = as read + scale × translation (value kept), or a plain copy when undeformed.
void displace(const std::vector<Point3D>& pos0, const std::vector<double>& disp, bool deformed,
              double scale, std::vector<Point3D>& pos) {
    for (std::size_t i = 0; i < pos0.size(); ++i)
        pos[i] = deformed ? translated(pos0[i], disp, i, scale) : pos0[i];
}

void widen(Box6& box, const Point3D& p) {
    if (p.x < box[0]) box[0] = p.x;
    if (p.x > box[1]) box[1] = p.x;
    if (p.y < box[2]) box[2] = p.y;
    if (p.y > box[3]) box[3] = p.y;
    if (p.z < box[4]) box[4] = p.z;
    if (p.z > box[5]) box[5] = p.z;
}

bool allFinite(const std::vector<double>& values) {
    bool finite = true;
    for (double v : values) finite &= std::isfinite(v);  // no early exit: this loop vectorises
    return finite;
}

template <class T>
std::size_t bytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

}  // namespace

std::int32_t BeamElement::nearestMeshPoint(const Point3D& p) const {
    if (meshPointCount < 2) return 0;
    std::int32_t best = 0;
    double bestDistance = distance(p, meshPos0[0]);
    for (std::int32_t i = 1; i < meshPointCount; ++i) {
        double d = distance(p, meshPos0[static_cast<std::size_t>(i)]);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

void BeamElement::updateDisplayedPositions() {
    displace(meshPos0, meshDisp, deformed, dispScale, meshPos);
    if (!deformed) {
        start = start0;
        end = end0;
        return;
    }
    // Without mesh points there is no displacement to take: the ends stay as read.
    if (meshPointCount < 1) {
        start = start0;
        end = end0;
        return;
    }
    std::size_t a = static_cast<std::size_t>(nearestMeshPoint(start));
    std::size_t b = static_cast<std::size_t>(nearestMeshPoint(end));
    start = translated(start0, meshDisp, a, dispScale);
    end = translated(end0, meshDisp, b, dispScale);
}

common::Outcome ResultModel::loadResultFile(const std::string& path) {
    // Read into a fresh model so that a failed load leaves this one untouched.
    ResultModel fresh = emptyWithSettings();
    common::Outcome read = readResultFile(path, fresh);
    if (!read.ok()) return read;
    const std::vector<std::string> warnings = fresh.prepareLoaded();
    takePrepared(std::move(fresh), warnings);
    return read;
}

ResultModel ResultModel::emptyWithSettings() const {
    ResultModel fresh;
    fresh.deformed = deformed;
    fresh.colourTable = colourTable;
    fresh.colourCount = colourCount;
    fresh.shellNumberMode = shellNumberMode;
    fresh.beamNumberMode = beamNumberMode;
    fresh.nodeNumberMode = nodeNumberMode;
    fresh.shellOutlineMode = shellOutlineMode;
    fresh.beamMeshLineMode = beamMeshLineMode;
    fresh.nodeMode = nodeMode;
    return fresh;
}

void ResultModel::takePrepared(ResultModel&& read, const std::vector<std::string>& warnings) {
    for (const std::string& warning : warnings) platform::messageBox(warning, "Warning!");
    *this = std::move(read);
}

std::vector<std::string> ResultModel::prepareLoaded() {
    std::vector<std::string> warnings;
    selNode.assign(static_cast<std::size_t>(nodeCount), 1);
    pickNode.assign(static_cast<std::size_t>(nodeCount), 0);
    selQuad.assign(static_cast<std::size_t>(quadCount), 1);
    pickQuad.assign(static_cast<std::size_t>(quadCount), 0);
    selTri.assign(static_cast<std::size_t>(triCount), 1);
    pickTri.assign(static_cast<std::size_t>(triCount), 0);
    selBeam.assign(static_cast<std::size_t>(beamCount), 1);
    pickBeam.assign(static_cast<std::size_t>(beamCount), 0);
    computeNodeBox();
    computeMeanLengths();
    AutoDeformationScale(warnings);
    updateDisplayedPositions();
    // Said once here rather than on every frame that cannot fill those elements.
    if (!allFinite(quadStress) || !allFinite(triStress) ||
        std::any_of(beams.begin(), beams.end(),
                    [](const BeamElement& b) { return !allFinite(b.cellStress); }))
        warnings.push_back(
            "Some stresses in this file are not finite numbers. They are left out of the stress "
            "ranges; while such a component is shown, an element or beam cell with one is not "
            "filled on the side where the layer holding it faces the viewer.");
    return warnings;
}

void ResultModel::releaseArrays() {
    // Swapping with empty vectors gives the memory back, which clear() would not.
    std::vector<Point3D>().swap(nodePos);
    std::vector<Point3D>().swap(nodePos0);
    std::vector<double>().swap(nodeDisp);
    std::vector<double>().swap(quadStress);
    std::vector<double>().swap(triStress);
    std::vector<std::int32_t>().swap(quadNodes);
    std::vector<std::int32_t>().swap(triNodes);
    std::vector<BeamElement>().swap(beams);
    for (auto* flags :
         {&selQuad, &selTri, &selBeam, &selNode, &pickQuad, &pickTri, &pickBeam, &pickNode})
        std::vector<std::uint8_t>().swap(*flags);
}

Box6 ResultModel::computeNodeBox() {
    assert(nodeCount >= 1);  // the reader refuses a model without nodes
    const Point3D& p0 = nodePos[0];
    Box6 box{p0.x, p0.x, p0.y, p0.y, p0.z, p0.z};
    for (std::int32_t i = 1; i < nodeCount; ++i) widen(box, nodePos[static_cast<std::size_t>(i)]);
    nodeBox = box;
    return box;
}

Box6 ResultModel::computeSelectedBox() {
    if (quadCount == 0 && triCount == 0 && beamCount == 0) return nodeBox;
    Box6 box{1e20, -1e20, 1e20, -1e20, 1e20, -1e20};
    for (std::int32_t e = 0; e < quadCount; ++e)
        if (selQuad[static_cast<std::size_t>(e)])
            for (int k = 0; k < nodesPerQuad; ++k)
                widen(box, nodePos[static_cast<std::size_t>(
                               quadNodes[static_cast<std::size_t>(e * nodesPerQuad + k)])]);
    for (std::int32_t e = 0; e < triCount; ++e)
        if (selTri[static_cast<std::size_t>(e)])
            for (int k = 0; k < nodesPerTri; ++k)
                widen(box, nodePos[static_cast<std::size_t>(
                               triNodes[static_cast<std::size_t>(e * nodesPerTri + k)])]);
    for (std::int32_t b = 0; b < beamCount; ++b)
        if (selBeam[static_cast<std::size_t>(b)]) {
            widen(box, beams[static_cast<std::size_t>(b)].start);
            widen(box, beams[static_cast<std::size_t>(b)].end);
        }
    selBox = box;
    return box;
}

void ResultModel::computeMeanLengths() {
    double sum = 0;
    auto addLoops = [&](const std::vector<std::int32_t>& nodes, std::int32_t count, int n) {
        for (std::int32_t e = 0; e < count; ++e) {
            const std::int32_t* idx =
                &nodes[static_cast<std::size_t>(e) * static_cast<std::size_t>(n)];
            for (int k = 0; k < n; ++k)
                sum += distance(nodePos[static_cast<std::size_t>(idx[k])],
                                nodePos[static_cast<std::size_t>(idx[(k + 1) % n])]);
        }
    };
    addLoops(quadNodes, quadCount, nodesPerQuad);
    addLoops(triNodes, triCount, nodesPerTri);
    double edges =
        static_cast<double>(nodesPerTri) * triCount + static_cast<double>(nodesPerQuad) * quadCount;
    meanShellEdge = (quadCount == 0 && triCount == 0) ? 0.0 : sum / edges;

    double length = 0;
    for (const BeamElement& b : beams) length += distance(b.start, b.end);
    meanBeamLength = beamCount == 0 ? 0.0 : length / beamCount;
}

double ResultModel::AutoDeformationScale(std::vector<std::string>& warnings) {
    Box6 box = computeNodeBox();
    double maxTranslation = 0;
    for (std::int32_t i = 0; i < nodeCount; ++i)
        for (int c = 0; c < 3; ++c) {
            double v = std::fabs(
                nodeDisp[static_cast<std::size_t>(i) * kDofPerNode + static_cast<std::size_t>(c)]);
            if (v > maxTranslation) maxTranslation = v;
        }
    double size = box[1] - box[0];
    if (box[3] - box[2] > size) size = box[3] - box[2];
    if (box[5] - box[4] > size) size = box[5] - box[4];
    if (maxTranslation == 0) {
        warnings.push_back("The Maximum translation displacement is zero!");
        // size × 0.05 / 0 has no finite value; without translations there is nothing to magnify.
        dispScale = 0;
        return dispScale;
    }
    dispScale = size * 0.05 / maxTranslation;
    return dispScale;
}

void ResultModel::updateDisplayedPositions() {
    // One counter for all models, so that no two sets of positions ever have the same version (a
    // drawing kept for one model is never taken for another's); atomic, because a snapshot loads
    // its model on a second thread.
    static std::atomic<std::uint64_t> lastVersion{0};
    positionsVersion = lastVersion.fetch_add(1, std::memory_order_relaxed) + 1;
    displace(nodePos0, nodeDisp, deformed, dispScale, nodePos);
    for (BeamElement& b : beams) {
        b.deformed = deformed;
        b.dispScale = dispScale;
        b.updateDisplayedPositions();
    }
}

std::size_t modelArrayBytes(const ResultModel& m) {
    std::size_t n = bytesOf(m.nodePos) + bytesOf(m.nodePos0) + bytesOf(m.nodeDisp) +
                    bytesOf(m.quadStress) + bytesOf(m.triStress) + bytesOf(m.quadNodes) +
                    bytesOf(m.triNodes) + bytesOf(m.beams) + bytesOf(m.colourTable);
    for (const auto* flags : {&m.selQuad, &m.selTri, &m.selBeam, &m.selNode, &m.pickQuad,
                              &m.pickTri, &m.pickBeam, &m.pickNode})
        n += bytesOf(*flags);
    for (const BeamElement& b : m.beams)
        n += bytesOf(b.meshPos) + bytesOf(b.meshPos0) + bytesOf(b.meshDisp) + bytesOf(b.cellNodes) +
             bytesOf(b.cellStress);
    return n;
}

}  // namespace quillon

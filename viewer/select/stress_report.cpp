#include "viewer/select/stress_report.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include "common/replacing_file.h"

namespace quillon {
namespace {

constexpr int kField = 15;

void pad(std::string& out, std::size_t length, int width) {
    if (length < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - length, ' ');
}

void appendHeader(std::string& out) {
    for (const char* word : {"Node", "SX", "SY", "SZ", "TXY", "TXZ", "TYZ", "SE"}) {
        pad(out, std::strlen(word), kField);
        out += word;
    }
    out += '\n';
}

// "%14d:" and the seven values of one record, "%15g" each.
void appendRow(std::string& out, std::int32_t node, const double* record) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, node);
    std::size_t n = static_cast<std::size_t>(end - buffer);
    pad(out, n, kField - 1);
    out.append(buffer, n);
    out += ':';
    for (int c = 0; c < kStressComponents; ++c) {
        auto [e, err] =
            std::to_chars(buffer, buffer + sizeof buffer, record[c], std::chars_format::general, 6);
        std::size_t len = static_cast<std::size_t>(e - buffer);
        pad(out, len, kField);
        out.append(buffer, len);
    }
    out += '\n';
}

// The two rows (layer 0, layer 1) of element node k of an element with n nodes.
void appendCorner(std::string& out, std::int32_t node, const double* elementStress, int n, int k) {
    appendRow(out, node, elementStress + stressIndex(n, 0, k, 0));
    appendRow(out, node, elementStress + stressIndex(n, 1, k, 0));
}

bool write(const std::string& text, const std::string& path, std::string& why) {
    common::ReplacingFile file;
    if (file.open(path) && file.write(text.data(), text.size()) && file.commit()) return true;
    why = path + ": " + std::strerror(file.error() ? file.error() : EIO);
    file.discard();
    return false;
}

}  // namespace

std::string NodeStressReportText(const ResultModel& m) {
    // Every node's shell corners in element order (four-node shells first), listed in one pass
    // over the elements, so that the report takes time linear in the model.
    const std::size_t nodes = static_cast<std::size_t>(m.nodeCount);
    const std::size_t quadCorners =
        static_cast<std::size_t>(m.quadCount) * static_cast<std::size_t>(m.nodesPerQuad);
    const std::size_t triCorners =
        static_cast<std::size_t>(m.triCount) * static_cast<std::size_t>(m.nodesPerTri);
    std::vector<std::uint32_t> start(nodes + 1, 0);
    auto selected = [&](std::int32_t node) {
        return node >= 0 && static_cast<std::size_t>(node) < nodes &&
               m.selNode[static_cast<std::size_t>(node)];
    };
    for (std::size_t c = 0; c < quadCorners; ++c)
        if (selected(m.quadNodes[c])) ++start[static_cast<std::size_t>(m.quadNodes[c]) + 1];
    for (std::size_t c = 0; c < triCorners; ++c)
        if (selected(m.triNodes[c])) ++start[static_cast<std::size_t>(m.triNodes[c]) + 1];
    for (std::size_t i = 0; i < nodes; ++i) start[i + 1] += start[i];
    // Corner c of the four-node shells is c, of the three-node shells quadCorners + c.
    std::vector<std::uint64_t> corners(start[nodes]);
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    for (std::size_t c = 0; c < quadCorners; ++c)
        if (selected(m.quadNodes[c])) corners[next[static_cast<std::size_t>(m.quadNodes[c])]++] = c;
    for (std::size_t c = 0; c < triCorners; ++c)
        if (selected(m.triNodes[c]))
            corners[next[static_cast<std::size_t>(m.triNodes[c])]++] = quadCorners + c;

    std::string out;
    out.reserve(121 + (corners.size() * 2) * 121);
    appendHeader(out);
    for (std::size_t i = 0; i < nodes; ++i) {
        for (std::uint32_t j = start[i]; j < start[i + 1]; ++j) {
            const std::uint64_t c = corners[j];
            if (c < quadCorners) {
                const std::size_t e = c / static_cast<std::size_t>(m.nodesPerQuad);
                const int k = static_cast<int>(c % static_cast<std::size_t>(m.nodesPerQuad));
                appendCorner(out, static_cast<std::int32_t>(i),
                             &m.quadStress[e * static_cast<std::size_t>(2 * kStressComponents *
                                                                        m.nodesPerQuad)],
                             m.nodesPerQuad, k);
            } else {
                const std::size_t t = c - quadCorners;
                const std::size_t e = t / static_cast<std::size_t>(m.nodesPerTri);
                const int k = static_cast<int>(t % static_cast<std::size_t>(m.nodesPerTri));
                appendCorner(out, static_cast<std::int32_t>(i),
                             &m.triStress[e * static_cast<std::size_t>(2 * kStressComponents *
                                                                       m.nodesPerTri)],
                             m.nodesPerTri, k);
            }
        }
    }
    return out;
}

std::string ElementStressReportText(const ResultModel& m) {
    std::string out;
    auto elements = [&](const char* title, std::int32_t count,
                        const std::vector<std::uint8_t>& selected,
                        const std::vector<std::int32_t>& nodes, const std::vector<double>& stress,
                        int n) {
        const std::size_t block = static_cast<std::size_t>(2 * kStressComponents * n);
        for (std::int32_t e = 0; e < count; ++e) {
            const std::size_t ei = static_cast<std::size_t>(e);
            if (!selected[ei]) continue;
            out += title;
            out += std::to_string(e);
            out += '\n';
            appendHeader(out);
            for (int k = 0; k < n; ++k)
                appendCorner(out,
                             nodes[ei * static_cast<std::size_t>(n) + static_cast<std::size_t>(k)],
                             &stress[ei * block], n, k);
        }
    };
    elements("Four-node shell element:", m.quadCount, m.selQuad, m.quadNodes, m.quadStress,
             m.nodesPerQuad);
    elements("Three-nodes shell element:", m.triCount, m.selTri, m.triNodes, m.triStress,
             m.nodesPerTri);
    return out;
}

bool WriteNodeStressReport(const ResultModel& model, const std::string& path, std::string& why) {
    return write(NodeStressReportText(model), path, why);
}

bool WriteElementStressReport(const ResultModel& model, const std::string& path, std::string& why) {
    return write(ElementStressReportText(model), path, why);
}

}  // namespace quillon

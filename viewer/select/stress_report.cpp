#include "viewer/select/stress_report.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <thread>
#include <vector>

#include "common/general_format.h"
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
        const std::size_t len = common::formatGeneral6(record[c], buffer);
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

// Calls format(first, last, text) for blocks of items in turn, two blocks at a time on the two
// cores, and hands their texts to `sink` in item order.
template <class Format, class Sink>
void inOrder(std::size_t items, std::size_t block, Format format, Sink sink) {
    std::string texts[2];
    for (std::size_t first = 0; first < items; first += 2 * block) {
        const std::size_t middle = std::min(items, first + block),
                          last = std::min(items, first + 2 * block);
        texts[0].clear();
        texts[1].clear();
        std::thread second;
        if (middle < last) second = std::thread([&] { format(middle, last, texts[1]); });
        format(first, middle, texts[0]);
        if (second.joinable()) second.join();
        sink(texts[0]);
        sink(texts[1]);
    }
}

// Corners of the four-node shells are 0 … quadCorners - 1, of the three-node shells after.
struct CornerIndex {
    std::vector<std::uint32_t>
        start;  // per node, its first entry in `corners`; one more at the end
    std::vector<std::uint64_t> corners;  // each selected node's shell corners in element order
};

// Every selected node's shell corners in element order (four-node shells first), listed in one
// pass over the elements, so that the node report takes time linear in the model.
CornerIndex cornersOfSelectedNodes(const ResultModel& m) {
    const std::size_t nodes = static_cast<std::size_t>(m.nodeCount);
    const std::size_t quadCorners =
        static_cast<std::size_t>(m.quadCount) * static_cast<std::size_t>(m.nodesPerQuad);
    const std::size_t triCorners =
        static_cast<std::size_t>(m.triCount) * static_cast<std::size_t>(m.nodesPerTri);
    auto node = [&](std::size_t c) {
        return c < quadCorners ? m.quadNodes[c] : m.triNodes[c - quadCorners];
    };
    auto selected = [&](std::int32_t n) {
        return n >= 0 && static_cast<std::size_t>(n) < nodes &&
               m.selNode[static_cast<std::size_t>(n)];
    };
    CornerIndex index;
    index.start.assign(nodes + 1, 0);
    for (std::size_t c = 0; c < quadCorners + triCorners; ++c)
        if (selected(node(c))) ++index.start[static_cast<std::size_t>(node(c)) + 1];
    for (std::size_t i = 0; i < nodes; ++i) index.start[i + 1] += index.start[i];
    index.corners.resize(index.start[nodes]);
    std::vector<std::uint32_t> next(index.start.begin(), index.start.end() - 1);
    for (std::size_t c = 0; c < quadCorners + triCorners; ++c)
        if (selected(node(c))) index.corners[next[static_cast<std::size_t>(node(c))]++] = c;
    return index;
}

template <class Sink>
void nodeReport(const ResultModel& m, Sink sink) {
    const CornerIndex index = cornersOfSelectedNodes(m);
    const std::size_t quadCorners =
        static_cast<std::size_t>(m.quadCount) * static_cast<std::size_t>(m.nodesPerQuad);
    const std::size_t quadBlock = stressBlockSize(m.nodesPerQuad);
    const std::size_t triBlock = stressBlockSize(m.nodesPerTri);
    std::string header;
    appendHeader(header);
    sink(header);
    auto format = [&](std::size_t first, std::size_t last, std::string& out) {
        out.reserve((index.start[last] - index.start[first]) * 2 * 121);
        for (std::size_t i = first; i < last; ++i) {
            for (std::uint32_t j = index.start[i]; j < index.start[i + 1]; ++j) {
                const std::uint64_t c = index.corners[j];
                const auto node = static_cast<std::int32_t>(i);
                if (c < quadCorners) {
                    const std::size_t e = c / static_cast<std::size_t>(m.nodesPerQuad);
                    const int k = static_cast<int>(c % static_cast<std::size_t>(m.nodesPerQuad));
                    appendCorner(out, node, &m.quadStress[e * quadBlock], m.nodesPerQuad, k);
                } else {
                    const std::size_t t = c - quadCorners;
                    const std::size_t e = t / static_cast<std::size_t>(m.nodesPerTri);
                    const int k = static_cast<int>(t % static_cast<std::size_t>(m.nodesPerTri));
                    appendCorner(out, node, &m.triStress[e * triBlock], m.nodesPerTri, k);
                }
            }
        }
    };
    inOrder(static_cast<std::size_t>(m.nodeCount), 8192, format, sink);
}

template <class Sink>
void elementReport(const ResultModel& m, Sink sink) {
    auto elements = [&](const char* title, std::int32_t count,
                        const std::vector<std::uint8_t>& selected,
                        const std::vector<std::int32_t>& nodes, const std::vector<double>& stress,
                        int n) {
        const std::size_t block = stressBlockSize(n);
        auto format = [&](std::size_t first, std::size_t last, std::string& out) {
            out.reserve((last - first) * static_cast<std::size_t>(2 * n + 2) * 121);
            for (std::size_t e = first; e < last; ++e) {
                if (!selected[e]) continue;
                out += title;
                out += std::to_string(e);
                out += '\n';
                appendHeader(out);
                for (int k = 0; k < n; ++k)
                    appendCorner(
                        out, nodes[e * static_cast<std::size_t>(n) + static_cast<std::size_t>(k)],
                        &stress[e * block], n, k);
            }
        };
        inOrder(static_cast<std::size_t>(count), 8192, format, sink);
    };
    elements("Four-node shell element:", m.quadCount, m.selQuad, m.quadNodes, m.quadStress,
             m.nodesPerQuad);
    elements("Three-nodes shell element:", m.triCount, m.selTri, m.triNodes, m.triStress,
             m.nodesPerTri);
}

// Writes a report made by `report` (which hands its text to a sink piece by piece); `failed` is
// the report's message when it cannot be written.
template <class Report>
common::Outcome write(Report report, const std::string& path, const char* failed) {
    common::ReplacingFile file;
    bool ok = file.open(path);
    report([&](const std::string& text) { ok = ok && file.write(text.data(), text.size()); });
    if (ok && file.commit()) return {};
    common::Failure failure(failed, path + ": " + std::strerror(file.error() ? file.error() : EIO));
    file.discard();
    return failure;
}

}  // namespace

std::string NodeStressReportText(const ResultModel& m) {
    std::string out;
    nodeReport(m, [&](const std::string& text) { out += text; });
    return out;
}

std::string ElementStressReportText(const ResultModel& m) {
    std::string out;
    elementReport(m, [&](const std::string& text) { out += text; });
    return out;
}

common::Outcome WriteNodeStressReport(const ResultModel& model, const std::string& path) {
    return write([&](auto sink) { nodeReport(model, sink); }, path, "被选择节点应力文件输出失败!");
}

common::Outcome WriteElementStressReport(const ResultModel& model, const std::string& path) {
    return write([&](auto sink) { elementReport(model, sink); }, path,
                 "被选择单元应力文件输出失败!");
}

}  // namespace quillon

#include "viewer/render/labels.h"

#include <cmath>
#include <cstdio>

#include "viewer/platform/overlay_canvas.h"

namespace quillon {
namespace {

// Cut towards zero into the int range; far-off points (extreme zoom) saturate instead of
// overflowing.
int truncToInt(double v) {
    constexpr double kLimit = 1 << 30;
    if (!(v == v)) return 0;
    return static_cast<int>(std::trunc(std::fmax(-kLimit, std::fmin(kLimit, v))));
}

std::string indexText(std::int32_t index) {
    char text[16];
    std::snprintf(text, sizeof text, "%i", index);
    return text;
}

bool admitted(DisplayFilter filter, const std::vector<std::uint8_t>& selected, std::int32_t index) {
    return filter != DisplayFilter::Selected || selected[static_cast<std::size_t>(index)] != 0;
}

// A font of height `height` whose characters are half as wide as high; nothing to lay out when
// the kind is empty, filtered out or would be 0 pixels high.
bool startLayout(LabelLayout& layout, std::int32_t count, DisplayFilter filter, std::int32_t colour,
                 double height) {
    layout.colour = colour;
    layout.height = truncToInt(height);
    layout.width = layout.height / 2;
    return count > 0 && filter != DisplayFilter::None && layout.height > 0;
}

// Element labels are centred on their anchor.
void addCentred(LabelLayout& layout, WindowPoint p, std::int32_t index) {
    std::string text = indexText(index);
    int n = static_cast<int>(text.size());
    layout.texts.push_back(
        {p.x - (layout.width * n) / 2, p.y - layout.height / 2, std::move(text)});
}

LabelLayout layoutShellNumbers(const ResultModel& m, const Matrix4& mv, const ViewState& v,
                               std::int32_t count, std::int32_t corners,
                               const std::vector<std::int32_t>& nodes,
                               const std::vector<std::uint8_t>& selected, std::int32_t colour) {
    LabelLayout layout;
    if (!startLayout(layout, count, m.shellNumberMode, colour,
                     pixelsPerUnit(v) * (m.meanShellEdge / 5)))
        return layout;
    for (std::int32_t e = 0; e < count; ++e) {
        if (!admitted(m.shellNumberMode, selected, e)) continue;
        Point3D c;
        for (std::int32_t k = 0; k < corners; ++k) {
            const Point3D& p = m.nodePos[static_cast<std::size_t>(
                nodes[static_cast<std::size_t>(e * corners + k)])];
            c.x += p.x;
            c.y += p.y;
            c.z += p.z;
        }
        c.x /= corners;
        c.y /= corners;
        c.z /= corners;
        addCentred(layout, ProjectToWindow(mv, v, c), e);
    }
    return layout;
}

}  // namespace

WindowPoint ProjectToWindow(const Matrix4& M, const ViewState& v, const Point3D& p) {
    const double coords[4] = {p.x, p.y, p.z, 1};
    double e[2] = {0, 0};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c) e[r] += M[static_cast<std::size_t>(4 * c + r)] * coords[c];
    double wx = (e[0] - v.left) / (v.right - v.left) * v.W;
    double wy = v.H - (e[1] - v.bottom) / (v.top - v.bottom) * v.H;
    return {truncToInt(wx), truncToInt(wy)};
}

double pixelsPerUnit(const ViewState& v) {
    return v.W / (v.right - v.left);
}

LabelLayout LayoutNodeNumbers(const ResultModel& m, const Matrix4& mv, const ViewState& v) {
    LabelLayout layout;
    double height = ((m.meanBeamLength * 0.5 + m.meanShellEdge * 0.5) / 5) * pixelsPerUnit(v);
    if (!startLayout(layout, m.nodeCount, m.nodeNumberMode, kNodeNumberColour, height))
        return layout;
    for (std::int32_t i = 0; i < m.nodeCount; ++i) {
        if (!admitted(m.nodeNumberMode, m.selNode, i)) continue;
        WindowPoint p = ProjectToWindow(mv, v, m.nodePos[static_cast<std::size_t>(i)]);
        layout.texts.push_back({p.x, p.y, indexText(i)});  // top-left corner at the node
    }
    return layout;
}

LabelLayout LayoutQuadNumbers(const ResultModel& m, const Matrix4& mv, const ViewState& v) {
    return layoutShellNumbers(m, mv, v, m.quadCount, m.nodesPerQuad, m.quadNodes, m.selQuad,
                              kQuadNumberColour);
}

LabelLayout LayoutTriangleNumbers(const ResultModel& m, const Matrix4& mv, const ViewState& v) {
    return layoutShellNumbers(m, mv, v, m.triCount, m.nodesPerTri, m.triNodes, m.selTri,
                              kTriangleNumberColour);
}

LabelLayout LayoutBeamNumbers(const ResultModel& m, const Matrix4& mv, const ViewState& v) {
    LabelLayout layout;
    if (!startLayout(layout, m.beamCount, m.beamNumberMode, kBeamNumberColour,
                     pixelsPerUnit(v) * (m.meanBeamLength / 5)))
        return layout;
    for (std::int32_t b = 0; b < m.beamCount; ++b) {
        if (!admitted(m.beamNumberMode, m.selBeam, b)) continue;
        const BeamElement& beam = m.beams[static_cast<std::size_t>(b)];
        Point3D mid;
        mid.x = (beam.start.x + beam.end.x) / 2;
        mid.y = (beam.start.y + beam.end.y) / 2;
        mid.z = (beam.start.z + beam.end.z) / 2;
        addCentred(layout, ProjectToWindow(mv, v, mid), b);
    }
    return layout;
}

void DrawLabels(const LabelLayout& layout, platform::OverlayCanvas& canvas) {
    for (const LabelText& t : layout.texts)
        canvas.text(t.x, t.y, t.text, layout.colour, layout.height, layout.width);
}

void DrawNodeNumbers(const ResultModel& m, const Matrix4& mv, const ViewState& v,
                     platform::OverlayCanvas& canvas) {
    DrawLabels(LayoutNodeNumbers(m, mv, v), canvas);
}

void DrawQuadNumbers(const ResultModel& m, const Matrix4& mv, const ViewState& v,
                     platform::OverlayCanvas& canvas) {
    DrawLabels(LayoutQuadNumbers(m, mv, v), canvas);
}

void DrawTriangleNumbers(const ResultModel& m, const Matrix4& mv, const ViewState& v,
                         platform::OverlayCanvas& canvas) {
    DrawLabels(LayoutTriangleNumbers(m, mv, v), canvas);
}

void DrawBeamNumbers(const ResultModel& m, const Matrix4& mv, const ViewState& v,
                     platform::OverlayCanvas& canvas) {
    DrawLabels(LayoutBeamNumbers(m, mv, v), canvas);
}

}  // namespace quillon

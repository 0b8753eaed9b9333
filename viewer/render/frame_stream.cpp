#include "viewer/render/frame_stream.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "viewer/render/mesh_drawing.h"
#include "viewer/render/ordered_blocks.h"

namespace quillon {
namespace {
// Units per block: a few thousand elements make a block of some hundred kilobytes, small enough
// to stay in the caches and many enough to keep both cores busy.
constexpr std::size_t kContourUnits = 2048;
constexpr std::size_t kOutlineUnits = 4096;

std::size_t blocksOf(std::size_t units, std::size_t perBlock) {
    return (units + perBlock - 1) / perBlock;
}
}  // namespace

WindowProjection FrameStream::window(const ResultModel& m, const ViewState& view) {
    if (boundVersion_ != m.positionsVersion) {
        double bound = 0;
        auto widen = [&](const Point3D& p) {
            bound = std::max({bound, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
        };
        for (const Point3D& p : m.nodePos) widen(p);
        for (const BeamElement& b : m.beams)
            for (const Point3D& p : b.meshPos) widen(p);
        bound_ = bound;
        boundVersion_ = m.positionsVersion;
    }
    return WindowProjection(view, bound_);
}

void FrameStream::flushNowAndThen(std::size_t vertices) {
    // The software rasteriser keeps all it was given since the last flush in memory until it
    // draws it; flushing after every so many vertices keeps that memory small (about 60 MB less
    // at a million shells).
    constexpr std::size_t kVerticesPerFlush = std::size_t{1} << 17;
    unflushed_ += vertices;
    if (unflushed_ >= kVerticesPerFlush) {
        glFlush();
        unflushed_ = 0;
    }
}

template <class Make, class Draw>
void FrameStream::stream(std::size_t units, std::size_t perBlock, Make make, Draw draw) {
    LitDrawing drawing;
    forEachBlockInOrder(
        blocksOf(units, perBlock), slots_,
        [&](std::size_t b, Block& out) { make(b * perBlock, (b + 1) * perBlock, out); },
        [&](std::size_t, Block& out) {
            const std::size_t vertices = draw(drawing, out);
            if (drawing_) flushNowAndThen(vertices);
        });
}

void FrameStream::drawContours(const ResultModel& m, const ContourSettings& s,
                               const std::vector<double>& levels, const Matrix4& M,
                               const WindowProjection& window) {
    facing_.keyTo(m, s.currentComponent, M);
    stream(
        contourUnitCount(m), kContourUnits,
        [&](std::size_t begin, std::size_t end, Block& out) {
            out.vertices.clear();
            LitTriangleSink sink(out.vertices, window);
            ContourPassRange(m, s, levels, M, sink, begin, end, true, &facing_);
            out.leftOut = sink.leftOut();
        },
        [&](const LitDrawing& drawing, const Block& out) {
            if (drawing_) DrawLitTriangles(drawing, out.vertices.data(), out.vertices.size());
            counts_.triangles += out.vertices.size() / 3;
            counts_.trianglesLeftOut += out.leftOut;
            return out.vertices.size();
        });
}

void FrameStream::drawOutlines(const ResultModel& m, const WindowProjection& window) {
    stream(
        outlineUnitCount(m), kOutlineUnits,
        [&](std::size_t begin, std::size_t end, Block& out) {
            out.lines.clear();
            forEachOutlineIn(m, begin, end, [&](int, OutlineKind kind, std::int32_t index) {
                appendOutline(m, kind, index, window, out.lines);
            });
        },
        [&](const LitDrawing& drawing, const Block& out) {
            if (drawing_) DrawLitSegments(drawing, out.lines);
            counts_.segments += out.lines.indices.size() / 2;
            return out.lines.vertices.size();
        });
}

}  // namespace quillon

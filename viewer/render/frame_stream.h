#pragma once
// The contours and outlines of a frame, made in blocks on both cores and drawn as they come,
// block by block in drawing order, without keeping them: whatever the model's size, a frame
// holds a few blocks of vertices and no more. Triangles that would change no pixel are left out.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewer/contour/contour_fill.h"
#include "viewer/contour/contour_gl.h"
#include "viewer/contour/lit_vertices.h"
#include "viewer/view/window_projection.h"

namespace quillon {

class FrameStream {
  public:
    // What the last frame drew.
    struct Counts {
        std::size_t triangles = 0;         // contour triangles drawn
        std::size_t trianglesLeftOut = 0;  // contour triangles or element parts that cover no
                                           // pixel centre
        std::size_t segments = 0;          // outline segments drawn
    };

    void beginFrame() { counts_ = Counts{}; }
    // The view's window for the model's displayed positions.
    WindowProjection window(const ResultModel& model, const ViewState& view);
    // The contour pass as filled, lit triangles; `levels` as contourLevels makes them.
    void drawContours(const ResultModel& model, const ContourSettings& settings,
                      const std::vector<double>& levels, const Matrix4& M,
                      const WindowProjection& window);
    // The outlines of shells and beam cells as lit segments.
    void drawOutlines(const ResultModel& model, const WindowProjection& window);
    const Counts& counts() const { return counts_; }
    // With false, frames make every block as usual and give OpenGL none of them: the part of a
    // frame that the processor does, for the benchmark. True from the start.
    void setDrawing(bool drawing) { drawing_ = drawing; }

  private:
    struct Block {
        LitVertices vertices;  // contour triangles
        LitLines lines;        // outline segments
        std::size_t leftOut = 0;
    };
    void flushNowAndThen(std::size_t vertices);
    // Units 0 … units − 1 in blocks of perBlock: make(begin, end, block) fills a block on
    // either thread, draw(drawing, block) draws it on this one and gives its vertex count.
    template <class Make, class Draw>
    void stream(std::size_t units, std::size_t perBlock, Make make, Draw draw);

    static constexpr std::size_t kSlots = 8;
    // Kept between frames so that later frames find their memory ready.
    std::vector<Block> slots_ = std::vector<Block>(kSlots);
    Counts counts_;
    std::size_t unflushed_ = 0;
    bool drawing_ = true;
    // The shells' values on the layer facing the viewer, kept while the view does not turn.
    FacingValues facing_;
    // The largest size of a displayed coordinate, for the positions it was found for.
    std::uint64_t boundVersion_ = 0;
    double bound_ = 0;
};

}  // namespace quillon

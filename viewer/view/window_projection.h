#pragma once
// Where model points land in the view's window, in pixels, worked out on the processor from the
// camera: for leaving out of a frame what cannot touch a pixel, and for telling which side of a
// face the viewer sees.
#include <algorithm>
#include <cmath>

#include "viewer/model/result_model.h"
#include "viewer/view/view_state.h"

namespace quillon {

// A point in window coordinates: pixels (x to the right, y upwards) and depth (0 near, 1 far).
struct WindowDepthPoint {
    double x, y, z;
};

class WindowProjection {
  public:
    // `coordinateBound`: no coordinate of a point the projection will see is larger in size.
    WindowProjection(const ViewState& view, double coordinateBound);
    // Window coordinates (x to the right, y upwards, pixel centres at whole numbers plus one
    // half) of a model point.
    double windowX(const Point3D& p) const {
        return ax_[0] * p.x + ax_[1] * p.y + ax_[2] * p.z + ax_[3];
    }
    double windowY(const Point3D& p) const {
        return ay_[0] * p.x + ay_[1] * p.y + ay_[2] * p.z + ay_[3];
    }
    // Window depth, 0 at the near plane and 1 at the far one.
    double windowZ(const Point3D& p) const {
        return az_[0] * p.x + az_[1] * p.y + az_[2] * p.z + az_[3];
    }
    WindowDepthPoint toWindow(const Point3D& p) const {
        return {windowX(p), windowY(p), windowZ(p)};
    }
    // The model-space step that changes a point's window depth by `depth` and leaves where it
    // shows in the window as it is.
    Point3D depthStep(double depth) const {
        const double along = depth * stepPerDepth_;
        Point3D step;
        step.x = along * towardsViewer_[0];
        step.y = along * towardsViewer_[1];
        step.z = along * towardsViewer_[2];
        return step;
    }
    // False only when the triangle certainly covers no pixel centre of the view, so that
    // drawing it would change no pixel. The test allows for OpenGL computing in single
    // precision: a triangle that comes within a small margin of a centre counts as covering it.
    bool mayCoverPixelCentre(const Point3D& a, const Point3D& b, const Point3D& c) const {
        return mayCoverPixelCentre(toWindow(a), toWindow(b), toWindow(c));
    }
    // The same for points already in window coordinates.
    bool mayCoverPixelCentre(const WindowDepthPoint& a, const WindowDepthPoint& b,
                             const WindowDepthPoint& c) const {
        return coversBox(std::min(a.x, std::min(b.x, c.x)), std::max(a.x, std::max(b.x, c.x)),
                         std::min(a.y, std::min(b.y, c.y)), std::max(a.y, std::max(b.y, c.y)));
    }
    // The same for a polygon of 3 or 4 corners: false only when no part of it covers a centre.
    bool mayCoverPixelCentre(const Point3D* const* corners, int count) const {
        double x0 = windowX(*corners[0]), x1 = x0, y0 = windowY(*corners[0]), y1 = y0;
        for (int k = 1; k < count; ++k) {
            const double x = windowX(*corners[k]), y = windowY(*corners[k]);
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
        }
        return coversBox(x0, x1, y0, y1);
    }
    // False only when no line between corners of the polygon (3 or 4 corners) can touch a pixel
    // of the view: a line of one pixel's width reaches no pixel whose centre lies more than
    // half a pixel beyond the box of its ends.
    bool mayTouchWithLines(const WindowDepthPoint* corners, int count) const {
        double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
        for (int k = 1; k < count; ++k) {
            x0 = std::min(x0, corners[k].x);
            x1 = std::max(x1, corners[k].x);
            y0 = std::min(y0, corners[k].y);
            y1 = std::max(y1, corners[k].y);
        }
        constexpr double kLineReach = 1;  // half a pixel, and as much again to spare
        return coversBox(x0 - kLineReach, x1 + kLineReach, y0 - kLineReach, y1 + kLineReach);
    }
    // Whether the face a, b, c turns its front (counter-clockwise side) to the viewer; a face
    // seen edge-on counts as front, as OpenGL counts it.
    bool frontFacing(const Point3D& a, const Point3D& b, const Point3D& c) const {
        return frontFacing(toWindow(a), toWindow(b), toWindow(c));
    }
    static bool frontFacing(const WindowDepthPoint& a, const WindowDepthPoint& b,
                            const WindowDepthPoint& c) {
        return !((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) < 0);
    }

  private:
    // Whether the box x0 … x1, y0 … y1 widened by the margin holds a pixel centre of the view.
    bool coversBox(double x0, double x1, double y0, double y1) const {
        x0 -= margin_;
        x1 += margin_;
        y0 -= margin_;
        y1 += margin_;
        // Whatever is not a finite number is left to OpenGL.
        if (!std::isfinite(x0 + x1 + y0 + y1)) return true;
        return centreBetween(x0, x1, width_) && centreBetween(y0, y1, height_);
    }
    // Whether a whole number i with lo ≤ i + 0.5 ≤ hi lies in 0 … count − 1 (lo, hi finite).
    static bool centreBetween(double lo, double hi, double count) {
        const double from = lo - 0.5, to = hi - 0.5;
        if (to < 0 || from > count - 1) return false;
        // Whole numbers by truncation, which is floor for what is not negative.
        const double last =
            to >= count - 1 ? count - 1 : static_cast<double>(static_cast<long long>(to));
        if (from <= 0) return true;  // 0 is in range and last ≥ 0
        const double below = static_cast<double>(static_cast<long long>(from));
        const double first = below < from ? below + 1 : below;
        return first <= last;
    }
    double ax_[4], ay_[4], az_[4];
    double towardsViewer_[3];  // the model-space direction of the viewer, unit length
    double eyeDepth_;          // far − near
    double stepPerDepth_;      // model units towards the viewer per unit of window depth
    double width_, height_;
    double margin_;  // pixels
};

}  // namespace quillon

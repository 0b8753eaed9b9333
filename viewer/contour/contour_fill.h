#pragma once
// Filled colour bands on shells and beam skins. The geometry is computed here into a sink;
// what the sink does with the pieces (draw them now, keep them for later frames, record them
// in a test) is its own business.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewer/contour/stress_scale.h"
#include "viewer/model/matrix4.h"
#include "viewer/model/result_model.h"

namespace quillon {

constexpr std::int32_t kPickedFillColour = 0x000000FF;  // red

// A piece to be filled: 3 vertices for a band piece, 3 or 4 for a picked element or cell.
struct Polygon3D {
    int count = 0;
    std::array<Point3D, 4> points;
    // Sets the vertices; a count outside 1..4 can only come from a programming fault.
    void setPoints(int n, const Point3D* source);
};

class PieceSink {
  public:
    virtual ~PieceSink() = default;
    // One filled polygon in a 0x00BBGGRR colour, in drawing order.
    virtual void piece(std::int32_t colour, const Polygon3D& polygon) = 0;
    // Whether pieces inside the triangle a, b, c can matter to the sink; when they cannot, the
    // triangle is not cut into bands at all.
    virtual bool mayShow(const Point3D& /*a*/, const Point3D& /*b*/, const Point3D& /*c*/) const {
        return true;
    }
    // Whether pieces inside the face with these corners (3 or 4) can matter to the sink; when
    // they cannot, the element is passed over before anything is worked out for it.
    virtual bool mayShowFace(const Point3D* const* /*corners*/, int /*count*/) const {
        return true;
    }
};

// Unit normal of the face through p0, p1, p2; (0, 0, 1) when the face has no area.
void faceNormal(const Point3D& p0, const Point3D& p1, const Point3D& p2, double n[3]);

// The point on Pa–Pb where the linearly interpolated value equals t. False (and no point)
// when t lies outside both values.
bool FindPointBetweenTwoPointsByphysicalQuantity(const Point3D& Pa, double va, const Point3D& Pb,
                                                 double vb, double t, Point3D& out);

// Cuts one triangle into band pieces, band by band from the lowest. May reorder both arrays.
// A triangle with a value that is not a finite number gives no pieces, nor does one where the
// sink says no piece would show.
void FillTriangleBands(Point3D points[3], double values[3], const std::vector<double>& levels,
                       const std::vector<std::int32_t>& colours, int N, PieceSink& sink);

// Which layer faces the viewer for the face P0, P1, P2 under the model-view matrix M:
// 0 when its normal points towards the viewer, else 1 (also for a face without area).
int facingLayer(const Point3D& p0, const Point3D& p1, const Point3D& p2, const Matrix4& M);
// The same with the model-space direction towards the viewer, (M[2], M[6], M[10]).
int facingLayerAlong(const Point3D& p0, const Point3D& p1, const Point3D& p2,
                     const double direction[3]);

// One component's values at the corners of every shell, on the layer that faces the viewer:
// what the contour pass reads from each shell's block of stresses. They change only with the
// positions, the component, and a turn of the view (which layer faces the viewer), so frames
// that pan, zoom or draw the same view again keep them and read a few values per shell instead
// of its whole block. A shell's values are worked out when first asked for, so that a frame
// reads no more blocks than it did without them.
class FacingValues {
  public:
    // Keys the values to the model's positions, the component and M's direction of view; when
    // any of them changed, every value is forgotten.
    void keyTo(const ResultModel& m, StressComponent component, const Matrix4& M);
    // The corner values of a four-node or a three-node shell. Several threads may ask at once
    // for different shells.
    const double* quad(const ResultModel& m, std::size_t i);
    const double* triangle(const ResultModel& m, std::size_t i);

  private:
    // The values of shell i with n corners, from `values` or worked out into it.
    const double* valuesOf(std::vector<double>& values, std::vector<std::uint8_t>& known,
                           const std::vector<Point3D>& positions,
                           const std::vector<std::int32_t>& nodes,
                           const std::vector<double>& stresses, int n, std::size_t i);
    std::vector<double> quad_, triangle_;
    std::vector<std::uint8_t> quadKnown_, triangleKnown_;
    bool keyed_ = false;
    std::uint64_t version_ = 0;
    StressComponent component_ = kSe;
    double direction_[3] = {0, 0, 0};
};

// The per-element fills. `levels` has colourCount + 1 entries.
void ContourQuad(const ResultModel& model, std::int32_t element, StressComponent component,
                 const std::vector<double>& levels, const Matrix4& M, PieceSink& sink);
void ContourTriangleElement(const ResultModel& model, std::int32_t element,
                            StressComponent component, const std::vector<double>& levels,
                            const Matrix4& M, PieceSink& sink);
void ContourBeam(const ResultModel& model, std::int32_t beam, StressComponent component,
                 const std::vector<double>& levels, const Matrix4& M, PieceSink& sink);
void FillPickedQuad(const ResultModel& model, std::int32_t element, PieceSink& sink);
void FillPickedTriangle(const ResultModel& model, std::int32_t element, PieceSink& sink);
void FillPickedBeam(const ResultModel& model, std::int32_t beam, PieceSink& sink);

// The levels of a contour pass: the component's range over the selection, in colourCount bands.
std::vector<double> contourLevels(const ResultModel& model, StressComponent component);
// The whole contour pass: shells, then beams, in index order; picked elements red, selected
// ones in bands when their values reach into [SL, SR], the rest not at all.
void ContourPass(const ResultModel& model, const ContourSettings& settings,
                 const std::vector<double>& levels, const Matrix4& M, PieceSink& sink);
// The pass cut into units: the four-node shells, then the three-node shells, then the beams,
// one unit each. ContourPassRange does units begin … end − 1 as the whole pass does them.
// `levelsSpanTheSelection`: the levels run from the least to the greatest finite value of the
// selected elements, as contourLevels makes them (which spares reading each shell's range when
// the interval holds them all).
std::size_t contourUnitCount(const ResultModel& model);
// `facing`, when given, is keyed to M and the settings' component; the shells' values are
// taken from it.
void ContourPassRange(const ResultModel& model, const ContourSettings& settings,
                      const std::vector<double>& levels, const Matrix4& M, PieceSink& sink,
                      std::size_t begin, std::size_t end, bool levelsSpanTheSelection,
                      FacingValues* facing = nullptr);

}  // namespace quillon

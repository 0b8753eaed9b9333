#include "viewer/render/svg_picture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <utility>

#include "viewer/contour/contour_gl.h"
#include "viewer/render/mesh_drawing.h"
#include "viewer/view/camera.h"

namespace quillon {
namespace {

// The serif face of labels and legend has a character cell of its Windows ascent and descent
// (1825 + 443 font units, 2048 to the em, the same in Times New Roman and in Liberation Serif,
// which stands in for it): the font size is the em, the baseline lies the ascent below the top.
constexpr double kSerifUnitsPerEm = 2048, kSerifAscent = 1825, kSerifCell = 1825 + 443;
constexpr const char* kSerifFamily = "Times New Roman, serif";

// How far a depth found on the processor may lie from the buffer's for the same surface: the
// buffer keeps 24 bits, OpenGL transforms in single precision, and outline segments lie one step
// of depth or so before their faces. Surfaces that touch closer than this in depth both count
// as seen.
constexpr double kDepthTolerance = 2e-5;
// One step of a 24-bit depth buffer: the fill is pushed back by it (DrawLitTriangles).
constexpr double kDepthStep = 1.0 / 16777216;

void appendNumber(std::string& out, double value) {
    out += svgNumber(value);
}

// The frame's buffers, bottom row first as OpenGL reads them.
struct FrameBuffers {
    int width = 0, height = 0;
    std::vector<float> depth;
    std::vector<std::uint8_t> rgb;

    void read(int w, int h) {
        width = w;
        height = h;
        const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        depth.assign(n, 1.0f);
        rgb.assign(3 * n, 0);
        glFinish();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    }
    std::size_t at(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
    bool shows(int x, int y, double z) const {
        return std::fabs(depth[at(x, y)] - z) <= kDepthTolerance;
    }
    std::int32_t colour(int x, int y) const {
        const std::uint8_t* p = &rgb[3 * at(x, y)];
        return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    }
};

WindowDepthPoint windowPoint(const WindowProjection& window, const LitVertex& v) {
    Point3D p;
    p.x = v.position[0];
    p.y = v.position[1];
    p.z = v.position[2];
    return window.toWindow(p);
}

// Whether the frame shows the triangle somewhere, and the colour it shows it in: the colour of
// the seen pixel farthest inside it, so that no neighbour's edge lends it its colour. `hidden`:
// whether something hides a part of it.
bool seenColour(const FrameBuffers& fb, const WindowDepthPoint& a, const WindowDepthPoint& b,
                const WindowDepthPoint& c, std::int32_t& colour, bool& hidden) {
    hidden = false;
    const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(std::fabs(area) > 0)) return false;
    const double x0 = std::min({a.x, b.x, c.x}), x1 = std::max({a.x, b.x, c.x});
    const double y0 = std::min({a.y, b.y, c.y}), y1 = std::max({a.y, b.y, c.y});
    // Pixel centres i + 0.5 inside the box and the window.
    const int i0 = std::max(0, static_cast<int>(std::ceil(std::max(x0, -1.0) - 0.5)));
    const int i1 = std::min(fb.width - 1, static_cast<int>(std::floor(std::min(x1, 1e9) - 0.5)));
    const int j0 = std::max(0, static_cast<int>(std::ceil(std::max(y0, -1.0) - 0.5)));
    const int j1 = std::min(fb.height - 1, static_cast<int>(std::floor(std::min(y1, 1e9) - 0.5)));
    double best = -1;
    for (int j = j0; j <= j1; ++j)
        for (int i = i0; i <= i1; ++i) {
            const double px = i + 0.5, py = j + 0.5;
            // Barycentric weights; all of them are at least 0 inside.
            const double wa = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) / area;
            const double wb = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) / area;
            const double wc = 1 - wa - wb;
            const double inside = std::min({wa, wb, wc});
            if (inside < -1e-9) continue;
            if (!fb.shows(i, j, wa * a.z + wb * b.z + wc * c.z + kDepthStep)) {
                hidden = true;
                continue;
            }
            if (inside <= best) continue;
            best = inside;
            colour = fb.colour(i, j);
        }
    return best >= -1e-9;
}

// The parts of the segment a → b that the frame shows, as lines of `width` pixels, appended to
// `out`: the segment is followed along its longer direction over the pixel centres it crosses,
// and each run of shown pixels becomes a line in the colour most of its pixels have.
void appendSeenParts(const FrameBuffers& fb, const WindowDepthPoint& a, const WindowDepthPoint& b,
                     int width, std::vector<SvgLine>& out) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const bool alongX = std::fabs(dx) >= std::fabs(dy);
    const double d = alongX ? dx : dy, from = alongX ? a.x : a.y;
    const int limit = alongX ? fb.width : fb.height;
    auto sample = [&](double t, int& i, int& j) {
        const double x = a.x + t * dx, y = a.y + t * dy;
        i = static_cast<int>(std::floor(x));
        j = static_cast<int>(std::floor(y));
        return i >= 0 && j >= 0 && i < fb.width && j < fb.height &&
               fb.shows(i, j, a.z + t * (b.z - a.z));
    };
    auto emit = [&](double t0, double t1, std::vector<std::int32_t>& colours) {
        std::sort(colours.begin(), colours.end());
        std::int32_t colour = colours[0];
        std::size_t most = 0;
        for (std::size_t k = 0, run = 0; k < colours.size(); ++k) {
            run = k > 0 && colours[k] == colours[k - 1] ? run + 1 : 1;
            if (run > most) {
                most = run;
                colour = colours[k];
            }
        }
        colours.clear();
        t0 = std::max(0.0, t0);
        t1 = std::min(1.0, t1);
        const float y0 = static_cast<float>(fb.height - (a.y + t0 * dy));
        const float y1 = static_cast<float>(fb.height - (a.y + t1 * dy));
        out.push_back({static_cast<float>(a.x + t0 * dx), y0, static_cast<float>(a.x + t1 * dx), y1,
                       colour, width});
    };
    std::vector<std::int32_t> colours;
    if (!(std::fabs(d) >= 1)) {
        // Shorter than a pixel: shown whole where its middle is.
        int i, j;
        if (sample(0.5, i, j)) {
            colours.push_back(fb.colour(i, j));
            emit(0, 1, colours);
        }
        return;
    }
    // The pixel centres k + 0.5 between the ends, within the window.
    const double lo = std::min(from, from + d), hi = std::max(from, from + d);
    const int k0 = std::max(0, static_cast<int>(std::ceil(std::max(lo, -1.0) - 0.5)));
    const int k1 = std::min(limit - 1, static_cast<int>(std::floor(std::min(hi, 1e9) - 0.5)));
    const double halfPixel = 0.5 / std::fabs(d);
    double runStart = 0, runEnd = 0;
    for (int k = k0; k <= k1; ++k) {
        const double t = (k + 0.5 - from) / d;
        int i, j;
        if (sample(t, i, j)) {
            if (colours.empty()) runStart = t;
            runEnd = t;
            colours.push_back(fb.colour(i, j));
        } else if (!colours.empty()) {
            emit(std::min(runStart, runEnd) - halfPixel, std::max(runStart, runEnd) + halfPixel,
                 colours);
        }
    }
    if (!colours.empty())
        emit(std::min(runStart, runEnd) - halfPixel, std::max(runStart, runEnd) + halfPixel,
             colours);
}

// The contour triangles the frame shows, far first.
void addFaces(const AppState& s, FrameCaches& caches, const WindowProjection& window,
              const FrameBuffers& fb, std::vector<SvgFace>& out) {
    if (!s.contour.contourOn) return;
    LitVertices vertices;
    LitTriangleSink sink(vertices, window);
    ContourPass(s.model, s.contour, caches.levels.levels(s.model, s.contour.currentComponent),
                s.savedModelView, sink);
    struct Seen {
        bool hidden;
        double depth;
        std::size_t order;
        SvgFace face;
    };
    std::vector<Seen> seen;
    for (std::size_t t = 0; t + 2 < vertices.size(); t += 3) {
        const WindowDepthPoint p[3] = {windowPoint(window, vertices[t]),
                                       windowPoint(window, vertices[t + 1]),
                                       windowPoint(window, vertices[t + 2])};
        std::int32_t colour = 0;
        bool hidden = false;
        if (!seenColour(fb, p[0], p[1], p[2], colour, hidden)) continue;
        SvgFace face{};
        for (int k = 0; k < 3; ++k) {
            face.x[k] = static_cast<float>(p[k].x);
            face.y[k] = static_cast<float>(fb.height - p[k].y);
        }
        face.colour = colour;
        seen.push_back({hidden, p[0].z + p[1].z + p[2].z, t, face});
    }
    // Faces seen whole overlap no other face where they show, so they go over all the faces
    // that something hides in part, and these are ordered far first by their middles. Of faces
    // at one depth OpenGL keeps the first drawn, so it is written last.
    std::sort(seen.begin(), seen.end(), [](const Seen& l, const Seen& r) {
        if (l.hidden != r.hidden) return l.hidden;
        return l.depth != r.depth ? l.depth > r.depth : l.order > r.order;
    });
    out.reserve(seen.size());
    for (const Seen& f : seen) out.push_back(f.face);
}

// The outline segments and node markers the frame shows. Where two lines cover one pixel at the
// same depth OpenGL keeps the first drawn, so lines are written in the reverse of the frame's
// order: the node markers, then the outlines from the last.
void addLines(const AppState& s, const WindowProjection& window, const FrameBuffers& fb,
              std::vector<SvgLine>& out) {
    const ResultModel& m = s.model;
    std::vector<NodeMarker> markers;
    forEachNodeMarker(m, [&](const NodeMarker& marker) { markers.push_back(marker); });
    for (auto it = markers.rbegin(); it != markers.rend(); ++it) {
        for (int k = kWireSphereRings; k >= 1; --k) {
            double ring[kWireSphereSegments][2];
            const double height = wireSphereRing(it->radius, k, ring);
            WindowDepthPoint points[kWireSphereSegments];
            for (int j = 0; j < kWireSphereSegments; ++j) {
                Point3D p;
                p.x = it->centre.x + ring[j][0];
                p.y = it->centre.y + ring[j][1];
                p.z = it->centre.z + height;
                points[j] = window.toWindow(p);
            }
            for (int j = kWireSphereSegments - 1; j >= 0; --j)
                appendSeenParts(fb, points[j], points[(j + 1) % kWireSphereSegments], it->lineWidth,
                                out);
        }
    }
    LitLines outlines;
    forEachOutline(m, [&](int, OutlineKind kind, std::int32_t index) {
        appendOutline(m, kind, index, window, outlines);
    });
    for (std::size_t k = outlines.indices.size(); k >= 2; k -= 2)
        appendSeenParts(fb, windowPoint(window, outlines.vertices[outlines.indices[k - 2]]),
                        windowPoint(window, outlines.vertices[outlines.indices[k - 1]]), 1, out);
}

}  // namespace

std::string svgNumber(double value) {
    constexpr double kLargest = 1e12;  // tenths; far beyond any window
    const double tenths = std::round(std::clamp(value, -kLargest, kLargest) * 10);
    long long n = static_cast<long long>(tenths);
    std::string out;
    if (n < 0) {
        out += '-';
        n = -n;
    }
    out += std::to_string(n / 10);
    if (n % 10 != 0) {
        out += '.';
        out += static_cast<char>('0' + n % 10);
    }
    return out;
}

std::string svgColour(std::int32_t colour) {
    const int rgb[3] = {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF};
    static const char kHex[] = "0123456789abcdef";
    const bool shortForm = rgb[0] % 17 == 0 && rgb[1] % 17 == 0 && rgb[2] % 17 == 0;
    std::string out = "#";
    for (int c : rgb) {
        out += kHex[c >> 4];
        if (!shortForm) out += kHex[c & 0xF];
    }
    return out;
}

std::string svgEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        switch (ch) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                if (static_cast<unsigned char>(ch) >= 0x20 || ch == '\t' || ch == '\n' ||
                    ch == '\r')
                    out += ch;
        }
    }
    return out;
}

std::string SvgDocument(const SvgScene& scene) {
    std::string out;
    out.reserve(256 + 48 * scene.faces.size() + 24 * scene.lines.size());
    const std::string w = std::to_string(scene.width), h = std::to_string(scene.height);
    // Edges without smoothing, as the frame draws them: faces that meet leave no seam.
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
        w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
        "\" shape-rendering=\"crispEdges\">\n<rect width=\"" + w + "\" height=\"" + h + "\"/>\n";
    auto point = [&](double x, double y) {
        appendNumber(out, x);
        out += ' ';
        appendNumber(out, y);
    };
    for (std::size_t k = 0; k < scene.faces.size(); ++k) {
        const SvgFace& f = scene.faces[k];
        if (k == 0 || scene.faces[k - 1].colour != f.colour)
            out += "<path fill=\"" + svgColour(f.colour) + "\" d=\"";
        out += 'M';
        point(f.x[0], f.y[0]);
        out += ' ';
        point(f.x[1], f.y[1]);
        out += ' ';
        point(f.x[2], f.y[2]);
        out += 'z';
        if (k + 1 == scene.faces.size() || scene.faces[k + 1].colour != f.colour) out += "\"/>\n";
    }
    if (!scene.lines.empty()) out += "<g fill=\"none\">\n";
    for (std::size_t k = 0; k < scene.lines.size(); ++k) {
        const SvgLine& l = scene.lines[k];
        auto sameStroke = [&](const SvgLine& o) {
            return o.colour == l.colour && o.width == l.width;
        };
        if (k == 0 || !sameStroke(scene.lines[k - 1])) {
            out += "<path stroke=\"" + svgColour(l.colour) + "\"";
            if (l.width != 1) out += " stroke-width=\"" + std::to_string(l.width) + "\"";
            out += " d=\"";
        }
        out += 'M';
        point(l.x0, l.y0);
        out += ' ';
        point(l.x1, l.y1);
        if (k + 1 == scene.lines.size() || !sameStroke(scene.lines[k + 1])) out += "\"/>\n";
    }
    if (!scene.lines.empty()) out += "</g>\n";
    if (!scene.overlays.empty()) out += std::string("<g font-family=\"") + kSerifFamily + "\">\n";
    for (const SvgOverlay& o : scene.overlays) {
        if (o.isText) {
            const double fontSize = o.height * kSerifUnitsPerEm / kSerifCell;
            const long baseline = o.y + std::lround(o.height * kSerifAscent / kSerifCell);
            out += "<text x=\"" + std::to_string(o.x) + "\" y=\"" + std::to_string(baseline) +
                   "\" fill=\"" + svgColour(o.colour) + "\" font-size=\"" + svgNumber(fontSize) +
                   "\">" + svgEscape(o.text) + "</text>\n";
        } else if (o.right - o.x > 2 && o.bottom - o.y > 2) {
            // The frame's stroke runs along the middle of the edge pixels.
            out += "<rect x=\"" + std::to_string(o.x) + ".5\" y=\"" + std::to_string(o.y) +
                   ".5\" width=\"" + std::to_string(o.right - o.x - 1) + "\" height=\"" +
                   std::to_string(o.bottom - o.y - 1) + "\" fill=\"" + svgColour(o.colour) +
                   "\" stroke=\"#000\"/>\n";
        } else if (o.right > o.x && o.bottom > o.y) {
            out += "<rect x=\"" + std::to_string(o.x) + "\" y=\"" + std::to_string(o.y) +
                   "\" width=\"" + std::to_string(o.right - o.x) + "\" height=\"" +
                   std::to_string(o.bottom - o.y) + "\"/>\n";
        }
    }
    if (!scene.overlays.empty()) out += "</g>\n";
    out += "</svg>\n";
    return out;
}

void SvgOverlayCanvas::fillRect(int left, int top, int right, int bottom, std::int32_t colour) {
    out_.push_back({false, left, top, right, bottom, {}, colour, 0});
}

void SvgOverlayCanvas::text(int x, int y, const std::string& text, std::int32_t colour, int height,
                            int /*width*/) {
    out_.push_back({true, x, y, 0, 0, text, colour, height});
}

SvgScene CaptureSvgScene(AppState& s, FrameCaches& caches) {
    SvgScene scene;
    scene.width = static_cast<int>(s.view.W);
    scene.height = static_cast<int>(s.view.H);
    // The contours alone, for the faces: no outline hides their colour or their depth.
    FrameBuffers fb;
    {
        const WindowProjection window = BeginScene(s, caches);
        if (s.contour.contourOn) DrawContours(s, caches, window);
        fb.read(scene.width, scene.height);
        addFaces(s, caches, window, fb, scene.faces);
    }
    // The whole frame, for the lines.
    RenderScene(s, caches);
    fb.read(scene.width, scene.height);
    addLines(s, caches.stream.window(s.model, s.view), fb, scene.lines);
    SvgOverlayCanvas canvas(scene.overlays);
    PaintOverlays(s, caches, canvas);
    return scene;
}

std::string SvgPicture(AppState& state, int width, int height) {
    if (!state.modelLoaded || width <= 0 || height <= 0) return {};
    const ViewState kept = state.view;
    const Matrix4 keptModelView = state.savedModelView;
    if (state.view.W != width || state.view.H != height) {
        state.view.W = width;
        state.view.H = height;
        applyCamera(state.view);
    }
    FrameCaches caches;
    std::string svg = SvgDocument(CaptureSvgScene(state, caches));
    state.view = kept;
    state.savedModelView = keptModelView;
    return svg;
}

}  // namespace quillon

// The bundled example was made with
//   quillon_example_gen --nx 24 --ny 16 --seed 1 -o examples/Quillon_AverageStrs.txt
//
// The model: a rectangular steel plate of four-node shells in the plane z = 0, its last row of
// cells split into three-node shells, simply supported on all edges and loaded by a uniform
// pressure from above. Stiffeners run below it along a few grid lines in x and in y; each beam
// element spans one cell edge and carries a thin box or T section (alternating between
// stiffeners) as its surface mesh. Units: mm, N, MPa.
//
// The deflection w(x, y) is the double sine series of the simply supported plate under uniform
// pressure (odd m, n up to 5), scaled to a peak sag of min(a, b)/600. Plate and stiffeners bend
// together about a neutral plane kZNeutral below the plate's mid-plane, so that the plate also
// carries a membrane stress and the stiffeners' flanges go into tension at mid-span.
// Stresses are in each element's own axes (x along its first edge); Sz is 0 everywhere.
#include "examples/example_gen.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>
#include <string_view>
#include <vector>

namespace quillon::examples {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kE = 210000.0;  // MPa
constexpr double kNu = 0.3;
constexpr double kT = 12.0;                                            // plate thickness, mm
constexpr double kD = kE * kT * kT * kT / (12.0 * (1.0 - kNu * kNu));  // plate stiffness, N mm
constexpr double kZNeutral = -25.0;                                    // mm
constexpr double kZPlateBottom = -0.5 * kT;

// Noise domains, so that no two perturbations share their random number.
enum NoiseDomain : std::uint64_t {
    kNodePosition = 0,
    kNodeDisp = 16,
    kNodeStress = 32,
    kMeshDisp = 64,
    kCellStress = 80,
};

// Deterministic noise in [-1, 1) from the seed, an entity number and a component number
// (the finaliser of splitmix64).
double Noise(std::uint64_t seed, std::uint64_t id, std::uint64_t k) {
    std::uint64_t z =
        (seed * 0x9E3779B97F4A7C15ull) ^
        (id * 0xD1B54A32D192ED03ull + k * 0xABC98388FB8FAC03ull + 0x8CB92BA72F3D8DD7ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-52 - 1.0;
}

// w and the derivatives the stresses need at one point.
struct Deflection {
    double w = 0, wx = 0, wy = 0, wxx = 0, wyy = 0, wxy = 0, wxxx = 0, wyyy = 0;
    double lapX = 0, lapY = 0;  // d/dx and d/dy of the Laplacian of w
};

constexpr int kTerms = 3;  // m, n = 1, 3, 5

struct Series {
    double a = 0, b = 0;
    double coef[kTerms][kTerms] = {};  // includes the amplitude
};

Series MakeSeries(double a, double b) {
    Series s;
    s.a = a;
    s.b = b;
    double centre = 0;
    for (int i = 0; i < kTerms; ++i) {
        for (int j = 0; j < kTerms; ++j) {
            double m = 2 * i + 1, n = 2 * j + 1;
            double k = m * m / (a * a) + n * n / (b * b);
            s.coef[i][j] = 1.0 / (m * n * k * k);
            centre += s.coef[i][j] * ((i + j) % 2 == 0 ? 1.0 : -1.0);
        }
    }
    double amplitude = -std::min(a, b) / 600.0 / centre;  // sag downwards
    for (auto& row : s.coef)
        for (double& c : row) c *= amplitude;
    return s;
}

// sin(k pi t) and cos(k pi t) for k = 1, 3, 5. Past the middle the angle is taken from the far
// end (sin(k pi t) = sin(k pi (1 - t)) and cos(k pi t) = -cos(k pi (1 - t)) for odd k), so that
// w is exactly 0 on both supports.
void OddMultiples(double t, double (&s)[kTerms], double (&c)[kTerms]) {
    bool far = t > 0.5;
    double angle = kPi * (far ? 1.0 - t : t);
    double s1 = std::sin(angle), c1 = std::cos(angle);
    double sPrev = 0, cPrev = 1, sk = s1, ck = c1;
    for (int k = 1; k <= 2 * kTerms - 1; ++k) {
        if (k % 2 == 1) {
            s[k / 2] = sk;
            c[k / 2] = ck;
        }
        double sNext = 2 * c1 * sk - sPrev, cNext = 2 * c1 * ck - cPrev;
        sPrev = sk;
        cPrev = ck;
        sk = sNext;
        ck = cNext;
    }
    if (far)
        for (double& v : c) v = -v;
}

Deflection Evaluate(const Series& s, double x, double y) {
    double sx[kTerms], cx[kTerms], sy[kTerms], cy[kTerms];
    OddMultiples(x / s.a, sx, cx);
    OddMultiples(y / s.b, sy, cy);
    Deflection d;
    for (int i = 0; i < kTerms; ++i) {
        double al = (2 * i + 1) * kPi / s.a;
        for (int j = 0; j < kTerms; ++j) {
            double be = (2 * j + 1) * kPi / s.b;
            double c = s.coef[i][j];
            double ss = c * sx[i] * sy[j], cs = c * cx[i] * sy[j];
            double sc = c * sx[i] * cy[j], cc = c * cx[i] * cy[j];
            double k = al * al + be * be;
            d.w += ss;
            d.wx += al * cs;
            d.wy += be * sc;
            d.wxx -= al * al * ss;
            d.wyy -= be * be * ss;
            d.wxy += al * be * cc;
            d.wxxx -= al * al * al * cs;
            d.wyyy -= be * be * be * sc;
            d.lapX -= k * al * cs;
            d.lapY -= k * be * sc;
        }
    }
    return d;
}

// Translations and rotations of a point at height z that follows the plate.
void Displacement(const Deflection& d, double z, double (&u)[6]) {
    double lever = z - kZNeutral;
    u[0] = -lever * d.wx;
    u[1] = -lever * d.wy;
    u[2] = d.w;
    u[3] = d.wy;
    u[4] = -d.wx;
    u[5] = 0;
}

struct SectionPoint {
    double n, z;  // across the beam (in the plate's plane) and height
};
struct Wall {
    int p, q;
    bool vertical;
};
struct Section {
    std::span<const SectionPoint> points;
    std::span<const Wall> walls;
};

// A closed box 80 wide and 100 deep under the plate: four walls.
constexpr SectionPoint kBoxPoints[] = {{-40, kZPlateBottom},
                                       {40, kZPlateBottom},
                                       {40, kZPlateBottom - 100},
                                       {-40, kZPlateBottom - 100}};
constexpr Wall kBoxWalls[] = {{0, 1, false}, {1, 2, true}, {2, 3, false}, {3, 0, true}};
// A T: web 150 deep in two cells, flange 100 wide in two cells.
constexpr SectionPoint kTPoints[] = {{0, kZPlateBottom},
                                     {0, kZPlateBottom - 75},
                                     {0, kZPlateBottom - 150},
                                     {-50, kZPlateBottom - 150},
                                     {50, kZPlateBottom - 150}};
constexpr Wall kTWalls[] = {{0, 1, true}, {1, 2, true}, {3, 2, false}, {2, 4, false}};

constexpr Section kBox{kBoxPoints, kBoxWalls};
constexpr Section kTee{kTPoints, kTWalls};

struct Stiffener {
    bool alongX;  // along a grid line of constant y
    int line;     // grid row (alongX) or column
    const Section* section;
};

// Rows every ny/4 cells (at least every second one) and columns at a third and two thirds of
// the plate; box and T sections alternate.
std::vector<Stiffener> MakeStiffeners(int nx, int ny) {
    std::vector<Stiffener> out;
    int step = std::max(2, ny / 4);
    for (int j = step; j < ny; j += step) out.push_back({true, j, nullptr});
    int lastColumn = 0;
    for (double f : {1.0 / 3.0, 2.0 / 3.0}) {
        int i = static_cast<int>(std::lround(nx * f));
        if (i > lastColumn && i < nx) out.push_back({false, i, nullptr});
        lastColumn = std::max(lastColumn, i);
    }
    for (std::size_t k = 0; k < out.size(); ++k) out[k].section = k % 2 == 0 ? &kBox : &kTee;
    return out;
}

struct Plate {
    int nx = 0, ny = 0;
    double h = 0;  // cell size
    std::uint64_t seed = 0;
    Series series;
    std::vector<Stiffener> stiffeners;

    std::int64_t node(int i, int j) const { return std::int64_t{j} * (nx + 1) + i; }

    // Interior nodes are moved a little in the plane; edge nodes stay on the supports.
    void position(int i, int j, double& x, double& y) const {
        x = i * h;
        y = j * h;
        if (i > 0 && i < nx && j > 0 && j < ny) {
            auto id = static_cast<std::uint64_t>(node(i, j));
            x += 0.02 * h * Noise(seed, id, kNodePosition);
            y += 0.02 * h * Noise(seed, id, kNodePosition + 1);
        }
    }
};

Plate MakePlate(const ExampleOptions& o) {
    Plate p;
    p.nx = o.nx;
    p.ny = o.ny;
    int longest = std::max(o.nx, o.ny);
    p.h = longest <= 120 ? 100.0 : 12000.0 / longest;  // plates stay within 12 m
    p.seed = o.seed;
    p.series = MakeSeries(o.nx * p.h, o.ny * p.h);
    p.stiffeners = MakeStiffeners(o.nx, o.ny);
    return p;
}

// Buffered output in large blocks.
class BlockWriter {
  public:
    static constexpr std::size_t kBlock = std::size_t{8} << 20;

    explicit BlockWriter(std::FILE* f) : file_(f), buf_(kBlock) {}

    // A pointer with room for at least n bytes; advance() says how many were used.
    char* room(std::size_t n) {
        if (used_ + n > buf_.size()) flush();
        if (n > buf_.size()) buf_.resize(n);
        return buf_.data() + used_;
    }
    void advance(const char* end) { used_ = static_cast<std::size_t>(end - buf_.data()); }
    void put(std::string_view s) {
        char* p = room(s.size());
        std::memcpy(p, s.data(), s.size());
        used_ += s.size();
    }
    void flush() {
        if (used_ > 0 && ok_ && std::fwrite(buf_.data(), 1, used_, file_) != used_) {
            ok_ = false;
            errno_ = errno;
        }
        total_ += used_;
        used_ = 0;
    }
    bool finish() {
        flush();
        if (ok_ && std::fflush(file_) != 0) {
            ok_ = false;
            errno_ = errno;
        }
        return ok_;
    }
    int error() const { return errno_; }
    std::uint64_t total() const { return total_ + used_; }

  private:
    std::FILE* file_;
    std::vector<char> buf_;
    std::size_t used_ = 0;
    std::uint64_t total_ = 0;
    bool ok_ = true;
    int errno_ = 0;
};

constexpr std::size_t kLineRoom = 160;  // the longest line: 7 values of at most 14 characters

char* PutInt(char* p, std::int64_t v) {
    return std::to_chars(p, p + 24, v).ptr;
}
// + 0.0 turns a negative zero into zero.
char* PutCoord(char* p, double v) {
    return std::to_chars(p, p + 32, v + 0.0, std::chars_format::general, 10).ptr;
}
char* PutValue(char* p, double v) {
    return std::to_chars(p, p + 32, v + 0.0, std::chars_format::scientific, 6).ptr;
}

char* PutValueLine(char* p, std::span<const double> values) {
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (k > 0) *p++ = ',';
        p = PutValue(p, values[k]);
    }
    *p++ = '\n';
    return p;
}

void PutCountLine(BlockWriter& out, std::string_view key, std::int64_t n) {
    char* p = out.room(kLineRoom);
    std::memcpy(p, key.data(), key.size());
    p = PutInt(p + key.size(), n);
    *p++ = '\n';
    out.advance(p);
}

char* PutXYZ(char* p, double x, double y, double z) {
    p = PutCoord(p, x);
    *p++ = ',';
    p = PutCoord(p, y);
    *p++ = ',';
    return PutCoord(p, z);
}

void PutCoordLine(BlockWriter& out, double x, double y, double z) {
    char* p = PutXYZ(out.room(kLineRoom), x, y, z);
    *p++ = '\n';
    out.advance(p);
}

// A point line of a beam record: KEY(x,y,z)
void PutBeamEndLine(BlockWriter& out, std::string_view key, double x, double y, double z) {
    char* p = out.room(kLineRoom);
    std::memcpy(p, key.data(), key.size());
    p = PutXYZ(p + key.size(), x, y, z);
    *p++ = ')';
    *p++ = '\n';
    out.advance(p);
}

void PutIndexLine(BlockWriter& out, std::span<const std::int64_t> nodes) {
    char* p = out.room(kLineRoom);
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        if (k > 0) *p++ = ',';
        p = PutInt(p, nodes[k]);
    }
    *p++ = '\n';
    out.advance(p);
}

void PutDispLine(BlockWriter& out, double (&u)[6], std::uint64_t seed, std::uint64_t id,
                 std::uint64_t domain) {
    for (int k = 0; k < 6; ++k) u[k] *= 1.0 + 0.001 * Noise(seed, id, domain + k);
    out.advance(PutValueLine(out.room(kLineRoom), u));
}

// One stress line: the six components, then their equivalent stress.
char* PutStressLine(char* p, const double (&s)[6]) {
    double line[7];
    std::copy(s, s + 6, line);
    line[6] = VonMises(s);
    return PutValueLine(p, line);
}

void AddNoise(double (&s)[6], std::uint64_t seed, std::uint64_t id, std::uint64_t domain) {
    // In-plane components by up to 0.2 MPa, transverse shears by up to 0.005 MPa; Sz stays 0.
    constexpr double amount[6] = {0.2, 0.2, 0, 0.2, 0.005, 0.005};
    for (int k = 0; k < 6; ++k)
        if (amount[k] > 0) s[k] += amount[k] * Noise(seed, id, domain + k);
}

// Plate stresses at one node, layer 0 the top face and layer 1 the bottom face: the bending
// stresses 6M/t^2 of opposite sign, the membrane stress of bending about kZNeutral, and the
// transverse shears from the shear forces.
void PlateStress(const Deflection& d, double (&layer)[2][6]) {
    double mx = -kD * (d.wxx + kNu * d.wyy);
    double my = -kD * (d.wyy + kNu * d.wxx);
    double mxy = -kD * (1 - kNu) * d.wxy;
    double sxM = kE / (1 - kNu * kNu) * kZNeutral * (d.wxx + kNu * d.wyy);
    double syM = kE / (1 - kNu * kNu) * kZNeutral * (d.wyy + kNu * d.wxx);
    double txyM = kE / (1 + kNu) * kZNeutral * d.wxy;
    double txz = 1.5 * (-kD * d.lapX) / kT;
    double tyz = 1.5 * (-kD * d.lapY) / kT;
    for (int l = 0; l < 2; ++l) {
        double sign = l == 0 ? 1.0 : -1.0;
        double f = sign * 6.0 / (kT * kT);
        layer[l][0] = sxM + f * mx;
        layer[l][1] = syM + f * my;
        layer[l][2] = 0;
        layer[l][3] = txyM + f * mxy;
        layer[l][4] = txz;
        layer[l][5] = tyz;
    }
}

// Stresses of one beam wall at one mesh point, in the cell's axes (x along the beam): the
// beam's bending stress, the shear flow of its shear force, and a small local bending of the
// wall itself, of opposite sign in the two layers.
void BeamWallStress(const Deflection& d, double z, bool alongX, bool vertical,
                    double (&layer)[2][6]) {
    double wss = alongX ? d.wxx : d.wyy;
    double wsss = alongX ? d.wxxx : d.wyyy;
    double axial = -kE * (z - kZNeutral) * wss;
    double shear = -kE * (vertical ? 1.0e4 : 2.0e3) * wsss;
    double local = 0.08 * std::abs(axial) + 1.5;
    for (int l = 0; l < 2; ++l) {
        double wall = l == 0 ? local : -local;
        layer[l][0] = axial + kNu * wall;
        layer[l][1] = wall;
        layer[l][2] = 0;
        layer[l][3] = shear;
        layer[l][4] = 0;
        layer[l][5] = 0;
    }
}

// The two stress lines of every node of one grid row, formatted once: averaged nodal stresses
// are the same in every element that shares the node.
struct RowText {
    std::vector<char> text;
    std::vector<std::size_t> start;  // node i's lines are text[start[i], start[i + 1])

    std::string_view node(int i) const { return {text.data() + start[i], start[i + 1] - start[i]}; }
};

void FormatStressRow(const Plate& plate, int j, RowText& row) {
    row.text.resize(static_cast<std::size_t>(plate.nx + 1) * 2 * kLineRoom);
    row.start.assign(1, 0);
    char* p = row.text.data();
    for (int i = 0; i <= plate.nx; ++i) {
        double x, y;
        plate.position(i, j, x, y);
        double layer[2][6];
        PlateStress(Evaluate(plate.series, x, y), layer);
        auto id = static_cast<std::uint64_t>(plate.node(i, j));
        for (int l = 0; l < 2; ++l) {
            AddNoise(layer[l], plate.seed, id, kNodeStress + 8 * l);
            p = PutStressLine(p, layer[l]);
        }
        row.start.push_back(static_cast<std::size_t>(p - row.text.data()));
    }
}

void PutElement(BlockWriter& out, std::span<const std::int64_t> nodes,
                std::span<const std::string_view> stressText) {
    PutIndexLine(out, nodes);
    for (std::string_view s : stressText) out.put(s);
}

void WriteNodes(const Plate& plate, BlockWriter& out) {
    PutCountLine(out, "NPOIN=", plate.node(plate.nx, plate.ny) + 1);
    for (int j = 0; j <= plate.ny; ++j) {
        for (int i = 0; i <= plate.nx; ++i) {
            double x, y;
            plate.position(i, j, x, y);
            PutCoordLine(out, x, y, 0.0);
        }
    }
    for (int j = 0; j <= plate.ny; ++j) {
        for (int i = 0; i <= plate.nx; ++i) {
            double x, y, u[6];
            plate.position(i, j, x, y);
            Displacement(Evaluate(plate.series, x, y), 0.0, u);
            PutDispLine(out, u, plate.seed, static_cast<std::uint64_t>(plate.node(i, j)),
                        kNodeDisp);
        }
    }
}

// Four-node shells on every row of cells but the last, three-node shells (two per cell) on the
// last; node order counter-clockwise seen from above.
void WriteShells(const Plate& plate, BlockWriter& out) {
    RowText lower, upper;
    FormatStressRow(plate, 0, lower);
    FormatStressRow(plate, 1, upper);
    PutCountLine(out, "NELEM_S_4ND=", std::int64_t{plate.nx} * (plate.ny - 1));
    for (int j = 0; j + 1 < plate.ny; ++j) {
        if (j > 0) {
            std::swap(lower, upper);
            FormatStressRow(plate, j + 1, upper);
        }
        for (int i = 0; i < plate.nx; ++i) {
            const std::int64_t nodes[4] = {plate.node(i, j), plate.node(i + 1, j),
                                           plate.node(i + 1, j + 1), plate.node(i, j + 1)};
            const std::string_view text[4] = {lower.node(i), lower.node(i + 1), upper.node(i + 1),
                                              upper.node(i)};
            PutElement(out, nodes, text);
        }
    }
    int j = plate.ny - 1;
    if (j > 0) {
        std::swap(lower, upper);
        FormatStressRow(plate, j + 1, upper);
    }
    PutCountLine(out, "NELEM_S_3ND=", std::int64_t{2} * plate.nx);
    for (int i = 0; i < plate.nx; ++i) {
        const std::int64_t first[3] = {plate.node(i, j), plate.node(i + 1, j),
                                       plate.node(i + 1, j + 1)};
        const std::string_view firstText[3] = {lower.node(i), lower.node(i + 1), upper.node(i + 1)};
        PutElement(out, first, firstText);
        const std::int64_t second[3] = {plate.node(i, j), plate.node(i + 1, j + 1),
                                        plate.node(i, j + 1)};
        const std::string_view secondText[3] = {lower.node(i), upper.node(i + 1), upper.node(i)};
        PutElement(out, second, secondText);
    }
}

struct BeamIds {
    std::int64_t number = 0;      // BEI of the next beam
    std::uint64_t meshPoint = 0;  // over all beams, for the noise
    std::uint64_t cellNode = 0;
};

// One beam element from plate node (i0, j0) to (i1, j1) with its surface mesh: the section's
// points at the start, then at the end; one cell per wall, its first edge along the beam.
void WriteBeam(const Plate& plate, const Stiffener& st, int i0, int j0, int i1, int j1,
               BeamIds& ids, BlockWriter& out) {
    double ax, ay, bx, by;
    plate.position(i0, j0, ax, ay);
    plate.position(i1, j1, bx, by);
    double len = std::hypot(bx - ax, by - ay);
    double ex = (bx - ax) / len, ey = (by - ay) / len;
    const Section& sec = *st.section;
    const auto np = static_cast<int>(sec.points.size());

    PutCountLine(out, "BEI=", ids.number++);
    PutBeamEndLine(out, "SND(", ax, ay, 0.0);
    PutBeamEndLine(out, "END(", bx, by, 0.0);
    PutCountLine(out, "NPOIN=", 2 * np);

    struct MeshPoint {
        double x, y, z;
        Deflection d;
    };
    std::array<MeshPoint, 16> pts;
    for (int e = 0; e < 2; ++e) {
        for (int k = 0; k < np; ++k) {
            const SectionPoint& sp = sec.points[k];
            MeshPoint& m = pts[e * np + k];
            m.x = (e == 0 ? ax : bx) - ey * sp.n;
            m.y = (e == 0 ? ay : by) + ex * sp.n;
            m.z = sp.z;
            m.d = Evaluate(plate.series, m.x, m.y);
            PutCoordLine(out, m.x, m.y, m.z);
        }
    }
    for (int k = 0; k < 2 * np; ++k) {
        double u[6];
        Displacement(pts[k].d, pts[k].z, u);
        PutDispLine(out, u, plate.seed, ids.meshPoint++, kMeshDisp);
    }

    PutCountLine(out, "NELEM=", static_cast<std::int64_t>(sec.walls.size()));
    for (const Wall& w : sec.walls) {
        const std::int64_t nodes[4] = {w.p, np + w.p, np + w.q, w.q};
        PutIndexLine(out, nodes);
        for (std::int64_t n : nodes) {
            const MeshPoint& m = pts[n];
            double layer[2][6];
            BeamWallStress(m.d, m.z, st.alongX, w.vertical, layer);
            char* p = out.room(2 * kLineRoom);
            for (int l = 0; l < 2; ++l) {
                AddNoise(layer[l], plate.seed, ids.cellNode, kCellStress + 8 * l);
                p = PutStressLine(p, layer[l]);
            }
            out.advance(p);
            ++ids.cellNode;
        }
    }
}

void WriteBeams(const Plate& plate, std::int64_t beamCount, std::int64_t firstNumber,
                BlockWriter& out) {
    PutCountLine(out, "NELEM_B=", beamCount);
    BeamIds ids;
    ids.number = firstNumber;
    for (const Stiffener& st : plate.stiffeners) {
        int segments = st.alongX ? plate.nx : plate.ny;
        for (int s = 0; s < segments; ++s) {
            if (st.alongX)
                WriteBeam(plate, st, s, st.line, s + 1, st.line, ids, out);
            else
                WriteBeam(plate, st, st.line, s, st.line, s + 1, ids, out);
        }
    }
}

bool ValidSize(const ExampleOptions& o, std::string& error) {
    if (o.nx < 1 || o.ny < 1) {
        error = "the plate needs at least one cell in each direction";
        return false;
    }
    if ((std::int64_t{o.nx} + 1) * (std::int64_t{o.ny} + 1) >
        std::numeric_limits<std::int32_t>::max()) {
        error = "too many nodes for 32-bit node numbers";
        return false;
    }
    return true;
}

}  // namespace

double VonMises(const double s[6]) {
    double dxy = s[0] - s[1], dyz = s[1] - s[2], dzx = s[2] - s[0];
    return std::sqrt(0.5 * (dxy * dxy + dyz * dyz + dzx * dzx) +
                     3.0 * (s[3] * s[3] + s[4] * s[4] + s[5] * s[5]));
}

ExampleCounts PlannedCounts(const ExampleOptions& o) {
    ExampleCounts c;
    c.nodes = (std::int64_t{o.nx} + 1) * (o.ny + 1);
    c.quads = std::int64_t{o.nx} * (o.ny - 1);
    c.tris = std::int64_t{2} * o.nx;
    for (const Stiffener& st : MakeStiffeners(o.nx, o.ny)) {
        std::int64_t n = st.alongX ? o.nx : o.ny;
        c.beams += n;
        c.beamMeshPoints += n * 2 * static_cast<std::int64_t>(st.section->points.size());
        c.beamCells += n * static_cast<std::int64_t>(st.section->walls.size());
    }
    return c;
}

bool WriteExample(const ExampleOptions& options, std::FILE* out, ExampleCounts& counts,
                  std::string& error) {
    if (!ValidSize(options, error)) return false;
    Plate plate = MakePlate(options);
    counts = PlannedCounts(options);
    BlockWriter writer(out);
    WriteNodes(plate, writer);
    WriteShells(plate, writer);
    // Beam numbers follow the shells' numbers, as an analysis program would number them.
    WriteBeams(plate, counts.beams, counts.quads + counts.tris + 1, writer);
    counts.bytes = writer.total();
    if (!writer.finish()) {
        error = std::string("writing failed: ") + std::strerror(writer.error());
        return false;
    }
    return true;
}

const char* UsageText() {
    return "usage: quillon_example_gen [--nx N] [--ny N] [--shells N] [--seed N] [-o PATH]\n"
           "Writes an average-stress result file: a stiffened steel plate under pressure\n"
           "(mm, N, MPa).\n"
           "  --nx N, --ny N  plate cells along x and y (default 24 and 16); the last row of\n"
           "                  cells is split into three-node shells\n"
           "  --shells N      nx = ny = the integer nearest to the square root of N\n"
           "  --seed N        seed of the small perturbations of positions and values "
           "(default 1)\n"
           "  -o PATH         output file (default: standard output)\n"
           "  --help          this text\n";
}

namespace {

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& cl, std::string& error) {
    for (int k = 1; k < argc; ++k) {
        std::string_view arg = argv[k];
        if (arg == "--help" || arg == "-h") {
            cl.help = true;
            continue;
        }
        if (arg != "--nx" && arg != "--ny" && arg != "--shells" && arg != "--seed" && arg != "-o") {
            error = "unknown option " + std::string(arg);
            return false;
        }
        if (k + 1 >= argc) {
            error = std::string(arg) + " needs a value";
            return false;
        }
        std::string_view value = argv[++k];
        int n = 0;
        std::int64_t shells = 0;
        if (arg == "-o") {
            cl.outPath = value;
        } else if (arg == "--seed") {
            if (!ParseNumber(value, cl.options.seed)) {
                error = "--seed needs a non-negative integer, not " + std::string(value);
                return false;
            }
        } else if (arg == "--shells") {
            if (!ParseNumber(value, shells) || shells < 1) {
                error = "--shells needs a positive integer, not " + std::string(value);
                return false;
            }
            long side = std::max(1L, std::lround(std::sqrt(static_cast<double>(shells))));
            if (side > 100000) {
                error = "--shells " + std::string(value) + " is too many";
                return false;
            }
            cl.options.nx = cl.options.ny = static_cast<int>(side);
        } else {
            if (!ParseNumber(value, n) || n < 1) {
                error = std::string(arg) + " needs a positive integer, not " + std::string(value);
                return false;
            }
            (arg == "--nx" ? cl.options.nx : cl.options.ny) = n;
        }
    }
    return ValidSize(cl.options, error);
}

}  // namespace quillon::examples

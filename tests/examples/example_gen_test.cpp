#include "examples/example_gen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/text_scanner.h"
#include "tests/support/temp_file.h"

namespace {

using quillon::examples::ExampleCounts;
using quillon::examples::ExampleOptions;

using Stress = std::array<double, 7>;

struct Record {
    std::vector<std::int32_t> nodes;
    std::vector<Stress> lines;  // element node k, layer l at 2k + l
};

struct Beam {
    std::int32_t number = 0;
    std::array<double, 3> start{}, end{};
    std::vector<std::array<double, 3>> pos;
    std::vector<std::array<double, 6>> disp;
    std::vector<Record> cells;
};

struct ResultFile {
    std::vector<std::array<double, 3>> pos;
    std::vector<std::array<double, 6>> disp;
    std::vector<Record> quads, tris;
    std::vector<Beam> beams;
};

// Reads a result file and insists on its exact layout: keys, commas and line ends where they
// belong, no blanks, every line ended by "\n", nothing after the last beam.
class StrictReader {
  public:
    bool read(const std::string& path, ResultFile& f) {
        if (!s_.open(path)) return fail("a readable file");
        std::int32_t n = 0;
        if (!points(f.pos, f.disp) || !count("NELEM_S_4ND=", n)) return false;
        f.quads.resize(n);
        for (auto& r : f.quads)
            if (!record(4, r)) return false;
        if (!count("NELEM_S_3ND=", n)) return false;
        f.tris.resize(n);
        for (auto& r : f.tris)
            if (!record(3, r)) return false;
        if (!count("NELEM_B=", n)) return false;
        f.beams.resize(n);
        for (auto& b : f.beams)
            if (!beam(b)) return false;
        return s_.atEnd() || fail("the end of the file");
    }
    const std::string& failure() const { return failure_; }

  private:
    bool fail(const std::string& what) {
        failure_ = "line " + std::to_string(s_.line()) + ": expected " + what;
        return false;
    }
    bool noBlank() {
        int c = s_.peek();
        return !(c == ' ' || c == '\t' || c == '\n' || c == '\r') || fail("no blank");
    }
    bool lit(std::string_view t) {
        if (s_.match(t)) return true;
        std::string what(1, '"');
        what.append(t);
        what.push_back('"');
        return fail(what);
    }
    bool integer(std::int32_t& v) { return noBlank() && (s_.readInt(v) || fail("an integer")); }
    bool number(double& v) { return noBlank() && (s_.readDouble(v) || fail("a number")); }
    bool values(double* out, int n) {
        for (int k = 0; k < n; ++k)
            if (!number(out[k]) || !lit(k + 1 < n ? "," : "\n")) return false;
        return true;
    }
    bool count(std::string_view key, std::int32_t& n) {
        return lit(key) && integer(n) && lit("\n") && (n >= 0 || fail("a count"));
    }
    // A point count, then the points' coordinate lines, then their displacement lines.
    bool points(std::vector<std::array<double, 3>>& pos, std::vector<std::array<double, 6>>& disp) {
        std::int32_t n = 0;
        if (!count("NPOIN=", n)) return false;
        pos.resize(n);
        disp.resize(n);
        for (auto& p : pos)
            if (!values(p.data(), 3)) return false;
        for (auto& d : disp)
            if (!values(d.data(), 6)) return false;
        return true;
    }
    bool record(int nodes, Record& r) {
        r.nodes.resize(nodes);
        for (int k = 0; k < nodes; ++k)
            if (!integer(r.nodes[k]) || !lit(k + 1 < nodes ? "," : "\n")) return false;
        r.lines.resize(2 * nodes);
        for (auto& line : r.lines)
            if (!values(line.data(), 7)) return false;
        return true;
    }
    bool point(std::string_view key, std::array<double, 3>& p) {
        return lit(key) && number(p[0]) && lit(",") && number(p[1]) && lit(",") && number(p[2]) &&
               lit(")\n");
    }
    bool beam(Beam& b) {
        std::int32_t n = 0;
        if (!count("BEI=", b.number) || !point("SND(", b.start) || !point("END(", b.end) ||
            !points(b.pos, b.disp) || !count("NELEM=", n))
            return false;
        b.cells.resize(n);
        for (auto& c : b.cells)
            if (!record(4, c)) return false;
        return true;
    }

    common::TextScanner s_;
    std::string failure_;
};

std::string TempPath(const std::string& name) {
    return (testsupport::testDir() / name).string();
}

// Writes a file with the generator and reads it back strictly.
ResultFile Generate(const ExampleOptions& o, const std::string& name,
                    ExampleCounts* counts = nullptr) {
    std::string path = TempPath(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    ExampleCounts c;
    std::string error;
    EXPECT_TRUE(quillon::examples::WriteExample(o, f, c, error)) << error;
    std::fclose(f);
    EXPECT_EQ(c.bytes, std::filesystem::file_size(path));
    if (counts) *counts = c;
    ResultFile r;
    StrictReader reader;
    EXPECT_TRUE(reader.read(path, r)) << reader.failure();
    return r;
}

std::string GenerateText(const ExampleOptions& o) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* f = open_memstream(&data, &size);
    ExampleCounts c;
    std::string error;
    EXPECT_TRUE(quillon::examples::WriteExample(o, f, c, error)) << error;
    std::fclose(f);
    std::string text(data, size);
    std::free(data);
    return text;
}

// Written out in full on purpose, not through the generator's own function.
double Equivalent(const Stress& s) {
    return std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2] - s[0] * s[1] - s[1] * s[2] -
                     s[2] * s[0] + 3 * (s[3] * s[3] + s[4] * s[4] + s[5] * s[5]));
}

bool InCentralHalf(double x, double y, double a, double b) {
    return x > 0.25 * a && x < 0.75 * a && y > 0.25 * b && y < 0.75 * b;
}

// Twice the signed area of the triangle p, q, r in the xy plane.
double Area2(const std::array<double, 3>& p, const std::array<double, 3>& q,
             const std::array<double, 3>& r) {
    return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0]);
}

TEST(ExampleGenerator, WritesTheResultFileLayoutExactly) {
    ExampleOptions o;
    o.nx = 7;
    o.ny = 5;
    o.seed = 3;
    ExampleCounts c;
    ResultFile f = Generate(o, "layout.txt", &c);
    ExampleCounts planned = quillon::examples::PlannedCounts(o);
    EXPECT_EQ(c.nodes, planned.nodes);
    EXPECT_EQ(f.pos.size(), 8u * 6u);
    EXPECT_EQ(static_cast<std::int64_t>(f.pos.size()), c.nodes);
    EXPECT_EQ(static_cast<std::int64_t>(f.quads.size()), c.quads);
    EXPECT_EQ(f.quads.size(), 7u * 4u);
    EXPECT_EQ(f.tris.size(), 2u * 7u);  // the last row of cells, split in two
    ASSERT_EQ(static_cast<std::int64_t>(f.beams.size()), c.beams);
    ASSERT_EQ(c.beams, planned.beams);
    EXPECT_GT(c.beams, 0);

    const auto nodeCount = static_cast<std::int32_t>(f.pos.size());
    // Shells: nodes in range, distinct, counter-clockwise seen from above, in the plane z = 0.
    for (const auto* shells : {&f.quads, &f.tris}) {
        for (const Record& r : *shells) {
            for (std::int32_t n : r.nodes) {
                ASSERT_GE(n, 0);
                ASSERT_LT(n, nodeCount);
                EXPECT_EQ(f.pos[n][2], 0.0);
            }
            for (std::size_t k = 0; k + 2 < r.nodes.size() + 1; ++k) {
                const auto& p = f.pos[r.nodes[k]];
                const auto& q = f.pos[r.nodes[(k + 1) % r.nodes.size()]];
                const auto& s = f.pos[r.nodes[(k + 2) % r.nodes.size()]];
                EXPECT_GT(Area2(p, q, s), 0.0);
            }
        }
    }

    // Beams: numbered after the shells, ends on plate nodes one cell edge apart, meshes of a
    // box (8 points) or a T (10 points) with four cells whose indices stay in their mesh.
    std::int64_t meshPoints = 0, cells = 0, boxes = 0, tees = 0;
    for (std::size_t k = 0; k < f.beams.size(); ++k) {
        const Beam& b = f.beams[k];
        EXPECT_EQ(b.number, c.quads + c.tris + 1 + static_cast<std::int64_t>(k));
        auto onNode = [&](const std::array<double, 3>& p) {
            return std::any_of(f.pos.begin(), f.pos.end(), [&](const auto& q) {
                return std::abs(p[0] - q[0]) < 1e-6 && std::abs(p[1] - q[1]) < 1e-6 && p[2] == q[2];
            });
        };
        EXPECT_TRUE(onNode(b.start)) << "beam " << k;
        EXPECT_TRUE(onNode(b.end)) << "beam " << k;
        EXPECT_NEAR(std::hypot(b.end[0] - b.start[0], b.end[1] - b.start[1]), 100.0, 5.0);
        EXPECT_TRUE(b.pos.size() == 8 || b.pos.size() == 10) << b.pos.size();
        (b.pos.size() == 8 ? boxes : tees) += 1;
        EXPECT_EQ(b.cells.size(), 4u);
        meshPoints += static_cast<std::int64_t>(b.pos.size());
        cells += static_cast<std::int64_t>(b.cells.size());
        for (const auto& p : b.pos) EXPECT_LT(p[2], 0.0);  // hanging below the plate
        for (const Record& cell : b.cells) {
            for (std::int32_t n : cell.nodes) {
                ASSERT_GE(n, 0);
                ASSERT_LT(n, static_cast<std::int32_t>(b.pos.size()));
            }
            EXPECT_EQ(std::count(cell.nodes.begin(), cell.nodes.end(), cell.nodes[0]), 1);
        }
    }
    EXPECT_EQ(meshPoints, c.beamMeshPoints);
    EXPECT_EQ(cells, c.beamCells);
    EXPECT_GT(boxes, 0);
    EXPECT_GT(tees, 0);
}

TEST(ExampleGenerator, EveryStressLineCarriesItsEquivalentStress) {
    ResultFile f = Generate(ExampleOptions{}, "equivalent.txt");
    std::size_t lines = 0;
    auto check = [&](const Record& r) {
        for (const Stress& s : r.lines) {
            double largest = 0;
            for (double v : s) largest = std::max(largest, std::abs(v));
            // Seven significant digits in every printed value.
            EXPECT_NEAR(s[6], Equivalent(s), 3e-6 * largest + 1e-12);
            EXPECT_EQ(s[2], 0.0);  // Sz: plane stress in every shell and wall
            ++lines;
        }
    };
    for (const Record& r : f.quads) check(r);
    for (const Record& r : f.tris) check(r);
    for (const Beam& b : f.beams)
        for (const Record& r : b.cells) check(r);
    EXPECT_GT(lines, 5000u);

    const double uniaxial[6] = {120, 0, 0, 0, 0, 0};
    const double shear[6] = {0, 0, 0, 0, 0, 10};
    const double mixed[6] = {100, -50, 0, 20, 0, 0};
    EXPECT_DOUBLE_EQ(quillon::examples::VonMises(uniaxial), 120);
    EXPECT_DOUBLE_EQ(quillon::examples::VonMises(shear), 10 * std::sqrt(3.0));
    EXPECT_NEAR(quillon::examples::VonMises(mixed), std::sqrt(10000 + 2500 + 5000 + 1200), 1e-9);
}

TEST(ExampleGenerator, PlateSagsAndBendsWithTopAndBottomOfOppositeSign) {
    ResultFile f = Generate(ExampleOptions{}, "plate.txt");
    const double a = 2400, b = 1600;  // 24 x 16 cells of 100 mm

    // Simply supported edges, a sag everywhere inside, deepest at the middle.
    double deepest = 0;
    std::size_t deepestNode = 0;
    for (std::size_t k = 0; k < f.pos.size(); ++k) {
        const auto& p = f.pos[k];
        const auto& u = f.disp[k];
        bool edge = p[0] == 0 || p[0] == a || p[1] == 0 || p[1] == b;
        if (edge) {
            EXPECT_EQ(u[2], 0.0) << "node " << k;
        } else {
            EXPECT_LT(u[2], 0.0) << "node " << k;
        }
        if (u[2] < deepest) deepest = u[2], deepestNode = k;
        // The rotations are the slopes: rx = dw/dy, ry = -dw/dx.
        if (!edge && p[0] < 0.25 * a) {
            EXPECT_GT(u[4], 0.0) << "node " << k;
        }
        if (!edge && p[0] > 0.75 * a) {
            EXPECT_LT(u[4], 0.0) << "node " << k;
        }
        if (!edge && p[1] < 0.25 * b) {
            EXPECT_LT(u[3], 0.0) << "node " << k;
        }
    }
    EXPECT_NEAR(deepest, -b / 600, 0.1);
    EXPECT_NEAR(f.pos[deepestNode][0], a / 2, 150);
    EXPECT_NEAR(f.pos[deepestNode][1], b / 2, 150);

    // Under a sag the top face (layer 0) is compressed against the bottom face (layer 1) in
    // both directions; the difference is the bending, and it is not lost in the noise.
    std::size_t checked = 0;
    for (const Record& r : f.quads) {
        for (std::size_t k = 0; k < r.nodes.size(); ++k) {
            const auto& p = f.pos[r.nodes[k]];
            if (!InCentralHalf(p[0], p[1], a, b)) continue;
            const Stress& top = r.lines[2 * k];
            const Stress& bottom = r.lines[2 * k + 1];
            EXPECT_LT(top[0] - bottom[0], -5.0);
            EXPECT_LT(top[1] - bottom[1], -5.0);
            ++checked;
        }
    }
    EXPECT_GT(checked, 100u);
}

TEST(ExampleGenerator, StiffenersFollowThePlateAndCarryItsBending) {
    ResultFile f = Generate(ExampleOptions{}, "stiffeners.txt");
    const double a = 2400, b = 1600;
    std::size_t webPoints = 0, flangeNodes = 0;
    for (const Beam& beam : f.beams) {
        // Mesh points straight below a plate node move down with it.
        for (std::size_t k = 0; k < beam.pos.size(); ++k) {
            const auto& p = beam.pos[k];
            for (std::size_t n = 0; n < f.pos.size(); ++n) {
                if (std::abs(f.pos[n][0] - p[0]) < 1e-6 && std::abs(f.pos[n][1] - p[1]) < 1e-6) {
                    EXPECT_NEAR(beam.disp[k][2], f.disp[n][2], 0.003 * std::abs(f.disp[n][2]));
                    ++webPoints;
                }
            }
        }
        double lowest = 0;
        for (const auto& p : beam.pos) lowest = std::min(lowest, p[2]);
        bool central = InCentralHalf(0.5 * (beam.start[0] + beam.end[0]),
                                     0.5 * (beam.start[1] + beam.end[1]), a, b);
        for (const Record& cell : beam.cells) {
            for (std::size_t k = 0; k < cell.nodes.size(); ++k) {
                const Stress& l0 = cell.lines[2 * k];
                const Stress& l1 = cell.lines[2 * k + 1];
                // The walls' own bending: opposite sign in the two layers.
                EXPECT_LT(l0[1] * l1[1], 0.0);
                // The lowest fibres of a sagging stiffener are stretched along the beam.
                if (central && beam.pos[cell.nodes[k]][2] == lowest) {
                    EXPECT_GT(l0[0], 20.0);
                    EXPECT_GT(l1[0], 20.0);
                    ++flangeNodes;
                }
            }
        }
    }
    EXPECT_GT(webPoints, 10u);
    EXPECT_GT(flangeNodes, 10u);
}

TEST(ExampleGenerator, SameSeedSameFileAnotherSeedOtherValues) {
    ExampleOptions o;
    o.nx = 9;
    o.ny = 6;
    std::string first = GenerateText(o);
    EXPECT_EQ(GenerateText(o), first);
    o.seed = 2;
    std::string other = GenerateText(o);
    EXPECT_NE(other, first);
    EXPECT_EQ(std::count(other.begin(), other.end(), '\n'),
              std::count(first.begin(), first.end(), '\n'));
}

TEST(ExampleGenerator, BundledExampleIsWhatItsDocumentedCommandWrites) {
    const std::string dir = std::string(QUILLON_SOURCE_DIR) + "/examples/";
    std::ifstream readme(dir + "README.md");
    ASSERT_TRUE(readme);
    std::string line, command;
    while (std::getline(readme, line))
        if (line.rfind("quillon_example_gen ", 0) == 0) command = line;
    ASSERT_FALSE(command.empty());
    std::istringstream words(command);
    std::vector<std::string> args;
    for (std::string w; words >> w;) args.push_back(w);
    std::vector<const char*> argv;
    for (const auto& w : args) argv.push_back(w.c_str());
    quillon::examples::CommandLine cl;
    std::string error;
    ASSERT_TRUE(
        quillon::examples::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), cl, error))
        << error;
    EXPECT_EQ(cl.outPath, "examples/Quillon_AverageStrs.txt");

    std::ifstream example(dir + "Quillon_AverageStrs.txt", std::ios::binary);
    ASSERT_TRUE(example);
    std::string text((std::istreambuf_iterator<char>(example)), std::istreambuf_iterator<char>());
    EXPECT_LT(text.size(), 2u << 20);
    EXPECT_TRUE(text == GenerateText(cl.options)) << "regenerate the example with: " << command;
}

TEST(ExampleGenerator, CommandLineTakesSizesSeedAndOutput) {
    using quillon::examples::CommandLine;
    using quillon::examples::ParseCommandLine;
    auto parse = [](std::vector<const char*> args, CommandLine& cl, std::string& error) {
        args.insert(args.begin(), "quillon_example_gen");
        return ParseCommandLine(static_cast<int>(args.size()), args.data(), cl, error);
    };
    CommandLine cl;
    std::string error;
    ASSERT_TRUE(parse({"--shells", "1000000"}, cl, error)) << error;
    EXPECT_EQ(cl.options.nx, 1000);
    EXPECT_EQ(cl.options.ny, 1000);
    EXPECT_TRUE(cl.outPath.empty());

    cl = {};
    ASSERT_TRUE(parse({"--nx", "5", "--ny", "3", "--seed", "9", "-o", "out.txt"}, cl, error));
    EXPECT_EQ(cl.options.nx, 5);
    EXPECT_EQ(cl.options.ny, 3);
    EXPECT_EQ(cl.options.seed, 9u);
    EXPECT_EQ(cl.outPath, "out.txt");
    EXPECT_FALSE(cl.help);

    cl = {};
    EXPECT_TRUE(parse({"--help"}, cl, error));
    EXPECT_TRUE(cl.help);

    for (std::vector<const char*> bad : {std::vector<const char*>{"--nx", "0"},
                                         {"--nx", "12x"},
                                         {"--ny"},
                                         {"--bogus"},
                                         {"--seed", "-1"},
                                         {"--shells", "0"},
                                         {"--nx", "60000", "--ny", "60000"}}) {
        cl = {};
        error.clear();
        EXPECT_FALSE(parse(bad, cl, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(ExampleGenerator, ReportsAFailedWrite) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (!full) GTEST_SKIP() << "no /dev/full";
    ExampleCounts c;
    std::string error;
    EXPECT_FALSE(quillon::examples::WriteExample(ExampleOptions{}, full, c, error));
    EXPECT_NE(error.find("writing failed"), std::string::npos) << error;
    std::fclose(full);

    ExampleOptions empty;
    empty.nx = 0;
    error.clear();
    EXPECT_FALSE(quillon::examples::WriteExample(empty, stdout, c, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace

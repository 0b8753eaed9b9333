#pragma once
// Writer of realistic average-stress result files: a stiffened steel plate under uniform
// pressure, simply supported on its four edges, with box and T stiffeners hanging below it.
// Units: mm, N, MPa (steel: E = 210000 MPa, nu = 0.3).
#include <cstdint>
#include <cstdio>
#include <string>

namespace quillon::examples {

struct ExampleOptions {
    int nx = 24;  // plate cells along x
    int ny = 16;  // plate cells along y
    std::uint64_t seed = 1;
};

// What a file holds. Every count follows from nx and ny alone; the seed changes only values.
struct ExampleCounts {
    std::int64_t nodes = 0;
    std::int64_t quads = 0;
    std::int64_t tris = 0;
    std::int64_t beams = 0;
    std::int64_t beamMeshPoints = 0;  // summed over all beams
    std::int64_t beamCells = 0;       // summed over all beams
    std::uint64_t bytes = 0;          // filled by WriteExample only
};

ExampleCounts PlannedCounts(const ExampleOptions& options);

// Writes one result file to `out`. False, with a message, when the options are out of range
// or writing failed.
bool WriteExample(const ExampleOptions& options, std::FILE* out, ExampleCounts& counts,
                  std::string& error);

// The equivalent (von Mises) stress of Sx, Sy, Sz, Txy, Txz, Tyz.
double VonMises(const double s[6]);

struct CommandLine {
    ExampleOptions options;
    std::string outPath;  // empty: standard output
    bool help = false;
};

// Reads the program's arguments. False, with a message, on an unknown option or a bad value.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& commandLine,
                      std::string& error);
const char* UsageText();

}  // namespace quillon::examples

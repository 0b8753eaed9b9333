#pragma once
// The viewer's in-memory model of one average-stress result file.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/outcome.h"

namespace quillon {

// One point with a carried scalar.
struct Point3D {
    double x = 0, y = 0, z = 0;
    double value = 1e-15;
};

using Box6 = std::array<double, 6>;  // xmin, xmax, ymin, ymax, zmin, zmax

// Display filters of the Plot Settings.
// (An enumeration class: X11's headers define None as a macro.)
enum class DisplayFilter : std::int32_t { All = 0, Selected = 1, None = 2 };

// Six displacement values per node and mesh point: u, v, w (the translations), rx, ry, rz.
constexpr int kDofPerNode = 6;

// Seven stress values per element node and layer: Sx, Sy, Sz, Txy, Txz, Tyz, Se.
constexpr int kStressComponents = 7;
// Index of layer l, element node k, component c within the block of an element with n nodes.
constexpr std::size_t stressIndex(int n, int layer, int node, int component) {
    return static_cast<std::size_t>(layer * kStressComponents * n + node * kStressComponents +
                                    component);
}
// The values in the stress block of an element with n nodes: two layers of n seven-value records.
constexpr std::size_t stressBlockSize(int n) {
    return static_cast<std::size_t>(2 * kStressComponents * n);
}

// One beam with its end points and its own surface mesh of four-node cells.
struct BeamElement {
    std::int32_t number = 0;
    Point3D start, end;    // displayed
    Point3D start0, end0;  // as read
    std::int32_t meshPointCount = 0;
    std::int32_t dofPerNode = kDofPerNode;  // the arrays are laid out with the constant
    std::vector<Point3D> meshPos;           // displayed
    std::vector<Point3D> meshPos0;          // as read
    std::vector<double> meshDisp;           // kDofPerNode per mesh point
    std::int32_t cellCount = 0;
    std::int32_t nodesPerCell = 4;
    std::vector<std::int32_t> cellNodes;  // 4 per cell
    std::vector<double> cellStress;       // 56 per cell
    double dispScale = 0;
    bool deformed = true;

    // Index of the mesh point (as read) nearest to p; the lower index wins a tie.
    std::int32_t nearestMeshPoint(const Point3D& p) const;
    void updateDisplayedPositions();
};

class ResultModel {
  public:
    std::int32_t nodeCount = 0;
    std::vector<Point3D> nodePos;           // displayed
    std::vector<Point3D> nodePos0;          // as read
    std::vector<double> nodeDisp;           // kDofPerNode per node
    std::int32_t dofPerNode = kDofPerNode;  // the arrays are laid out with the constant
    std::vector<double> quadStress;         // 56 per four-node shell
    std::vector<double> triStress;          // 42 per three-node shell
    std::int32_t quadCount = 0;
    std::int32_t triCount = 0;
    std::int32_t nodesPerQuad = 4;
    std::int32_t nodesPerTri = 3;
    std::vector<std::int32_t> quadNodes;
    std::vector<std::int32_t> triNodes;
    std::int32_t beamCount = 0;
    std::vector<BeamElement> beams;
    Box6 nodeBox{};
    Box6 selBox{};
    double dispScale = 0;
    bool deformed = true;
    // Changes whenever the displayed positions may have changed (every load and update), so
    // that drawings computed from them know when to compute again. Unique across all models
    // (only a copy shares its original's until either changes), on any thread.
    std::uint64_t positionsVersion = 0;

    static constexpr std::int32_t kRed = 0x0000FF, kOrange = 0x007FFF, kYellow = 0x00FFFF,
                                  kYellowGreen = 0x00FF7F, kGreen = 0x00FF00,
                                  kSpringGreen = 0x7FFF00, kCyan = 0xFFFF00, kAzure = 0xFF7F00,
                                  kBlue = 0xFF0000;
    std::vector<std::int32_t> colourTable{kBlue,        kAzure,  kCyan,   kSpringGreen, kGreen,
                                          kYellowGreen, kYellow, kOrange, kRed};
    std::int32_t colourCount = 9;

    std::vector<std::uint8_t> selQuad, selTri, selBeam, selNode;
    std::vector<std::uint8_t> pickQuad, pickTri, pickBeam, pickNode;

    double meanShellEdge = 0;
    double meanBeamLength = 0;

    DisplayFilter shellNumberMode = DisplayFilter::None;
    DisplayFilter beamNumberMode = DisplayFilter::None;
    DisplayFilter nodeNumberMode = DisplayFilter::None;
    DisplayFilter shellOutlineMode = DisplayFilter::All;
    DisplayFilter beamMeshLineMode = DisplayFilter::All;
    DisplayFilter nodeMode = DisplayFilter::None;

    // Replaces the contents with the file's. The display filters, `deformed` and the colour
    // table carry over to the new contents. On failure nothing changes; the failure's message
    // says what went wrong (with the line where the file stopped following its layout), and
    // for a file that could not be read its detail has the path and the system's reason.
    common::Outcome loadResultFile(const std::string& path);
    // The steps of loadResultFile, for a load that reads on another thread: an empty model with
    // this one's display filters, `deformed` and colour table, to read into; once it is read,
    // its derived values worked out (flags, box, mean lengths, magnification, positions), which
    // may run on the reading thread and gives the warnings the file calls for; and its
    // contents made this model's, with those warnings shown first.
    ResultModel emptyWithSettings() const;
    std::vector<std::string> prepareLoaded();
    void takePrepared(ResultModel&& read, const std::vector<std::string>& warnings);
    // Releases every array of the last load (counts keep their values).
    void releaseArrays();
    Box6 computeNodeBox();
    Box6 computeSelectedBox();
    void updateDisplayedPositions();
    // Sets and gives the magnification; a model without translations gets 0 and a warning.
    double AutoDeformationScale(std::vector<std::string>& warnings);

  private:
    void computeMeanLengths();
};

// A copy of the elements' selected and picked flags, for drawings kept while they hold.
struct ElementFlags {
    std::vector<std::uint8_t> selQuad, selTri, selBeam, pickQuad, pickTri, pickBeam;
    bool matches(const ResultModel& m) const {
        return selQuad == m.selQuad && selTri == m.selTri && selBeam == m.selBeam &&
               pickQuad == m.pickQuad && pickTri == m.pickTri && pickBeam == m.pickBeam;
    }
    void take(const ResultModel& m) {
        selQuad = m.selQuad;
        selTri = m.selTri;
        selBeam = m.selBeam;
        pickQuad = m.pickQuad;
        pickTri = m.pickTri;
        pickBeam = m.pickBeam;
    }
};

// Runs task(0) .. task(count - 1) at once, task(0) on the calling thread and each other one on
// a thread of its own, and returns when all have returned (then throwing on what task(0)
// threw). A task other than task(0) that has not begun when task(0) returns may be left out:
// the section is read by then. Unset, a load starts a thread for each task and joins it after;
// a caller that reads many small files (a fuzzer) can lend threads it keeps from one load to
// the next.
using RunTogether = std::function<void(int count, const std::function<void(int)>& task)>;

// What a load on another thread shares with the thread that waits for it: how far it has
// read, and a request to stop. A load told to stop ends soon with a failure, at a record or
// a chunk of text, and what it read is of no use.
struct ReadProgress {
    std::atomic<std::uint64_t> bytesRead{0};  // grows from 0 to the file's size
    std::atomic<bool> stop{false};
};

// How a load may spread over threads. What a load gives (model, message, line) is the same
// whatever these say; tests make small files take the paths of large ones with them.
struct ReadOptions {
    // Threads that read the long sections together: 0 for one a core (at most 4), 1 for one
    // pass.
    int threads = 0;
    // The text a thread reads at a time.
    std::size_t chunkBytes = std::size_t{1} << 20;
    // Sections of fewer records are read in one pass.
    std::int32_t minParallelRecords = 16384;
    // Who runs the threads of a section.
    RunTogether runTogether;
    // Where the load tells its progress and learns that it is to stop; none when unset.
    ReadProgress* progress = nullptr;
};

// Reads a result file into `model`, which must be freshly constructed apart from its
// settings. Fills counts and arrays only; the derived values are the caller's.
common::Outcome readResultFile(const std::string& path, ResultModel& model,
                               const ReadOptions& options = {});

// A failure to load the result file at `path` that names the file: the heading every such
// failure shows, and the file's full path followed by `reason`.
common::Failure resultFileFailure(const std::string& path, const std::string& reason);

// Bytes held by all arrays of the model (for memory measurements).
std::size_t modelArrayBytes(const ResultModel& model);

}  // namespace quillon

#include "bench/reader/fscanf_reader.h"

#include <cstdio>

namespace bench {
namespace {

constexpr const char* kPoint = "%lf,%lf,%lf\n";
constexpr const char* kDisp = "%lf,%lf,%lf,%lf,%lf,%lf\n";
constexpr const char* kStress = "%lf,%lf,%lf,%lf,%lf,%lf,%lf\n";

bool ReadCount(std::FILE* f, const char* format, int& n) {
    return std::fscanf(f, format, &n) == 1 && n >= 0;
}

bool ReadPoints(std::FILE* f, int n, std::vector<double>& pos, std::vector<double>& disp) {
    pos.resize(3 * static_cast<std::size_t>(n));
    disp.resize(6 * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        double* p = &pos[3 * static_cast<std::size_t>(i)];
        if (std::fscanf(f, kPoint, p, p + 1, p + 2) != 3) return false;
    }
    for (int i = 0; i < n; ++i) {
        double* d = &disp[6 * static_cast<std::size_t>(i)];
        if (std::fscanf(f, kDisp, d, d + 1, d + 2, d + 3, d + 4, d + 5) != 6) return false;
    }
    return true;
}

// count records of `nodes` indices and 2 * nodes stress lines; layer l of element node k goes
// to l * 7n + k * 7 within the element's block, as in the viewer's model.
bool ReadElements(std::FILE* f, int count, int nodes, std::vector<int>& index,
                  std::vector<double>& stress) {
    index.resize(static_cast<std::size_t>(count) * nodes);
    stress.resize(static_cast<std::size_t>(count) * 14 * nodes);
    for (int e = 0; e < count; ++e) {
        int* idx = &index[static_cast<std::size_t>(e) * nodes];
        for (int k = 0; k < nodes; ++k)
            if (std::fscanf(f, k + 1 < nodes ? "%d," : "%d\n", idx + k) != 1) return false;
        double* block = &stress[static_cast<std::size_t>(e) * 14 * nodes];
        for (int k = 0; k < nodes; ++k) {
            for (int l = 0; l < 2; ++l) {
                double* s = block + l * 7 * nodes + k * 7;
                if (std::fscanf(f, kStress, s, s + 1, s + 2, s + 3, s + 4, s + 5, s + 6) != 7)
                    return false;
            }
        }
    }
    return true;
}

bool ReadBeam(std::FILE* f, PlainBeam& b) {
    int points = 0, cells = 0;
    return std::fscanf(f, "BEI=%d\n", &b.number) == 1 &&
           std::fscanf(f, "SND(%lf,%lf,%lf)\n", b.start, b.start + 1, b.start + 2) == 3 &&
           std::fscanf(f, "END(%lf,%lf,%lf)\n", b.end, b.end + 1, b.end + 2) == 3 &&
           ReadCount(f, "NPOIN=%d\n", points) && ReadPoints(f, points, b.pos, b.disp) &&
           ReadCount(f, "NELEM=%d\n", cells) &&
           ReadElements(f, cells, 4, b.cellNodes, b.cellStress);
}

bool ReadAll(std::FILE* f, PlainModel& m) {
    int n = 0;
    if (!ReadCount(f, "NPOIN=%d\n", n) || !ReadPoints(f, n, m.pos, m.disp)) return false;
    if (!ReadCount(f, "NELEM_S_4ND=%d\n", n) || !ReadElements(f, n, 4, m.quadNodes, m.quadStress))
        return false;
    if (!ReadCount(f, "NELEM_S_3ND=%d\n", n) || !ReadElements(f, n, 3, m.triNodes, m.triStress))
        return false;
    if (!ReadCount(f, "NELEM_B=%d\n", n)) return false;
    m.beams.resize(static_cast<std::size_t>(n));
    for (PlainBeam& b : m.beams)
        if (!ReadBeam(f, b)) return false;
    return true;
}

}  // namespace

bool ReadWithFscanf(const std::string& path, PlainModel& model, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    // The same block size as the shared scanner reads in.
    std::setvbuf(f, nullptr, _IOFBF, std::size_t{4} << 20);
    bool ok = ReadAll(f, model);
    std::fclose(f);
    if (!ok) error = path + " does not follow the result file layout";
    return ok;
}

}  // namespace bench

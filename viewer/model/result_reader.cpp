// Reader of average-stress result files. The file is read front to back with the scan rules
// of common::TextScanner; the reader stops at the first item that does not follow the layout
// and says which line it is on and what was expected there.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "common/memory_advice.h"
#include "common/text_scanner.h"
#include "common/utf16.h"
#include "viewer/model/record_chunks.h"
#include "viewer/model/result_model.h"

namespace quillon {
namespace {

// Fewest bytes a record can take in a file. A large count that needs more than the file
// holds is refused before anything is allocated for it; small ones meet the end of the file.
// The floors come from the shortest text the layout accepts, so that no valid file is refused.
constexpr std::int32_t kCheckedCount = 100000;
// A row of n numbers is at least n one-digit numbers and n - 1 commas, and one byte before it
// that keeps its first number apart from the number before it (a blank or line end, or the
// sign of its own first number): "\n0,0,0" is a row of three.
constexpr std::uint64_t rowBytes(int numbers) {
    return 2 * static_cast<std::uint64_t>(numbers);
}
// The coordinate row and the displacement row.
constexpr std::uint64_t kMinNodeBytes = rowBytes(3) + rowBytes(kDofPerNode);
// The index row, then two stress rows for each node.
constexpr std::uint64_t kMinQuadBytes = rowBytes(4) + 2 * 4 * rowBytes(kStressComponents);
constexpr std::uint64_t kMinTriBytes = rowBytes(3) + 2 * 3 * rowBytes(kStressComponents);
// Nothing needs to separate the parts of a beam without mesh points and cells.
constexpr std::uint64_t kMinBeamBytes =
    std::string_view("BEI=0SND(0,0,0)END(0,0,0)NPOIN=0NELEM=0").size();
static_assert(kMinNodeBytes == 18 && kMinQuadBytes == 120 && kMinTriBytes == 90 &&
              kMinBeamBytes == 39);

// Asks for large pages behind the reserved storage of a big array: filling it then costs a
// page fault per 2 MiB instead of per 4 KiB.
template <class T>
void adviseLargePages(std::vector<T>& v) {
    constexpr std::size_t kWorthIt = std::size_t{8} << 20;
    std::size_t bytes = v.capacity() * sizeof(T);
    if (bytes >= kWorthIt) common::AdviseLargePages(v.data(), bytes);
}

// The reserved storage of an array, taken before any thread appends to it, whose pages the
// threads make present ahead of the records stored there (see RecordKind::prefault).
struct Storage {
    std::uintptr_t base = 0;
    std::size_t bytes = 0;
    template <class T>
    explicit Storage(const std::vector<T>* v)
        : base(v ? reinterpret_cast<std::uintptr_t>(v->data()) : 0),
          bytes(v ? v->capacity() * sizeof(T) : 0) {}

    void prefault(double from, double to) const {
        double size = static_cast<double>(bytes);
        auto begin = base + static_cast<std::uintptr_t>(from * size);
        auto end = base + static_cast<std::uintptr_t>(std::min(to, 1.0) * size);
        if (bytes > 0 && end > begin)
            common::PrefaultForWriting(reinterpret_cast<void*>(begin), end - begin);
    }
};

// How a record of an n-node element can fail to follow the layout.
enum class RecordFault { None, Indices, IndexRange, Stress };

// One record of an n-node element: its n node indices (each below `limit`; `index` is the
// last one read) into `nodes`, its stress block into `stress`, and the white space after it.
RecordFault readShellRecord(common::TextScanner& s, int n, std::int32_t limit, std::int32_t* nodes,
                            double* stress, std::int32_t& index) {
    for (int k = 0; k < n; ++k) {
        if ((k > 0 && !s.match(',')) || !s.readInt(index)) return RecordFault::Indices;
        if (index < 0 || index >= limit) return RecordFault::IndexRange;
        nodes[k] = index;
    }
    s.skipSpace();
    for (int k = 0; k < n; ++k)
        for (int layer = 0; layer < 2; ++layer) {
            if (!s.readDoubles(stress + stressIndex(n, layer, k, 0), kStressComponents))
                return RecordFault::Stress;
            s.skipSpace();
        }
    return RecordFault::None;
}

// The records of an n-node element section, for reading in chunks.
class ShellRecords final : public RecordKind {
  public:
    ShellRecords(int n, std::int32_t limit, std::vector<std::int32_t>& nodes,
                 std::vector<double>& stress)
        : n_(n),
          blockSize_(stressBlockSize(n)),
          limit_(limit),
          nodes_(nodes),
          stress_(stress),
          nodesStorage_(&nodes),
          stressStorage_(&stress) {}

    // The index line: n plain decimal numbers with a comma between them. A stress line has
    // seven numbers, so in a file of one item a line nothing else has this shape.
    bool startsRecord(std::string_view line) const override {
        int commas = 0;
        bool digits = false;
        for (char c : line) {
            if (c == ',') {
                if (!digits) return false;
                ++commas;
                digits = false;
            } else if (c >= '0' && c <= '9') {
                digits = true;
            } else {
                return false;
            }
        }
        return digits && commas == n_ - 1;
    }

    bool read(common::TextScanner& s, ChunkValues& out) const override {
        std::size_t i = out.ints.size(), r = out.reals.size();
        out.ints.resize(i + static_cast<std::size_t>(n_));
        out.reals.resize(r + blockSize_);
        std::int32_t index = 0;
        return readShellRecord(s, n_, limit_, &out.ints[i], &out.reals[r], index) ==
               RecordFault::None;
    }

    void store(const ChunkValues& in) const override {
        nodes_.insert(nodes_.end(), in.ints.begin(), in.ints.end());
        stress_.insert(stress_.end(), in.reals.begin(), in.reals.end());
    }

    void prefault(double from, double to) const override {
        nodesStorage_.prefault(from, to);
        stressStorage_.prefault(from, to);
    }

  private:
    int n_;
    std::size_t blockSize_;
    std::int32_t limit_;
    std::vector<std::int32_t>& nodes_;
    std::vector<double>& stress_;
    Storage nodesStorage_, stressStorage_;
};

// Rows of m reals, one a line in a file laid out one item a line: node coordinates (into
// points) or displacements (into reals).
class RowRecords final : public RecordKind {
  public:
    RowRecords(int m, std::vector<Point3D>* points, std::vector<double>* reals)
        : m_(m), points_(points), reals_(reals), pointsStorage_(points), realsStorage_(reals) {}

    bool startsRecord(std::string_view line) const override {
        int commas = 0;
        bool number = false;
        for (char c : line) {
            if (c == ',') {
                if (!number) return false;
                ++commas;
                number = false;
            } else if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' ||
                       c == 'E') {
                number = true;
            } else {
                return false;
            }
        }
        return number && commas == m_ - 1;
    }

    bool read(common::TextScanner& s, ChunkValues& out) const override {
        std::size_t r = out.reals.size();
        out.reals.resize(r + static_cast<std::size_t>(m_));
        if (!s.readDoubles(&out.reals[r], m_)) return false;
        s.skipSpace();
        return true;
    }

    void store(const ChunkValues& in) const override {
        if (reals_) reals_->insert(reals_->end(), in.reals.begin(), in.reals.end());
        if (points_)
            for (std::size_t i = 0; i + 2 < in.reals.size(); i += 3)
                points_->push_back(Point3D{in.reals[i], in.reals[i + 1], in.reals[i + 2]});
    }

    void prefault(double from, double to) const override {
        realsStorage_.prefault(from, to);
        pointsStorage_.prefault(from, to);
    }

  private:
    int m_;
    std::vector<Point3D>* points_;
    std::vector<double>* reals_;
    Storage pointsStorage_, realsStorage_;
};

class Reader {
  public:
    Reader(const std::string& path, ResultModel& model, const ReadOptions& options)
        : path_(path), m_(model), options_(options), chunkScanners_(path) {}

    common::Outcome run() {
        if (!s_.open(path_)) return unreadable(errno);
        fileSize_ = s_.fileSize();  // no bound on the counts when unknown (a FIFO)
        errno = 0;
        bool complete = readAll();
        if (s_.readError()) return unreadable(errno ? errno : EIO);
        if (!complete) return failure_;
        return {};
    }

  private:
    // The file could not be opened or read: the message, with the path (in full, so that a
    // user in the wrong folder sees which one) and the system's reason.
    common::Failure unreadable(int error) const {
        return resultFileFailure(path_, std::strerror(error));
    }

    bool readAll() {
        std::int32_t n = 0;
        if (!s_.match("NPOIN=") || !s_.readInt(n)) return expected("NPOIN=<count>");
        if (n < 1) return fail(common::Failure("节点数目错误!"));
        if (!fits(n, kMinNodeBytes, "NPOIN")) return false;
        s_.skipSpace();
        m_.nodeCount = n;
        std::size_t nodes = static_cast<std::size_t>(n);
        if (!points(m_.nodePos, nodes, "node coordinates x,y,z")) return false;
        copyPoints(m_.nodePos, m_.nodePos0);
        if (!displacements(m_.nodeDisp, nodes)) return false;

        if (!count("NELEM_S_4ND", m_.quadCount, kMinQuadBytes)) return false;
        if (!shells(4, m_.quadCount, m_.nodeCount, m_.quadNodes, m_.quadStress, "node"))
            return false;
        if (!count("NELEM_S_3ND", m_.triCount, kMinTriBytes)) return false;
        if (!shells(3, m_.triCount, m_.nodeCount, m_.triNodes, m_.triStress, "node")) return false;
        if (!count("NELEM_B", m_.beamCount, kMinBeamBytes)) return false;
        std::size_t beams = static_cast<std::size_t>(m_.beamCount);
        m_.beams.reserve(reservable(beams, kMinBeamBytes));
        for (std::size_t i = 0; i < beams; ++i)
            if (!goOn() || !beam(m_.beams.emplace_back())) return false;
        // Whatever follows the last beam is not part of the layout.
        return goOn();
    }

    bool beam(BeamElement& b) {
        if (!s_.match("BEI=") || !s_.readInt(b.number)) return expected("BEI=<number>");
        s_.skipSpace();
        if (!bracketed("SND(", b.start)) return false;
        if (!bracketed("END(", b.end)) return false;
        b.start0 = b.start;
        b.end0 = b.end;
        if (!count("NPOIN", b.meshPointCount, kMinNodeBytes)) return false;
        std::size_t points = static_cast<std::size_t>(b.meshPointCount);
        if (!this->points(b.meshPos, points, "mesh point coordinates x,y,z")) return false;
        copyPoints(b.meshPos, b.meshPos0);
        if (!displacements(b.meshDisp, points)) return false;
        if (!count("NELEM", b.cellCount, kMinQuadBytes)) return false;
        return shells(4, b.cellCount, b.meshPointCount, b.cellNodes, b.cellStress, "mesh point");
    }

    // "KEY=%d\n" with a count that must not be negative.
    bool count(const char* key, std::int32_t& value, std::uint64_t minBytes) {
        std::string k = std::string(key) + "=";
        if (!s_.match(k) || !s_.readInt(value)) return expected(k + "<count>");
        if (value < 0)
            return failAtLine(k + std::to_string(value) +
                              " is negative, expected a count of 0 or more");
        if (!fits(value, minBytes, key)) return false;
        s_.skipSpace();
        return true;
    }

    bool fits(std::int32_t value, std::uint64_t minBytes, const char* key) {
        if (value <= kCheckedCount || static_cast<std::uint64_t>(value) * minBytes <= fileSize_)
            return true;
        return failAtLine(std::string(key) + "=" + std::to_string(value) +
                          " is more than the file can hold");
    }

    // Room for the records of a section of `count`, at `minBytes` or more each: no more than
    // the rest of the file can hold. A small count is not refused for the file's size (its
    // records meet the end of the file instead), so this is what keeps such a file from
    // reserving storage that it could never fill.
    std::size_t reservable(std::size_t count, std::uint64_t minBytes) const {
        std::uint64_t left = fileSize_ - std::min(fileSize_, s_.offset());
        return static_cast<std::size_t>(std::min<std::uint64_t>(count, left / minBytes + 1));
    }

    // The arrays are filled by appending to reserved storage: sizing them first would write
    // every byte twice.
    static void copyPoints(const std::vector<Point3D>& from, std::vector<Point3D>& to) {
        to.reserve(from.size());
        adviseLargePages(to);
        to.assign(from.begin(), from.end());
    }

    // "%lf,%lf,%lf\n" for every point.
    bool points(std::vector<Point3D>& pts, std::size_t count, const char* what) {
        pts.reserve(reservable(count, kMinNodeBytes));
        adviseLargePages(pts);
        std::size_t i = 0;
        if (!inChunks(count, RowRecords(3, &pts, nullptr), i)) return false;
        double xyz[3];
        for (; i < count; ++i) {
            if (!goOnAt(i) || !values(xyz, 3, what)) return false;
            pts.push_back(Point3D{xyz[0], xyz[1], xyz[2]});
        }
        return true;
    }

    // "%lf,%lf,%lf,%lf,%lf,%lf\n" for every point.
    bool displacements(std::vector<double>& disp, std::size_t points) {
        disp.reserve(reservable(points, rowBytes(kDofPerNode)) * kDofPerNode);
        adviseLargePages(disp);
        std::size_t i = 0;
        if (!inChunks(points, RowRecords(kDofPerNode, nullptr, &disp), i)) return false;
        double row[kDofPerNode];
        for (; i < points; ++i) {
            if (!goOnAt(i)) return false;
            if (!values(row, kDofPerNode, "six displacement values u,v,w,rx,ry,rz")) return false;
            disp.insert(disp.end(), row, row + kDofPerNode);
        }
        return true;
    }

    // Reads the first `done` of `count` records of a section in chunks, as far as the threads
    // can prove that one pass reads them the same; one pass reads on from there.
    bool inChunks(std::size_t count, const RecordKind& kind, std::size_t& done) {
        done = 0;
        if (count < static_cast<std::size_t>(std::max(options_.minParallelRecords, 1))) return true;
        ChunkOutcome read =
            readRecordChunks(chunkScanners_, s_, s_.position(), count, kind, chunkOptions());
        if (read.records > 0 && !s_.seek(read.end)) return fail(unreadable(errno ? errno : EIO));
        done = read.records;
        return goOn();
    }

    // Every so many records of one pass, and at every beam: how far the load has read is told,
    // and a load told to stop stops.
    static constexpr std::size_t kRecordsBetweenChecks = 1024;
    bool goOn() {
        ReadProgress* p = options_.progress;
        if (!p) return true;
        p->bytesRead.store(s_.offset(), std::memory_order_relaxed);
        if (!p->stop.load(std::memory_order_relaxed)) return true;
        return fail(common::Failure("the load was stopped"));
    }
    bool goOnAt(std::size_t record) { return record % kRecordsBetweenChecks != 0 || goOn(); }

    // n reals separated by commas, then white space.
    bool values(double* out, int n, const char* what) {
        if (!s_.readDoubles(out, n)) return expected(what);
        s_.skipSpace();
        return true;
    }

    // "KEY(%lf,%lf,%lf)\n"
    bool bracketed(const char* key, Point3D& p) {
        std::string what = std::string(key) + "x,y,z)";
        if (!s_.match(key) || !s_.readDouble(p.x) || !s_.match(',') || !s_.readDouble(p.y) ||
            !s_.match(',') || !s_.readDouble(p.z) || !s_.match(')'))
            return expected(what);
        s_.skipSpace();
        return true;
    }

    // `count` records of an n-node element: the index line, then for each element node the
    // stress lines of layer 0 and layer 1. A long section is read by several threads as far
    // as they can prove it reads as in one pass; one pass reads on from there.
    bool shells(int n, std::int32_t count, std::int32_t limit, std::vector<std::int32_t>& nodes,
                std::vector<double>& stress, const char* indexKind) {
        std::size_t c = static_cast<std::size_t>(count);
        std::size_t blockSize = stressBlockSize(n);
        std::size_t room = reservable(c, n == 4 ? kMinQuadBytes : kMinTriBytes);
        nodes.reserve(room * static_cast<std::size_t>(n));
        stress.reserve(room * blockSize);
        adviseLargePages(stress);
        std::size_t e = 0;
        if (!inChunks(c, ShellRecords(n, limit, nodes, stress), e)) return false;
        static const char* kIndexLines[] = {"", "", "", "three node indices a,b,c",
                                            "four node indices a,b,c,d"};
        std::int32_t block[4];
        double values[stressBlockSize(4)];
        for (; e < c; ++e) {
            if (!goOnAt(e)) return false;
            std::int32_t index = 0;
            switch (readShellRecord(s_, n, limit, block, values, index)) {
                case RecordFault::None:
                    break;
                case RecordFault::Indices:
                    return expected(kIndexLines[n]);
                case RecordFault::IndexRange:
                    return failAtLine(std::string(indexKind) + " index " + std::to_string(index) +
                                      " is outside 0.." + std::to_string(limit - 1));
                case RecordFault::Stress:
                    return expected("a stress line Sx,Sy,Sz,Txy,Txz,Tyz,Se");
            }
            nodes.insert(nodes.end(), block, block + n);
            stress.insert(stress.end(), values, values + blockSize);
        }
        return true;
    }

    ChunkOptions chunkOptions() const {
        ChunkOptions o;
        o.threads = options_.threads;
        if (o.threads <= 0) {
            unsigned cores = std::thread::hardware_concurrency();
            o.threads = static_cast<int>(std::clamp(cores, 1u, 4u));
        }
        o.chunkBytes = options_.chunkBytes;
        o.runTogether = options_.runTogether;
        o.progress = options_.progress;
        return o;
    }

    // "line N: expected ...", or "at the end of the file (after line N): expected ...".
    bool expected(const std::string& what) {
        return fail(common::Failure(s_.where() + ": expected " + what, "", s_.whereLine()));
    }
    // "line N: <what>", N being the line being read.
    bool failAtLine(const std::string& what) {
        return fail(
            common::Failure("line " + std::to_string(s_.line()) + ": " + what, "", s_.line()));
    }
    bool fail(common::Failure failure) {
        failure_ = std::move(failure);
        return false;
    }

    std::string path_;
    ResultModel& m_;
    ReadOptions options_;
    common::TextScanner s_;
    ChunkScanners chunkScanners_;  // kept from one section to the next
    std::uint64_t fileSize_ = 0;
    common::Failure failure_;
};

}  // namespace

common::Failure resultFileFailure(const std::string& path, const std::string& reason) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(common::PathFromUtf8(path), ec);
    return common::Failure("应力云图文件读取错误!",
                           (ec ? path : common::Utf8FromPath(full)) + ": " + reason);
}

common::Outcome readResultFile(const std::string& path, ResultModel& model,
                               const ReadOptions& options) {
    return Reader(path, model, options).run();
}

}  // namespace quillon

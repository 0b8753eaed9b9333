// The reader follows the C scan rules through common::TextScanner: a blank or line end of a
// pattern skips any run of white space (also none), a number skips leading white space and
// takes a sign, every other character must match. Unlike a bare scanf loop it stops at the
// first item that does not scan and names the line.
#include <algorithm>
#include <string>
#include <string_view>

#include "common/text_scanner.h"
#include "common/utf16.h"
#include "tool/pre_model.h"

namespace tarvik {
namespace {

constexpr const char* kCannotRead = "单元信息文件读取错误!";
constexpr const char* kWrongVersion = "前处理文本文件版本错误!";
constexpr const char* kNoVertices = "错误:PGPtNum<=0";

// Fewest bytes a record takes in the file: the shortest text the grammar accepts for it. A
// position line may be a bare line end, a number a single digit, and nothing needs to separate
// a record from the next one. A count is given no more room than the rest of the file could
// hold; the records are read as the count says all the same, so no valid file is refused.
constexpr std::size_t shortest(std::string_view record) {
    return record.size();
}
constexpr std::size_t kMaterialBytes = shortest("\nE=0Mu=0");
constexpr std::size_t kThicknessBytes = shortest("\nTK=0");
constexpr std::size_t kBeamSectionBytes = shortest("\nHw=0Tw=0Bf=0Tf=0");
constexpr std::size_t kCBeamSectionBytes = shortest("\nR=0T=0");
// Geometric points, nodal points, distributed loads of polygons and glue elements.
constexpr std::size_t kLabelAndThreeBytes = shortest("0:0,0,0");
constexpr std::size_t kPolygonBytes = shortest("0[1]:0[0,0]");
// A polygon's vertex: its number and a comma (the last one has none; the room given to a count
// is one more than the rest of the file holds).
constexpr std::size_t kVertexBytes = shortest("0,");
constexpr std::size_t kBeamLineBytes =
    shortest("0:0,0<0,0,0>[0,BeamSecType=0,BeamSecIndex=0,BeamSecOz=0,BeamSecMirrored=0]");
constexpr std::size_t kBeamLineLoadBytes = shortest("0:0,0");
constexpr std::size_t kShell4Bytes = shortest("0:0,0,0,0[0]");
constexpr std::size_t kShell3Bytes = shortest("0:0,0,0[0]");
constexpr std::size_t kBeamElementBytes = shortest("0:0,0[0]");
// The six integers of a restraint need only a blank (or the next one's sign) between them.
constexpr std::size_t kRestrictedNodeBytes = shortest("0:0 0 0 0 0 0");
constexpr std::size_t kForceBytes = shortest("0<0,0,0,0,0,0>");
static_assert(kMaterialBytes == 8 && kThicknessBytes == 5 && kBeamSectionBytes == 17 &&
              kCBeamSectionBytes == 7 && kLabelAndThreeBytes == 7 && kPolygonBytes == 11 &&
              kVertexBytes == 2 && kBeamLineBytes == 74 && kBeamLineLoadBytes == 5 &&
              kShell4Bytes == 12 && kShell3Bytes == 10 && kBeamElementBytes == 8 &&
              kRestrictedNodeBytes == 13 && kForceBytes == 14);

// One scan pass over the file. Every item returns false on a mismatch and records the first
// failure: the line and what was expected there.
// "text" with its quotes. (Built by appending: GCC 12 warns falsely about "..." + string.)
std::string Quoted(std::string_view text) {
    std::string q;
    q.reserve(text.size() + 2);
    q += '"';
    q += text;
    q += '"';
    return q;
}

class Scan {
  public:
    Scan(common::TextScanner& in, std::uint64_t fileSize) : in_(in), fileSize_(fileSize) {}

    bool literal(char c) { return in_.match(c) || fail(Quoted(std::string_view(&c, 1))); }
    bool literal(std::string_view text) { return in_.match(text) || fail(Quoted(text)); }
    // A pattern with blanks: each blank skips any white space.
    bool pattern(std::string_view text) {
        std::size_t i = 0;
        while (i < text.size()) {
            if (text[i] == ' ') {
                in_.skipSpace();
                ++i;
                continue;
            }
            std::size_t j = text.find(' ', i);
            if (j == std::string_view::npos) j = text.size();
            if (!in_.match(text.substr(i, j - i))) return fail(Quoted(text));
            i = j;
        }
        return true;
    }
    bool integer(std::int32_t& v) { return in_.readInt(v) || fail("an integer"); }
    bool real(double& v) { return in_.readDouble(v) || fail("a real"); }
    // The line end of a pattern.
    bool lineEnd() {
        in_.skipSpace();
        return true;
    }
    // The position line before a material, thickness or section record: whatever it says.
    bool skipPositionLine() { return in_.skipLine() || fail("a position line \"#i:\""); }

    // A point number read just before: must index the geometric point list.
    bool pointIndex(std::int32_t n, std::size_t points) {
        if (n >= 0 && static_cast<std::size_t>(n) < points) return true;
        std::string what = points == 0
                               ? std::string("a geometric point number, but NGPT=0")
                               : "a geometric point number from 0 to " + std::to_string(points - 1);
        return fail(what + ", found " + std::to_string(n), false);
    }

    // How many records to make room for: the count, but never more than the rest of the
    // file could hold, so that a damaged count cannot exhaust memory.
    std::size_t roomFor(std::int32_t count, std::size_t minRecordBytes) const {
        std::uint64_t left = fileSize_ > in_.offset() ? fileSize_ - in_.offset() : 0;
        return static_cast<std::size_t>(
            std::min<std::uint64_t>(static_cast<std::uint64_t>(count), left / minRecordBytes + 1));
    }

    void at(const char* record, std::int64_t index) {
        record_ = record;
        index_ = index;
    }

    bool failed() const { return !expected_.empty(); }
    std::string message(const std::string& path) {
        std::string m = path + " " + where_ + ": expected " + expected_;
        if (record_) {
            m += index_ < 0 ? std::string(" in the count line of ") + record_
                            : " in " + std::string(record_) + " record " + std::to_string(index_);
        }
        return m;
    }

  private:
    bool fail(std::string what, bool checkEnd = true) {
        if (expected_.empty()) {
            // "line N", or "at the end of the file (after line N)" when the file ran out.
            where_ = checkEnd ? in_.where() : "line " + std::to_string(in_.line());
            expected_ = std::move(what);
        }
        return false;
    }

    common::TextScanner& in_;
    std::uint64_t fileSize_;
    const char* record_ = nullptr;
    std::int64_t index_ = -1;
    std::string expected_;
    std::string where_;
};

// A count line and its records. `readOne` scans one record into the new element.
template <class Record, class ReadOne>
bool ReadSection(Scan& s, std::string_view countText, const char* key, Section<Record>& section,
                 std::size_t minRecordBytes, ReadOne readOne) {
    s.at(key, -1);
    if (!(s.pattern(countText) && s.integer(section.count) && s.lineEnd())) return false;
    if (section.count <= 0) return true;
    section.records.reserve(s.roomFor(section.count, minRecordBytes));
    for (std::int32_t i = 0; i < section.count; ++i) {
        s.at(key, i);
        if (!readOne(section.records.emplace_back())) return false;
    }
    return true;
}

bool ReadBeamSection(Scan& s, BeamSection& r) {
    return s.skipPositionLine() && s.literal("Hw=") && s.real(r.Hw) && s.lineEnd() &&
           s.literal("Tw=") && s.real(r.Tw) && s.lineEnd() && s.literal("Bf=") && s.real(r.Bf) &&
           s.lineEnd() && s.literal("Tf=") && s.real(r.Tf) && s.lineEnd();
}

// Label, ':' and three comma-separated reals: geometric points, nodal points, polygon loads.
bool ReadLabelAndThreeReals(Scan& s, std::int32_t& label, double& a, double& b, double& c) {
    return s.integer(label) && s.literal(':') && s.real(a) && s.literal(',') && s.real(b) &&
           s.literal(',') && s.real(c) && s.lineEnd();
}

// Integers joined by `separator`, the last without one.
template <std::size_t N>
bool ReadIntegers(Scan& s, std::int32_t (&v)[N], char separator) {
    for (std::size_t i = 0; i < N; ++i)
        if (!(s.integer(v[i]) && (i + 1 == N || s.literal(separator)))) return false;
    return true;
}

struct ReadOutcome {
    bool ok = false;
    bool fatalShown = false;
};

ReadOutcome ReadSections(Scan& s, PreModel& m, const MessageOutput& messages) {
    ReadOutcome out;
    std::int32_t discarded = 0;
    const std::vector<GeoPoint>& points = m.geoPoints.records;
    // Shell and beam elements: a discarded label, the node numbers and a tag.
    auto readElement = [&](auto& r) {
        return s.integer(discarded) && s.literal(':') && ReadIntegers(s, r.node, ',') &&
               s.literal('[') && s.integer(r.tag) && s.literal(']') && s.lineEnd();
    };

    bool ok =
        ReadSection(s, "Number of materials:NMT=", "NMT", m.materials, kMaterialBytes,
                    [&](Material& r) {
                        return s.skipPositionLine() && s.literal("E=") && s.real(r.E) &&
                               s.lineEnd() && s.literal("Mu=") && s.real(r.Mu) && s.lineEnd();
                    }) &&
        ReadSection(s, "Number of thicknesses:NTK=", "NTK", m.thicknesses, kThicknessBytes,
                    [&](Thickness& r) {
                        return s.skipPositionLine() && s.literal("TK=") && s.real(r.TK) &&
                               s.lineEnd();
                    }) &&
        ReadSection(s, "Number of T_beam sections:NTBS=", "NTBS", m.tBeamSections,
                    kBeamSectionBytes, [&](BeamSection& r) { return ReadBeamSection(s, r); }) &&
        ReadSection(s, "Number of L_beam sections:NLBS=", "NLBS", m.lBeamSections,
                    kBeamSectionBytes, [&](BeamSection& r) { return ReadBeamSection(s, r); }) &&
        ReadSection(s, "Number of C_beam sections:NCBS=", "NCBS", m.cBeamSections,
                    kCBeamSectionBytes,
                    [&](CBeamSection& r) {
                        return s.skipPositionLine() && s.literal("R=") && s.real(r.R) &&
                               s.lineEnd() && s.literal("T=") && s.real(r.T) && s.lineEnd();
                    }) &&
        ReadSection(
            s, "Number of geometric points:NGPT=", "NGPT", m.geoPoints, kLabelAndThreeBytes,
            [&](GeoPoint& r) { return ReadLabelAndThreeReals(s, r.label, r.x, r.y, r.z); }) &&
        ReadSection(s, "Number of polygons:NPG=", "NPG", m.polygons, kPolygonBytes,
                    [&](Polygon& r) {
                        if (!(s.integer(r.label) && s.literal('[') && s.integer(r.PGPtNum) &&
                              s.literal("]:")))
                            return false;
                        if (r.PGPtNum <= 0) {
                            ShowFatalAndPause(messages, kNoVertices);
                            out.fatalShown = true;
                            return false;
                        }
                        r.vertices.reserve(s.roomFor(r.PGPtNum, kVertexBytes));
                        for (std::int32_t i = 0; i < r.PGPtNum; ++i) {
                            std::int32_t n = 0;
                            if (!(s.integer(n) && s.pointIndex(n, points.size()) &&
                                  (i + 1 == r.PGPtNum || s.literal(','))))
                                return false;
                            r.vertices.push_back(points[static_cast<std::size_t>(n)]);
                        }
                        return s.literal('[') && s.integer(r.tag1) && s.literal(',') &&
                               s.integer(r.tag2) && s.literal(']') && s.lineEnd();
                    }) &&
        ReadSection(s, "Number of beam lines:NBL=", "NBL", m.beamLines, kBeamLineBytes,
                    [&](BeamLine& r) {
                        std::int32_t a = 0, b = 0, mirrored = 0;
                        if (!(s.integer(discarded) && s.literal(':') && s.integer(a) &&
                              s.pointIndex(a, points.size()) && s.literal(',') && s.integer(b) &&
                              s.pointIndex(b, points.size())))
                            return false;
                        r.start = points[static_cast<std::size_t>(a)];
                        r.end = points[static_cast<std::size_t>(b)];
                        bool ok = s.literal('<') && s.real(r.vector[0]) && s.literal(',') &&
                                  s.real(r.vector[1]) && s.literal(',') && s.real(r.vector[2]) &&
                                  s.literal(">[") && s.integer(r.tag) &&
                                  s.literal(",BeamSecType=") && s.integer(r.BeamSecType) &&
                                  s.literal(",BeamSecIndex=") && s.integer(r.BeamSecIndex) &&
                                  s.literal(",BeamSecOz=") && s.real(r.BeamSecOz) &&
                                  s.literal(",BeamSecMirrored=") && s.integer(mirrored) &&
                                  s.literal(']') && s.lineEnd();
                        r.BeamSecMirrored = mirrored != 0;
                        return ok;
                    }) &&
        ReadSection(s, "Number of distributed loads of polygons:NDL_PG=", "NDL_PG", m.polygonLoads,
                    kLabelAndThreeBytes,
                    [&](PolygonLoad& r) {
                        return ReadLabelAndThreeReals(s, r.label, r.value[0], r.value[1],
                                                      r.value[2]);
                    }) &&
        ReadSection(s, "Number of distributed loads of beamlines:NDL_BL=", "NDL_BL",
                    m.beamLineLoads, kBeamLineLoadBytes,
                    [&](BeamLineLoad& r) {
                        return s.integer(r.label) && s.literal(':') && s.real(r.value[0]) &&
                               s.literal(',') && s.real(r.value[1]) && s.lineEnd();
                    }) &&
        ReadSection(
            s, "Number of nodal points:NPOIN=", "NPOIN", m.nodalPoints, kLabelAndThreeBytes,
            [&](NodalPoint& r) { return ReadLabelAndThreeReals(s, discarded, r.x, r.y, r.z); }) &&
        ReadSection(s, "Number of four-nodes shell elements:NELEM_S_4ND=", "NELEM_S_4ND",
                    m.shell4Elements, kShell4Bytes, readElement) &&
        ReadSection(s, "Number of three-nodes shell elements:NELEM_S_3ND=", "NELEM_S_3ND",
                    m.shell3Elements, kShell3Bytes, readElement) &&
        ReadSection(s, "Number of beam elements:NELEM_B=", "NELEM_B", m.beamElements,
                    kBeamElementBytes, readElement) &&
        ReadSection(s, "Number of glue elements:NELEM_G=", "NELEM_G", m.glueElements,
                    kLabelAndThreeBytes,
                    [&](GlueElement& r) {
                        return s.integer(discarded) && s.literal(':') &&
                               ReadIntegers(s, r.value, ',') && s.lineEnd();
                    }) &&
        // The six integers of a restraint are separated by white space only: each integer
        // skips the blanks before it.
        ReadSection(s, "Number of restricted nodal points:NRN=", "NRN", m.restrictedNodes,
                    kRestrictedNodeBytes,
                    [&](RestrictedNode& r) {
                        if (!(s.integer(r.label) && s.literal(':'))) return false;
                        for (std::int32_t& v : r.value)
                            if (!s.integer(v)) return false;
                        return s.lineEnd();
                    }) &&
        ReadSection(s, "Number of forces:NFOR=", "NFOR", m.forces, kForceBytes, [&](Force& r) {
            if (!(s.integer(r.label) && s.literal('<'))) return false;
            for (int i = 0; i < 6; ++i)
                if (!(s.real(r.value[i]) && s.literal(i < 5 ? ',' : '>'))) return false;
            return s.lineEnd();
        });
    out.ok = ok;
    return out;
}

}  // namespace

bool ReadPreModel(PreModel& model, const std::string& path, const MessageOutput& messages) {
    model = PreModel{};
    common::TextScanner in;
    if (!in.open(path)) {
        ShowWarning(messages, kCannotRead);
        return false;
    }
    std::uint64_t size = in.fileSize();
    if (size == common::TextScanner::kUnknownSize)
        size = std::uint64_t{1} << 20;  // not a regular file: reserve modestly
    Scan s(in, size);

    double version = 0;
    bool header = s.pattern("### Halvo R") && s.real(version) && s.pattern(" ###") && s.lineEnd();
    if (in.readError()) {
        ShowWarning(messages, kCannotRead);
        return false;
    }
    if (!header || version != 2.0) {
        ShowWarning(messages, kWrongVersion);
        return false;
    }

    ReadOutcome outcome = ReadSections(s, model, messages);
    if (outcome.ok) return true;
    if (!outcome.fatalShown)
        ShowWarning(messages, in.readError() ? std::string(kCannotRead) : s.message(path));
    model = PreModel{};
    return false;
}

}  // namespace tarvik

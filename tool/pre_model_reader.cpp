// The reader follows the C scan rules through common::TextScanner: a blank or line end of a
// pattern skips any run of white space (also none), a number skips leading white space and
// takes a sign, every other character must match. Unlike a bare scanf loop it stops at the
// first item that does not scan and names the line.
#include <algorithm>
#include <string>

#include "common/outcome.h"
#include "common/text_scanner.h"
#include "common/utf16.h"
#include "tool/pre_model.h"

namespace tarvik {
namespace {

constexpr const char* kCannotRead = "单元信息文件读取错误!";
constexpr const char* kWrongVersion = "前处理文本文件版本错误!";
constexpr const char* kNoVertices = "错误:PGPtNum<=0";

// "text" with its quotes. (Built by appending: GCC 12 warns falsely about "..." + string.)
std::string Quoted(std::string_view text) {
    std::string q;
    q.reserve(text.size() + 2);
    q += '"';
    q += text;
    q += '"';
    return q;
}

// One scan pass over the file. Every item returns false on a mismatch and records the first
// failure: the line and what was expected there.
class Scan {
  public:
    Scan(common::TextScanner& in, std::uint64_t fileSize, const std::string& path)
        : in_(in), fileSize_(fileSize), path_(path) {}

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

    // A record that follows the grammar but cannot be taken: `message` is all that is said.
    bool refuse(const char* message) {
        if (!failed()) failure_ = common::Failure(message);
        return false;
    }

    bool failed() const { return !failure_.message.empty(); }
    // The first failure: "<path> line N: expected ... in NPG record 3", or what refuse() said.
    const common::Failure& failure() const { return failure_; }

  private:
    bool fail(const std::string& what, bool checkEnd = true) {
        if (failed()) return false;
        // "line N", or "at the end of the file (after line N)" when the file ran out.
        std::string where = checkEnd ? in_.where() : "line " + std::to_string(in_.line());
        std::string m = path_ + " " + where + ": expected " + what;
        if (record_) {
            m += index_ < 0 ? std::string(" in the count line of ") + record_
                            : " in " + std::string(record_) + " record " + std::to_string(index_);
        }
        failure_ = common::Failure(std::move(m), "", checkEnd ? in_.whereLine() : in_.line());
        return false;
    }

    common::TextScanner& in_;
    std::uint64_t fileSize_;
    const std::string& path_;
    const char* record_ = nullptr;
    std::int64_t index_ = -1;
    common::Failure failure_;
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

bool ReadSections(Scan& s, PreModel& m) {
    std::int32_t discarded = 0;
    const std::vector<GeoPoint>& points = m.geoPoints.records;
    // Shell and beam elements: a discarded label, the node numbers and a tag.
    auto readElement = [&](auto& r) {
        return s.integer(discarded) && s.literal(':') && ReadIntegers(s, r.node, ',') &&
               s.literal('[') && s.integer(r.tag) && s.literal(']') && s.lineEnd();
    };

    bool ok = ReadSection(s, "Number of materials:NMT=", "NMT", m.materials, 8,
                          [&](Material& r) {
                              return s.skipPositionLine() && s.literal("E=") && s.real(r.E) &&
                                     s.lineEnd() && s.literal("Mu=") && s.real(r.Mu) && s.lineEnd();
                          }) &&
              ReadSection(s, "Number of thicknesses:NTK=", "NTK", m.thicknesses, 5,
                          [&](Thickness& r) {
                              return s.skipPositionLine() && s.literal("TK=") && s.real(r.TK) &&
                                     s.lineEnd();
                          }) &&
              ReadSection(s, "Number of T_beam sections:NTBS=", "NTBS", m.tBeamSections, 13,
                          [&](BeamSection& r) { return ReadBeamSection(s, r); }) &&
              ReadSection(s, "Number of L_beam sections:NLBS=", "NLBS", m.lBeamSections, 13,
                          [&](BeamSection& r) { return ReadBeamSection(s, r); }) &&
              ReadSection(s, "Number of C_beam sections:NCBS=", "NCBS", m.cBeamSections, 7,
                          [&](CBeamSection& r) {
                              return s.skipPositionLine() && s.literal("R=") && s.real(r.R) &&
                                     s.lineEnd() && s.literal("T=") && s.real(r.T) && s.lineEnd();
                          }) &&
              ReadSection(
                  s, "Number of geometric points:NGPT=", "NGPT", m.geoPoints, 7,
                  [&](GeoPoint& r) { return ReadLabelAndThreeReals(s, r.label, r.x, r.y, r.z); }) &&
              ReadSection(s, "Number of polygons:NPG=", "NPG", m.polygons, 11,
                          [&](Polygon& r) {
                              if (!(s.integer(r.label) && s.literal('[') && s.integer(r.PGPtNum) &&
                                    s.literal("]:")))
                                  return false;
                              if (r.PGPtNum <= 0) return s.refuse(kNoVertices);
                              r.vertices.reserve(s.roomFor(r.PGPtNum, 2));
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
              ReadSection(s, "Number of beam lines:NBL=", "NBL", m.beamLines, 90,
                          [&](BeamLine& r) {
                              std::int32_t a = 0, b = 0, mirrored = 0;
                              if (!(s.integer(discarded) && s.literal(':') && s.integer(a) &&
                                    s.pointIndex(a, points.size()) && s.literal(',') &&
                                    s.integer(b) && s.pointIndex(b, points.size())))
                                  return false;
                              r.start = points[static_cast<std::size_t>(a)];
                              r.end = points[static_cast<std::size_t>(b)];
                              bool ok = s.literal('<') && s.real(r.vector[0]) && s.literal(',') &&
                                        s.real(r.vector[1]) && s.literal(',') &&
                                        s.real(r.vector[2]) && s.literal(">[") &&
                                        s.integer(r.tag) && s.literal(",BeamSecType=") &&
                                        s.integer(r.BeamSecType) && s.literal(",BeamSecIndex=") &&
                                        s.integer(r.BeamSecIndex) && s.literal(",BeamSecOz=") &&
                                        s.real(r.BeamSecOz) && s.literal(",BeamSecMirrored=") &&
                                        s.integer(mirrored) && s.literal(']') && s.lineEnd();
                              r.BeamSecMirrored = mirrored != 0;
                              return ok;
                          }) &&
              ReadSection(
                  s, "Number of distributed loads of polygons:NDL_PG=", "NDL_PG", m.polygonLoads, 7,
                  [&](PolygonLoad& r) {
                      return ReadLabelAndThreeReals(s, r.label, r.value[0], r.value[1], r.value[2]);
                  }) &&
              ReadSection(s, "Number of distributed loads of beamlines:NDL_BL=", "NDL_BL",
                          m.beamLineLoads, 5,
                          [&](BeamLineLoad& r) {
                              return s.integer(r.label) && s.literal(':') && s.real(r.value[0]) &&
                                     s.literal(',') && s.real(r.value[1]) && s.lineEnd();
                          }) &&
              ReadSection(s, "Number of nodal points:NPOIN=", "NPOIN", m.nodalPoints, 7,
                          [&](NodalPoint& r) {
                              return ReadLabelAndThreeReals(s, discarded, r.x, r.y, r.z);
                          }) &&
              ReadSection(s, "Number of four-nodes shell elements:NELEM_S_4ND=", "NELEM_S_4ND",
                          m.shell4Elements, 12, readElement) &&
              ReadSection(s, "Number of three-nodes shell elements:NELEM_S_3ND=", "NELEM_S_3ND",
                          m.shell3Elements, 10, readElement) &&
              ReadSection(s, "Number of beam elements:NELEM_B=", "NELEM_B", m.beamElements, 8,
                          readElement) &&
              ReadSection(s, "Number of glue elements:NELEM_G=", "NELEM_G", m.glueElements, 7,
                          [&](GlueElement& r) {
                              return s.integer(discarded) && s.literal(':') &&
                                     ReadIntegers(s, r.value, ',') && s.lineEnd();
                          }) &&
              // The six integers of a restraint are separated by white space only: each integer
              // skips the blanks before it.
              ReadSection(s, "Number of restricted nodal points:NRN=", "NRN", m.restrictedNodes, 13,
                          [&](RestrictedNode& r) {
                              if (!(s.integer(r.label) && s.literal(':'))) return false;
                              for (std::int32_t& v : r.value)
                                  if (!s.integer(v)) return false;
                              return s.lineEnd();
                          }) &&
              ReadSection(s, "Number of forces:NFOR=", "NFOR", m.forces, 14, [&](Force& r) {
                  if (!(s.integer(r.label) && s.literal('<'))) return false;
                  for (int i = 0; i < 6; ++i)
                      if (!(s.real(r.value[i]) && s.literal(i < 5 ? ',' : '>'))) return false;
                  return s.lineEnd();
              });
    return ok;
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
    Scan s(in, size, path);

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

    if (ReadSections(s, model)) return true;
    model = PreModel{};
    const common::Failure& failure = s.failure();
    // A polygon without vertices is the one fatal message: on the console, with a wait for a key.
    if (failure.message == kNoVertices)
        ShowFatalAndPause(messages, kNoVertices);
    else
        ShowWarning(messages, in.readError() ? std::string(kCannotRead) : failure.message);
    return false;
}

}  // namespace tarvik

// The reader follows the C scan rules through common::TextScanner: a blank or line end of a
// pattern skips any run of white space (also none), a number skips leading white space and
// takes a sign, every other character must match. Unlike a bare scanf loop it stops at the
// first item that does not scan and names the line.
#include <algorithm>
#include <string>
#include <string_view>

#include "common/outcome.h"
#include "common/text_scanner.h"
#include "common/utf16.h"
#include "tool/pre_model.h"
#include "tool/pre_model_sections.h"

namespace tarvik {
namespace {

// A polygon's vertex takes at least its number and a comma (the last one has none; the room
// given to a count is one more than the rest of the file holds). The records' floors are in
// kSectionFormats.
constexpr std::size_t kVertexBytes = std::string_view("0,").size();

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

    void at(std::string_view record, std::int64_t index) {
        record_ = record;
        index_ = index;
    }

    bool failed() const { return !failure_.message.empty(); }
    // The first failure: "<path> line N: expected ... in NPG record 3".
    const common::Failure& failure() const { return failure_; }

  private:
    bool fail(const std::string& what, bool checkEnd = true) {
        if (failed()) return false;
        // "line N", or "at the end of the file (after line N)" when the file ran out.
        std::string where = checkEnd ? in_.where() : "line " + std::to_string(in_.line());
        std::string m = path_ + " " + where + ": expected " + what;
        if (!record_.empty()) {
            m += index_ < 0 ? " in the count line of " + std::string(record_)
                            : " in " + std::string(record_) + " record " + std::to_string(index_);
        }
        failure_ = common::Failure(std::move(m), "", checkEnd ? in_.whereLine() : in_.line());
        return false;
    }

    common::TextScanner& in_;
    std::uint64_t fileSize_;
    const std::string& path_;
    std::string_view record_;
    std::int64_t index_ = -1;
    common::Failure failure_;
};

// A count line and its records. `readOne` scans one record into the new element.
template <class Record, class ReadOne>
bool ReadSection(Scan& s, const SectionFormat<Record>& format, Section<Record>& section,
                 ReadOne readOne) {
    s.at(format.key(), -1);
    if (!(s.pattern(format.countText) && s.integer(section.count) && s.lineEnd())) return false;
    if (section.count <= 0) return true;
    section.records.reserve(s.roomFor(section.count, format.shortestRecord.size()));
    for (std::int32_t i = 0; i < section.count; ++i) {
        s.at(format.key(), i);
        if (!readOne(section.records.emplace_back())) return false;
    }
    return true;
}

// Integers joined by `separator`, the last without one.
template <std::size_t N>
bool ReadIntegers(Scan& s, std::int32_t (&v)[N], char separator) {
    for (std::size_t i = 0; i < N; ++i)
        if (!(s.integer(v[i]) && (i + 1 == N || s.literal(separator)))) return false;
    return true;
}

// One record of each section; the record's type chooses the overload.
class RecordReader {
  public:
    RecordReader(Scan& s, const std::vector<GeoPoint>& points) : s_(s), points_(points) {}

    // True when a polygon had no vertices: the reading failed for that, not for the grammar.
    bool noVertices() const { return noVertices_; }

    bool read(Material& r) {
        return s_.skipPositionLine() && s_.literal("E=") && s_.real(r.E) && s_.lineEnd() &&
               s_.literal("Mu=") && s_.real(r.Mu) && s_.lineEnd();
    }
    bool read(Thickness& r) {
        return s_.skipPositionLine() && s_.literal("TK=") && s_.real(r.TK) && s_.lineEnd();
    }
    bool read(BeamSection& r) {
        return s_.skipPositionLine() && s_.literal("Hw=") && s_.real(r.Hw) && s_.lineEnd() &&
               s_.literal("Tw=") && s_.real(r.Tw) && s_.lineEnd() && s_.literal("Bf=") &&
               s_.real(r.Bf) && s_.lineEnd() && s_.literal("Tf=") && s_.real(r.Tf) && s_.lineEnd();
    }
    bool read(CBeamSection& r) {
        return s_.skipPositionLine() && s_.literal("R=") && s_.real(r.R) && s_.lineEnd() &&
               s_.literal("T=") && s_.real(r.T) && s_.lineEnd();
    }
    bool read(GeoPoint& r) { return labelAndThreeReals(r.label, r.x, r.y, r.z); }
    bool read(Polygon& r) {
        if (!(s_.integer(r.label) && s_.literal('[') && s_.integer(r.PGPtNum) && s_.literal("]:")))
            return false;
        if (r.PGPtNum <= 0) {
            noVertices_ = true;
            return false;
        }
        r.vertices.reserve(s_.roomFor(r.PGPtNum, kVertexBytes));
        for (std::int32_t i = 0; i < r.PGPtNum; ++i) {
            std::int32_t n = 0;
            if (!(s_.integer(n) && s_.pointIndex(n, points_.size()) &&
                  (i + 1 == r.PGPtNum || s_.literal(','))))
                return false;
            r.vertices.push_back(points_[static_cast<std::size_t>(n)]);
        }
        return s_.literal('[') && s_.integer(r.tag1) && s_.literal(',') && s_.integer(r.tag2) &&
               s_.literal(']') && s_.lineEnd();
    }
    bool read(BeamLine& r) {
        std::int32_t a = 0, b = 0, mirrored = 0;
        if (!(s_.integer(discarded_) && s_.literal(':') && s_.integer(a) &&
              s_.pointIndex(a, points_.size()) && s_.literal(',') && s_.integer(b) &&
              s_.pointIndex(b, points_.size())))
            return false;
        r.start = points_[static_cast<std::size_t>(a)];
        r.end = points_[static_cast<std::size_t>(b)];
        bool ok = s_.literal('<') && s_.real(r.vector[0]) && s_.literal(',') &&
                  s_.real(r.vector[1]) && s_.literal(',') && s_.real(r.vector[2]) &&
                  s_.literal(">[") && s_.integer(r.tag) && s_.literal(",BeamSecType=") &&
                  s_.integer(r.BeamSecType) && s_.literal(",BeamSecIndex=") &&
                  s_.integer(r.BeamSecIndex) && s_.literal(",BeamSecOz=") && s_.real(r.BeamSecOz) &&
                  s_.literal(",BeamSecMirrored=") && s_.integer(mirrored) && s_.literal(']') &&
                  s_.lineEnd();
        r.BeamSecMirrored = mirrored != 0;
        return ok;
    }
    bool read(PolygonLoad& r) {
        return labelAndThreeReals(r.label, r.value[0], r.value[1], r.value[2]);
    }
    bool read(BeamLineLoad& r) {
        return s_.integer(r.label) && s_.literal(':') && s_.real(r.value[0]) && s_.literal(',') &&
               s_.real(r.value[1]) && s_.lineEnd();
    }
    bool read(NodalPoint& r) { return labelAndThreeReals(discarded_, r.x, r.y, r.z); }
    bool read(Shell4Element& r) { return element(r); }
    bool read(Shell3Element& r) { return element(r); }
    bool read(BeamElement& r) { return element(r); }
    bool read(GlueElement& r) {
        return s_.integer(discarded_) && s_.literal(':') && ReadIntegers(s_, r.value, ',') &&
               s_.lineEnd();
    }
    // The six integers of a restraint are separated by white space only: each integer skips
    // the blanks before it.
    bool read(RestrictedNode& r) {
        if (!(s_.integer(r.label) && s_.literal(':'))) return false;
        for (std::int32_t& v : r.value)
            if (!s_.integer(v)) return false;
        return s_.lineEnd();
    }
    bool read(Force& r) {
        if (!(s_.integer(r.label) && s_.literal('<'))) return false;
        for (int i = 0; i < 6; ++i)
            if (!(s_.real(r.value[i]) && s_.literal(i < 5 ? ',' : '>'))) return false;
        return s_.lineEnd();
    }

  private:
    // Label, ':' and three comma-separated reals: geometric points, nodal points, polygon loads.
    bool labelAndThreeReals(std::int32_t& label, double& a, double& b, double& c) {
        return s_.integer(label) && s_.literal(':') && s_.real(a) && s_.literal(',') &&
               s_.real(b) && s_.literal(',') && s_.real(c) && s_.lineEnd();
    }
    // Shell and beam elements: a discarded label, the node numbers and a tag.
    template <class Element>
    bool element(Element& r) {
        return s_.integer(discarded_) && s_.literal(':') && ReadIntegers(s_, r.node, ',') &&
               s_.literal('[') && s_.integer(r.tag) && s_.literal(']') && s_.lineEnd();
    }

    Scan& s_;
    const std::vector<GeoPoint>& points_;
    std::int32_t discarded_ = 0;
    bool noVertices_ = false;
};

bool ReadSections(Scan& s, RecordReader& records, PreModel& m) {
    return forEachSection(m, [&](const auto& format, auto& section) {
        return ReadSection(s, format, section, [&](auto& r) { return records.read(r); });
    });
}

}  // namespace

common::Outcome ReadPreModel(PreModel& model, const std::string& path) {
    model = PreModel{};
    common::TextScanner in;
    if (!in.open(path)) return common::Failure(kCannotRead);
    std::uint64_t size = in.fileSize();
    if (size == common::TextScanner::kUnknownSize)
        size = std::uint64_t{1} << 20;  // not a regular file: reserve modestly
    Scan s(in, size, path);

    double version = 0;
    bool header = s.pattern("### Halvo R") && s.real(version) && s.pattern(" ###") && s.lineEnd();
    if (in.readError()) return common::Failure(kCannotRead);
    if (!header || version != 2.0) return common::Failure(kWrongVersion);

    RecordReader records(s, model.geoPoints.records);
    if (ReadSections(s, records, model)) return {};
    model = PreModel{};
    if (records.noVertices()) return common::Failure(kNoVertices);
    if (in.readError()) return common::Failure(kCannotRead);
    return s.failure();
}

}  // namespace tarvik

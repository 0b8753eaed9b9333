#include <clocale>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/replacing_file.h"
#include "tool/number_text.h"
#include "tool/pre_model.h"

namespace tarvik {
namespace {
using common::ReplacingFile;

constexpr const char* kSaveFailed = "文件保存失败!";
constexpr const char* kTryAnotherPath = "有可能是当前存储介质无法写入,建议更换保存路径.";

// Where the text goes block by block: a file, or a string for a model text kept in memory.
using TextSink = std::function<bool(const char* data, std::size_t size)>;

// Text of the model gathered in a large block and handed to the sink block by block; lines
// are not flushed one by one, the temporary file makes the output safe instead.
class TextOut {
  public:
    TextOut(TextSink sink, std::size_t blockSize) : sink_(std::move(sink)), buf_(blockSize) {}

    TextOut& operator<<(std::string_view text) {
        if (buf_.size() - used_ < text.size()) flush();
        if (text.size() > buf_.size()) {
            sink_(text.data(), text.size());
        } else {
            std::memcpy(buf_.data() + used_, text.data(), text.size());
            used_ += text.size();
        }
        return *this;
    }
    TextOut& operator<<(char c) {
        if (used_ == buf_.size()) flush();
        buf_[used_++] = c;
        return *this;
    }
    TextOut& operator<<(std::int32_t v) {
        room();
        used_ = static_cast<std::size_t>(FormatInt(at(), end(), v) - buf_.data());
        return *this;
    }
    // Reals follow the stream mode of the file: general with 6 digits up to the sections,
    // fixed with 5 decimals from the geometric points on.
    TextOut& operator<<(double v) {
        room();
        char* p = fixed_ ? FormatFixed5(at(), end(), v) : FormatGeneral6(at(), end(), v);
        used_ = static_cast<std::size_t>(p - buf_.data());
        return *this;
    }
    void setFixed() { fixed_ = true; }
    bool flush() {
        bool ok = sink_(buf_.data(), used_);
        used_ = 0;
        return ok;
    }

  private:
    void room() {
        if (buf_.size() - used_ < kMaxNumberChars) flush();
    }
    char* at() { return buf_.data() + used_; }
    char* end() { return buf_.data() + buf_.size(); }

    TextSink sink_;
    std::vector<char> buf_;
    std::size_t used_ = 0;
    bool fixed_ = false;
};

// A count line, then each record with its zero-based position.
template <class Record, class WriteOne>
void WriteSection(TextOut& out, std::string_view countText, const Section<Record>& section,
                  WriteOne writeOne) {
    out << countText << section.count << '\n';
    std::int32_t position = 0;
    for (const Record& r : section.records) writeOne(r, position++);
}

void WriteBeamSection(TextOut& out, const BeamSection& r, std::int32_t i) {
    out << '#' << i << ":\n"
        << "Hw=" << r.Hw << "\nTw=" << r.Tw << "\nBf=" << r.Bf << "\nTf=" << r.Tf << '\n';
}

void WriteSections(TextOut& out, const PreModel& m) {
    out << "### Halvo R2.00 ###\n";
    // Shell and beam elements: position, the node numbers and the tag.
    auto writeElement = [&](const auto& r, int i) {
        out << i << ':';
        for (std::size_t k = 0; k < std::size(r.node); ++k) out << (k ? "," : "") << r.node[k];
        out << '[' << r.tag << "]\n";
    };
    WriteSection(out, "Number of materials:NMT=", m.materials, [&](const Material& r, int i) {
        out << '#' << i << ":\n"
            << "E=" << r.E << "\nMu=" << r.Mu << '\n';
    });
    WriteSection(out, "Number of thicknesses:NTK=", m.thicknesses,
                 [&](const Thickness& r, int i) { out << '#' << i << ":\nTK=" << r.TK << '\n'; });
    WriteSection(out, "Number of T_beam sections:NTBS=", m.tBeamSections,
                 [&](const BeamSection& r, int i) { WriteBeamSection(out, r, i); });
    WriteSection(out, "Number of L_beam sections:NLBS=", m.lBeamSections,
                 [&](const BeamSection& r, int i) { WriteBeamSection(out, r, i); });
    WriteSection(out, "Number of C_beam sections:NCBS=", m.cBeamSections,
                 [&](const CBeamSection& r, int i) {
                     out << '#' << i << ":\nR=" << r.R << "\nT=" << r.T << '\n';
                 });

    out << "Number of geometric points:NGPT=" << m.geoPoints.count << '\n';
    out.setFixed();  // every later real has exactly five decimals
    std::int32_t position = 0;
    for (const GeoPoint& r : m.geoPoints.records)
        out << position++ << ':' << r.x << ',' << r.y << ',' << r.z << '\n';

    WriteSection(out, "Number of polygons:NPG=", m.polygons, [&](const Polygon& r, int i) {
        out << i << '[' << r.PGPtNum << "]:";
        for (std::size_t v = 0; v < r.vertices.size(); ++v)
            out << (v ? "," : "") << r.vertices[v].label;
        out << '[' << r.tag1 << ',' << r.tag2 << "]\n";
    });
    WriteSection(out, "Number of beam lines:NBL=", m.beamLines, [&](const BeamLine& r, int i) {
        out << i << ':' << r.start.label << ',' << r.end.label << '<' << r.vector[0] << ','
            << r.vector[1] << ',' << r.vector[2] << ">[" << r.tag
            << ",BeamSecType=" << r.BeamSecType << ",BeamSecIndex=" << r.BeamSecIndex
            << ",BeamSecOz=" << r.BeamSecOz
            << ",BeamSecMirrored=" << std::int32_t{r.BeamSecMirrored ? 1 : 0} << "]\n";
    });
    WriteSection(out, "Number of distributed loads of polygons:NDL_PG=", m.polygonLoads,
                 [&](const PolygonLoad& r, int) {
                     out << r.label << ':' << r.value[0] << ',' << r.value[1] << ',' << r.value[2]
                         << '\n';
                 });
    WriteSection(out, "Number of distributed loads of beamlines:NDL_BL=", m.beamLineLoads,
                 [&](const BeamLineLoad& r, int) {
                     out << r.label << ':' << r.value[0] << ',' << r.value[1] << '\n';
                 });
    WriteSection(out, "Number of nodal points:NPOIN=", m.nodalPoints,
                 [&](const NodalPoint& r, int i) {
                     out << i << ':' << r.x << ',' << r.y << ',' << r.z << '\n';
                 });
    WriteSection(out, "Number of four-nodes shell elements:NELEM_S_4ND=", m.shell4Elements,
                 writeElement);
    WriteSection(out, "Number of three-nodes shell elements:NELEM_S_3ND=", m.shell3Elements,
                 writeElement);
    WriteSection(out, "Number of beam elements:NELEM_B=", m.beamElements, writeElement);
    WriteSection(
        out, "Number of glue elements:NELEM_G=", m.glueElements, [&](const GlueElement& r, int i) {
            out << i << ':' << r.value[0] << ',' << r.value[1] << ',' << r.value[2] << '\n';
        });
    WriteSection(out, "Number of restricted nodal points:NRN=", m.restrictedNodes,
                 [&](const RestrictedNode& r, int) {
                     out << r.label << ':';
                     for (int k = 0; k < 6; ++k) out << (k ? " " : "") << r.value[k];
                     out << '\n';
                 });
    WriteSection(out, "Number of forces:NFOR=", m.forces, [&](const Force& r, int) {
        out << r.label << '<';
        for (int k = 0; k < 6; ++k) out << (k ? "," : "") << r.value[k];
        out << ">\n";
    });
    out << "###end###\n";
}

}  // namespace

bool WritePreModel(const PreModel& model, const std::string& path, const MessageOutput& messages) {
    // The user's locale for everything but numbers; a locale that does not exist leaves the
    // current one. The number texts below do not depend on it in any case.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    ReplacingFile file;
    bool ok = file.open(path);
    if (ok) {
        TextOut out([&](const char* data, std::size_t size) { return file.write(data, size); },
                    std::size_t{1} << 20);
        WriteSections(out, model);
        ok = out.flush() && file.commit();
    }
    if (ok) return true;
    int err = file.error();
    file.discard();
    ShowWarning(messages, kSaveFailed);
    ShowWarning(messages, kTryAnotherPath);
    WriteMessageLine(messages.warnings, "tarvik: " + path + ": " + std::strerror(err));
    return false;
}

std::string PreModelText(const PreModel& model) {
    std::string text;
    TextOut out(
        [&](const char* data, std::size_t size) {
            text.append(data, size);
            return true;
        },
        std::size_t{64} << 10);
    WriteSections(out, model);
    out.flush();
    return text;
}

}  // namespace tarvik

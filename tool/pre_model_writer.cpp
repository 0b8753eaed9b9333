#include <clocale>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/replacing_file.h"
#include "tool/number_text.h"
#include "tool/pre_model.h"
#include "tool/pre_model_sections.h"

namespace tarvik {
namespace {
using common::ReplacingFile;

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

// One record of each section with its zero-based position; the record's type chooses the
// overload.
class RecordWriter {
  public:
    explicit RecordWriter(TextOut& out) : out_(out) {}

    void write(const Material& r, std::int32_t i) {
        positionLine(i) << "E=" << r.E << "\nMu=" << r.Mu << '\n';
    }
    void write(const Thickness& r, std::int32_t i) { positionLine(i) << "TK=" << r.TK << '\n'; }
    void write(const BeamSection& r, std::int32_t i) {
        positionLine(i) << "Hw=" << r.Hw << "\nTw=" << r.Tw << "\nBf=" << r.Bf << "\nTf=" << r.Tf
                        << '\n';
    }
    void write(const CBeamSection& r, std::int32_t i) {
        positionLine(i) << "R=" << r.R << "\nT=" << r.T << '\n';
    }
    void write(const GeoPoint& r, std::int32_t i) {
        out_ << i << ':' << r.x << ',' << r.y << ',' << r.z << '\n';
    }
    void write(const Polygon& r, std::int32_t i) {
        out_ << i << '[' << r.PGPtNum << "]:";
        for (std::size_t v = 0; v < r.vertices.size(); ++v)
            out_ << (v ? "," : "") << r.vertices[v].label;
        out_ << '[' << r.tag1 << ',' << r.tag2 << "]\n";
    }
    void write(const BeamLine& r, std::int32_t i) {
        out_ << i << ':' << r.start.label << ',' << r.end.label << '<' << r.vector[0] << ','
             << r.vector[1] << ',' << r.vector[2] << ">[" << r.tag
             << ",BeamSecType=" << r.BeamSecType << ",BeamSecIndex=" << r.BeamSecIndex
             << ",BeamSecOz=" << r.BeamSecOz
             << ",BeamSecMirrored=" << std::int32_t{r.BeamSecMirrored ? 1 : 0} << "]\n";
    }
    void write(const PolygonLoad& r, std::int32_t) {
        out_ << r.label << ':' << r.value[0] << ',' << r.value[1] << ',' << r.value[2] << '\n';
    }
    void write(const BeamLineLoad& r, std::int32_t) {
        out_ << r.label << ':' << r.value[0] << ',' << r.value[1] << '\n';
    }
    void write(const NodalPoint& r, std::int32_t i) {
        out_ << i << ':' << r.x << ',' << r.y << ',' << r.z << '\n';
    }
    void write(const Shell4Element& r, std::int32_t i) { element(r, i); }
    void write(const Shell3Element& r, std::int32_t i) { element(r, i); }
    void write(const BeamElement& r, std::int32_t i) { element(r, i); }
    void write(const GlueElement& r, std::int32_t i) {
        out_ << i << ':' << r.value[0] << ',' << r.value[1] << ',' << r.value[2] << '\n';
    }
    void write(const RestrictedNode& r, std::int32_t) {
        out_ << r.label << ':';
        for (int k = 0; k < 6; ++k) out_ << (k ? " " : "") << r.value[k];
        out_ << '\n';
    }
    void write(const Force& r, std::int32_t) {
        out_ << r.label << '<';
        for (int k = 0; k < 6; ++k) out_ << (k ? "," : "") << r.value[k];
        out_ << ">\n";
    }

  private:
    // The line before a material, thickness or beam section: "#i:".
    TextOut& positionLine(std::int32_t i) { return out_ << '#' << i << ":\n"; }
    // Shell and beam elements: position, the node numbers and the tag.
    template <class Element>
    void element(const Element& r, std::int32_t i) {
        out_ << i << ':';
        for (std::size_t k = 0; k < std::size(r.node); ++k) out_ << (k ? "," : "") << r.node[k];
        out_ << '[' << r.tag << "]\n";
    }

    TextOut& out_;
};

void WriteSections(TextOut& out, const PreModel& m) {
    out << "### Halvo R2.00 ###\n";
    RecordWriter records(out);
    forEachSection(m, [&](const auto& format, const auto& section) {
        // Every real from the geometric points on has exactly five decimals.
        if constexpr (std::is_same_v<std::decay_t<decltype(format)>, SectionFormat<GeoPoint>>)
            out.setFixed();
        out << format.countText << section.count << '\n';
        std::int32_t position = 0;
        for (const auto& r : section.records) records.write(r, position++);
        return true;
    });
    out << "###end###\n";
}

}  // namespace

common::Outcome WritePreModel(const PreModel& model, const std::string& path) {
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
    if (ok) return {};
    int err = file.error();
    file.discard();
    return common::Failure(kSaveFailed, path + ": " + std::strerror(err));
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

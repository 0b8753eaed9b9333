#include "viewer/select/selection_file.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>

#include "common/replacing_file.h"
#include "common/utf16.h"

namespace quillon {
namespace {

constexpr const char* kFourNodeCount = "Number of selected four-nodes shell elements,NSF=";
constexpr const char* kThreeNodeCount = "Number of selected three-nodes shell elements,NST=";

void appendIndices(std::string& out, const std::vector<std::uint8_t>& selected) {
    char buffer[16];
    for (std::size_t i = 0; i < selected.size(); ++i) {
        if (!selected[i]) continue;
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, i);
        out.append(buffer, end);
        out.push_back('\n');
    }
}

std::size_t countSelected(const std::vector<std::uint8_t>& selected) {
    std::size_t n = 0;
    for (auto f : selected) n += f ? 1 : 0;
    return n;
}

// Reads the file's text as a formatted reader would: white space separates numbers, and a line
// ends at CR, LF or CR LF (each one line, for the messages).
class Text {
  public:
    explicit Text(const std::string& text) : s_(text) {}

    void skipSpace() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) {
            if (s_[pos_] == '\n' ||
                (s_[pos_] == '\r' && (pos_ + 1 >= s_.size() || s_[pos_ + 1] != '\n')))
                ++line_;
            ++pos_;
        }
    }
    bool atEnd() {
        skipSpace();
        return pos_ >= s_.size();
    }
    // One whole number of a white-space-separated token; false (and nothing consumed) when the
    // token is not one. A number beyond 64 bits reads as one no index can be.
    bool integer(long long& value) {
        skipSpace();
        std::size_t start = pos_, p = pos_;
        if (p < s_.size() && (s_[p] == '+' || s_[p] == '-')) ++p;
        std::size_t digits = p;
        while (p < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p]))) ++p;
        if (p == digits || (p < s_.size() && !std::isspace(static_cast<unsigned char>(s_[p]))))
            return false;
        const char* first = s_.data() + (s_[start] == '+' ? start + 1 : start);
        auto [end, ec] = std::from_chars(first, s_.data() + p, value);
        if (ec == std::errc::result_out_of_range) value = s_[start] == '-' ? -1 : LLONG_MAX;
        pos_ = p;
        return true;
    }
    // The words of `literal` in turn; white space in it matches any (or no) white space.
    bool literal(const char* literal) {
        std::size_t p = pos_;
        for (const char* c = literal; *c; ++c) {
            if (std::isspace(static_cast<unsigned char>(*c))) {
                while (p < s_.size() && std::isspace(static_cast<unsigned char>(s_[p]))) ++p;
                continue;
            }
            if (p >= s_.size() || s_[p] != *c) return false;
            ++p;
        }
        pos_ = p;
        return true;
    }
    // Where reading stands, for a message: "line N", or the end of the file.
    std::string where() {
        long line = whereLine();
        if (pos_ >= s_.size())
            return "at the end of the file (after line " + std::to_string(line) + ")";
        return "line " + std::to_string(line);
    }
    // The line that where() names.
    long whereLine() {
        skipSpace();
        return pos_ >= s_.size() ? lastLine() : line_;
    }

  private:
    int lastLine() const {
        // The last line that has text: a final line end does not start another.
        int line = line_;
        if (!s_.empty() && (s_.back() == '\n' || s_.back() == '\r')) --line;
        return line < 1 ? 1 : line;
    }

    const std::string& s_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// The messages of a kind: "The selected shell elements file read error!" and the like.
const char* selectionReadError(SelectionFileKind kind) {
    switch (kind) {
        case SelectionFileKind::Shells:
            return "The selected shell elements file read error!";
        case SelectionFileKind::Beams:
            return "The selected beam elements file read error!";
        default:
            return "The selected nodes file read error!";
    }
}

const char* selectionWriteError(SelectionFileKind kind) {
    switch (kind) {
        case SelectionFileKind::Shells:
            return "The selected shell elements file write error!";
        case SelectionFileKind::Beams:
            return "The selected beam elements file write error!";
        default:
            return "The selected nodes file write error!";
    }
}

common::Failure stopped(Text& t, SelectionFileKind kind, const std::string& what) {
    return common::Failure(selectionReadError(kind), t.where() + ": expected " + what,
                           t.whereLine());
}

// Reads `count` indices into `selected`; false at text that is not one.
bool readIndices(Text& t, long long count, std::vector<std::uint8_t>& selected) {
    for (long long k = 0; k < count; ++k) {
        long long index = 0;
        if (!t.integer(index)) return false;
        if (index >= 0 && static_cast<unsigned long long>(index) < selected.size())
            selected[static_cast<std::size_t>(index)] = 1;
    }
    return true;
}

std::vector<std::uint8_t>& selectedFlags(ResultModel& m, SelectionFileKind kind) {
    return kind == SelectionFileKind::Beams ? m.selBeam : m.selNode;
}

}  // namespace

std::string SelectionFileText(const ResultModel& m, SelectionFileKind kind) {
    std::string out;
    if (kind == SelectionFileKind::Shells) {
        out += kFourNodeCount + std::to_string(countSelected(m.selQuad)) + "\n";
        appendIndices(out, m.selQuad);
        out += kThreeNodeCount + std::to_string(countSelected(m.selTri)) + "\n";
        appendIndices(out, m.selTri);
    } else {
        appendIndices(out, kind == SelectionFileKind::Beams ? m.selBeam : m.selNode);
    }
    return out;
}

common::Outcome WriteSelectionFile(const ResultModel& model, SelectionFileKind kind,
                                   const std::string& path) {
    const std::string text = SelectionFileText(model, kind);
    common::ReplacingFile file;
    if (file.open(path) && file.write(text.data(), text.size()) && file.commit()) return {};
    int error = file.error();
    file.discard();
    return common::Failure(selectionWriteError(kind),
                           path + ": " + std::strerror(error ? error : EIO));
}

common::Outcome ReadSelectionText(ResultModel& m, SelectionFileKind kind, const std::string& text) {
    Text t(text);
    if (kind == SelectionFileKind::Shells) {
        std::fill(m.selQuad.begin(), m.selQuad.end(), 0);
        std::fill(m.selTri.begin(), m.selTri.end(), 0);
        long long count = 0;
        t.skipSpace();
        if (!t.literal(kFourNodeCount) || !t.integer(count))
            return stopped(t, kind, std::string("\"") + kFourNodeCount + "N\"");
        if (!readIndices(t, count, m.selQuad)) return stopped(t, kind, "a four-node shell index");
        t.skipSpace();
        if (!t.literal(kThreeNodeCount) || !t.integer(count))
            return stopped(t, kind, std::string("\"") + kThreeNodeCount + "N\"");
        if (!readIndices(t, count, m.selTri)) return stopped(t, kind, "a three-node shell index");
        return {};
    }
    std::vector<std::uint8_t>& selected = selectedFlags(m, kind);
    std::fill(selected.begin(), selected.end(), 0);
    while (!t.atEnd())
        if (!readIndices(t, 1, selected))
            return stopped(t, kind,
                           kind == SelectionFileKind::Beams ? "a beam index" : "a node index");
    return {};
}

common::Outcome ReadSelectionFile(ResultModel& model, SelectionFileKind kind,
                                  const std::string& path) {
    // The whole file first: the flags change only once it could be read.
    std::string text;
    errno = 0;
    std::FILE* f = common::OpenFile(path, "rb");
    bool readable = f != nullptr;
    if (f) {
        char buffer[1 << 16];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            text.append(buffer, n);
        readable = !std::ferror(f);
        std::fclose(f);
    }
    if (!readable) {
        int error = errno ? errno : EIO;
        return common::Failure(selectionReadError(kind), path + ": " + std::strerror(error));
    }
    common::Outcome read = ReadSelectionText(model, kind, text);
    if (read.ok()) return read;
    common::Failure stopped = read.failure();
    stopped.detail = path + ", " + stopped.detail;
    return stopped;
}

}  // namespace quillon

// Fuzzes the reader of selection files with every kind's text: a file it stops in must be named
// at a line the text has, the flags it leaves must be 0 or 1 over the model's entities only,
// the picked flags untouched, and what it read must write back to a text that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "viewer/select/selection_file.h"

namespace {

[[noreturn]] void broken(const char* what, const std::string& detail = "") {
    std::fprintf(stderr, "property broken: %s\n%s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

// A model of a few entities of each kind, every one selected and picked.
quillon::ResultModel model() {
    quillon::ResultModel m;
    m.quadCount = 5;
    m.triCount = 3;
    m.beamCount = 4;
    m.nodeCount = 7;
    m.selQuad.assign(5, 1);
    m.selTri.assign(3, 1);
    m.selBeam.assign(4, 1);
    m.selNode.assign(7, 1);
    m.pickQuad.assign(5, 1);
    m.pickTri.assign(3, 1);
    m.pickBeam.assign(4, 1);
    m.pickNode.assign(7, 1);
    return m;
}

bool flags(const std::vector<std::uint8_t>& f, std::size_t n) {
    if (f.size() != n) return false;
    for (auto v : f)
        if (v > 1) return false;
    return true;
}

// The number of lines of a text, a line ending at CR, LF or CR LF.
int lineCount(const std::string& t) {
    int lines = 1;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (t[i] == '\n' || (t[i] == '\r' && (i + 1 >= t.size() || t[i + 1] != '\n'))) ++lines;
    return lines;
}

void check(quillon::SelectionFileKind kind, const std::string& text) {
    quillon::ResultModel m = model();
    common::Outcome r = quillon::ReadSelectionText(m, kind, text);
    if (!flags(m.selQuad, 5) || !flags(m.selTri, 3) || !flags(m.selBeam, 4) || !flags(m.selNode, 7))
        broken("selected flags outside the model's entities or not 0 or 1");
    const quillon::ResultModel fresh = model();
    if (m.pickQuad != fresh.pickQuad || m.pickTri != fresh.pickTri ||
        m.pickBeam != fresh.pickBeam || m.pickNode != fresh.pickNode)
        broken("picked flags changed");
    const std::string& detail = r.failure().detail;
    if (r.failure().line) {
        int line = 0;
        if (std::sscanf(detail.c_str(), "line %d:", &line) != 1 &&
            std::sscanf(detail.c_str(), "at the end of the file (after line %d)", &line) != 1)
            broken("the message names no line", detail);
        if (line < 1 || line > lineCount(text))
            broken("the message names a line the text has not", detail);
        if (*r.failure().line != line) broken("the failure's line is not the one named", detail);
        return;
    }
    if (!r.ok()) broken("reading text ended neither done nor stopped", detail);
    // What was read writes back to a text that reads the same.
    const std::string written = quillon::SelectionFileText(m, kind);
    quillon::ResultModel again = model();
    if (!quillon::ReadSelectionText(again, kind, written).ok())
        broken("the written text does not read", written);
    if (quillon::SelectionFileText(again, kind) != written)
        broken("the written text reads otherwise", written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    check(quillon::SelectionFileKind::Shells, text);
    check(quillon::SelectionFileKind::Beams, text);
    check(quillon::SelectionFileKind::Nodes, text);
    return 0;
}

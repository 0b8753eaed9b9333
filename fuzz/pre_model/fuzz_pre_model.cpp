// Fuzzes tarvik's reader and writer of pre-processing model files as a round trip: read the
// input, write the model's text, read that text again and write it once more. The two texts
// must be equal: what the writer writes, the reader reads back to the same model.
//
// The one text that may not read back is foreseen by the format: polygons and beam lines name
// their points by the labels the input gave them, while the geometric points are written
// with their positions as labels, so a label outside 0..NGPT-1 names no point when read again.
// The second read must fail exactly then.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/support/memory_file.h"
#include "tool/pre_model.h"

namespace {

using tarvik::PreModel;

[[noreturn]] void broken(const char* what, const std::string& detail = "") {
    std::fprintf(stderr, "property broken: %s\n%s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

template <class Record>
bool consistent(const tarvik::Section<Record>& s) {
    return s.records.size() == static_cast<std::size_t>(s.count > 0 ? s.count : 0);
}

bool consistent(const PreModel& m) {
    bool ok = consistent(m.materials) && consistent(m.thicknesses) && consistent(m.tBeamSections) &&
              consistent(m.lBeamSections) && consistent(m.cBeamSections) &&
              consistent(m.geoPoints) && consistent(m.polygons) && consistent(m.beamLines) &&
              consistent(m.polygonLoads) && consistent(m.beamLineLoads) &&
              consistent(m.nodalPoints) && consistent(m.shell4Elements) &&
              consistent(m.shell3Elements) && consistent(m.beamElements) &&
              consistent(m.glueElements) && consistent(m.restrictedNodes) && consistent(m.forces);
    for (const tarvik::Polygon& p : m.polygons.records)
        ok = ok && p.PGPtNum > 0 && p.vertices.size() == static_cast<std::size_t>(p.PGPtNum);
    return ok;
}

// True when every point a polygon or beam line names by label is a point of the written text.
bool labelsNamePoints(const PreModel& m) {
    auto named = [&](std::int32_t label) {
        return label >= 0 && static_cast<std::size_t>(label) < m.geoPoints.records.size();
    };
    for (const tarvik::Polygon& p : m.polygons.records)
        for (const tarvik::GeoPoint& v : p.vertices)
            if (!named(v.label)) return false;
    for (const tarvik::BeamLine& b : m.beamLines.records)
        if (!named(b.start.label) || !named(b.end.label)) return false;
    return true;
}

bool isEmpty(const PreModel& m) {
    return PreModelText(m) == PreModelText(PreModel{});
}

fuzzsupport::MemoryFile* input = nullptr;
fuzzsupport::MemoryFile* written = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    input = new fuzzsupport::MemoryFile("model");
    written = new fuzzsupport::MemoryFile("written");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    input->assign(data, size);
    PreModel first;
    if (common::Outcome read = tarvik::ReadPreModel(first, input->path()); !read.ok()) {
        if (read.failure().message.empty()) broken("a refused file without a message");
        if (!isEmpty(first)) broken("a refused file left records in the model");
        return 0;
    }
    if (!consistent(first)) broken("counts and records disagree");

    std::string text = tarvik::PreModelText(first);
    written->assign(text.data(), text.size());
    PreModel second;
    common::Outcome back = tarvik::ReadPreModel(second, written->path());
    bool readBack = back.ok();
    if (readBack != labelsNamePoints(first))
        broken(readBack ? "a text with labels that name no point was read back"
                        : "the written text was not read back",
               back.failure().message + "\n" + text);
    if (readBack && tarvik::PreModelText(second) != text)
        broken("the text written again differs", text + "\n---\n" + tarvik::PreModelText(second));
    return 0;
}

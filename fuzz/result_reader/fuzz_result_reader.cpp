// Fuzzes the reader of average-stress result files through ResultModel::loadResultFile.
// Beyond what the sanitizers catch, every input must leave one of two outcomes:
//  - loaded: every count matches its arrays and every index names an existing node or mesh
//    point, so nothing drawn later can read outside them;
//  - refused: a message that names a line of the file (or its end, with the right last line)
//    and a model exactly as it was before the load.
// And a load by several threads in small chunks gives what one pass gives: the same outcome
// and message, and a model equal to the bit. The one pass is the viewer's own load, which
// reads a file smaller than its chunks (1 MiB) in one pass; a larger input is read once more
// by a load told to use one thread. The chunked load runs on threads kept from one input to
// the next: starting them for each section of each input cost most of the harness's time.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "fuzz/support/kept_threads.h"
#include "fuzz/support/memory_file.h"
#include "viewer/model/result_model.h"
#include "viewer/platform/message.h"

namespace {

using quillon::ResultModel;

[[noreturn]] void broken(const char* what, const std::string& detail = "") {
    std::fprintf(stderr, "property broken: %s %s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

void check(bool ok, const char* what, const std::string& detail = "") {
    if (!ok) broken(what, detail);
}

template <class T>
bool sized(const std::vector<T>& v, std::int32_t count, std::size_t per) {
    return count >= 0 && v.size() == static_cast<std::size_t>(count) * per;
}

bool indicesWithin(const std::vector<std::int32_t>& indices, std::int32_t limit) {
    for (std::int32_t i : indices)
        if (i < 0 || i >= limit) return false;
    return true;
}

void checkLoaded(const ResultModel& m) {
    check(m.nodeCount >= 1, "node count");
    check(sized(m.nodePos, m.nodeCount, 1) && sized(m.nodePos0, m.nodeCount, 1) &&
              sized(m.nodeDisp, m.nodeCount, 6),
          "node arrays");
    check(sized(m.quadNodes, m.quadCount, 4) && sized(m.quadStress, m.quadCount, 56),
          "quad arrays");
    check(sized(m.triNodes, m.triCount, 3) && sized(m.triStress, m.triCount, 42), "tri arrays");
    check(indicesWithin(m.quadNodes, m.nodeCount) && indicesWithin(m.triNodes, m.nodeCount),
          "shell node index");
    check(sized(m.beams, m.beamCount, 1), "beam array");
    for (const quillon::BeamElement& b : m.beams) {
        check(sized(b.meshPos, b.meshPointCount, 1) && sized(b.meshPos0, b.meshPointCount, 1) &&
                  sized(b.meshDisp, b.meshPointCount, 6),
              "beam mesh arrays");
        check(sized(b.cellNodes, b.cellCount, 4) && sized(b.cellStress, b.cellCount, 56),
              "beam cell arrays");
        check(indicesWithin(b.cellNodes, b.meshPointCount), "beam cell index");
    }
    check(sized(m.selNode, m.nodeCount, 1) && sized(m.selQuad, m.quadCount, 1) &&
              sized(m.selTri, m.triCount, 1) && sized(m.selBeam, m.beamCount, 1) &&
              sized(m.pickNode, m.nodeCount, 1) && sized(m.pickQuad, m.quadCount, 1) &&
              sized(m.pickTri, m.triCount, 1) && sized(m.pickBeam, m.beamCount, 1),
          "flag arrays");
}

template <class T>
bool sameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

fuzzsupport::MemoryFile* input = nullptr;
ResultModel* before = nullptr;
fuzzsupport::KeptThreads* kept = nullptr;

// One pass (its outcome `sa`, its model `a`) against threads in chunks of a size the input
// picks (every section in chunks).
void checkChunkedLoad(const std::string& path, const std::uint8_t* data, std::size_t size,
                      const common::Outcome& sa, const ResultModel& a) {
    quillon::ReadOptions chunked;
    chunked.threads = 2 + (size > 0 ? data[size - 1] % 2 : 0);
    chunked.chunkBytes = 1 + (size > 1 ? data[size - 2] : 0) % 200 + size / 16;
    chunked.minParallelRecords = 1;
    chunked.runTogether = [](int count, const std::function<void(int)>& task) {
        kept->run(count, task);
    };
    ResultModel b;
    common::Outcome sb = quillon::readResultFile(path, b, chunked);
    check(sa.ok() == sb.ok() && sa.failure().message == sb.failure().message &&
              sa.failure().line == sb.failure().line,
          "a chunked load said otherwise", sa.failure().message + " | " + sb.failure().message);
    if (!sa.ok()) return;
    bool same = a.nodeCount == b.nodeCount && a.quadCount == b.quadCount &&
                a.triCount == b.triCount && a.beamCount == b.beamCount &&
                sameBits(a.nodePos0, b.nodePos0) && sameBits(a.nodeDisp, b.nodeDisp) &&
                sameBits(a.quadNodes, b.quadNodes) && sameBits(a.quadStress, b.quadStress) &&
                sameBits(a.triNodes, b.triNodes) && sameBits(a.triStress, b.triStress) &&
                a.beams.size() == b.beams.size();
    for (std::size_t i = 0; same && i < a.beams.size(); ++i) {
        const quillon::BeamElement &x = a.beams[i], &y = b.beams[i];
        same = x.number == y.number && std::memcmp(&x.start0, &y.start0, sizeof x.start0) == 0 &&
               std::memcmp(&x.end0, &y.end0, sizeof x.end0) == 0 &&
               sameBits(x.meshPos0, y.meshPos0) && sameBits(x.meshDisp, y.meshDisp) &&
               sameBits(x.cellNodes, y.cellNodes) && sameBits(x.cellStress, y.cellStress);
    }
    check(same, "a chunked load read another model");
}

// The number that follows `prefix` at the start of `text`, or -1.
long numberAfter(const std::string& text, const std::string& prefix) {
    if (text.compare(0, prefix.size(), prefix) != 0) return -1;
    return std::strtol(text.c_str() + prefix.size(), nullptr, 10);
}

// The message names the line where reading stopped, and the failure gives the same number.
void checkRefused(const common::Failure& failure, const std::uint8_t* data, std::size_t size) {
    const std::string& message = failure.message;
    if (message == "应力云图文件读取错误!" || message == "节点数目错误!") {
        check(!failure.line, "a line for a message that names none", message);
        return;
    }
    // Line ends as the reader counts them: CR, LF and CR LF each end one line.
    long ends = 0;
    for (std::size_t i = 0; i < size; ++i)
        ends += data[i] == '\r' || (data[i] == '\n' && (i == 0 || data[i - 1] != '\r'));
    bool endsWithLineEnd = size > 0 && (data[size - 1] == '\r' || data[size - 1] == '\n');
    if (message.rfind("at the end of the file (the file is empty)", 0) == 0) {
        check(size == 0, "empty file message for a file with bytes", message);
        check(!failure.line, "a line for an empty file", message);
        return;
    }
    long after = numberAfter(message, "at the end of the file (after line ");
    if (after >= 0) {
        check(after == ends + (endsWithLineEnd ? 0 : 1), "last line named at the end", message);
        check(failure.line == after, "another line than the message names", message);
        return;
    }
    long line = numberAfter(message, "line ");
    check(line >= 1 && line <= ends + 1, "message names a line of the file", message);
    check(failure.line == line, "another line than the message names", message);
}

// The viewer's load: a model it loaded, or a refusal that left the model as it was.
void checkLoad(const ResultModel& m, const common::Outcome& status, const std::uint8_t* data,
               std::size_t size) {
    if (status.ok()) {
        checkLoaded(m);
        return;
    }
    check(!status.failure().message.empty(), "a refused load without a message");
    checkRefused(status.failure(), data, size);
    check(m.nodeCount == before->nodeCount && m.quadCount == before->quadCount &&
              m.triCount == before->triCount && m.beamCount == before->beamCount &&
              m.quadNodes == before->quadNodes && m.triNodes == before->triNodes &&
              m.quadStress == before->quadStress && m.nodeDisp == before->nodeDisp &&
              m.beams.size() == before->beams.size() &&
              m.beams[0].cellStress == before->beams[0].cellStress &&
              m.positionsVersion == before->positionsVersion,
          "a refused load changed the model");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    input = new fuzzsupport::MemoryFile("result");
    kept = new fuzzsupport::KeptThreads;
    // The model a refused load must leave as it is: one quad, one triangle, one beam.
    const std::string stress = "1,2,3,4,5,6,7\n";
    std::string text = "NPOIN=4\n0,0,0\n1,0,0\n1,1,0\n0,1,0\n";
    for (int i = 0; i < 4; ++i) text += "0,0,1,0,0,0\n";
    text += "NELEM_S_4ND=1\n0,1,2,3\n";
    for (int i = 0; i < 8; ++i) text += stress;
    text += "NELEM_S_3ND=1\n0,1,2\n";
    for (int i = 0; i < 6; ++i) text += stress;
    text += "NELEM_B=1\nBEI=9\nSND(0,0,0)\nEND(1,0,0)\nNPOIN=4\n";
    for (int i = 0; i < 4; ++i) text += "0,0," + std::to_string(i) + "\n";
    for (int i = 0; i < 4; ++i) text += "0,0,0,0,0,0\n";
    text += "NELEM=1\n0,1,2,3\n";
    for (int i = 0; i < 8; ++i) text += stress;
    input->assign(text.data(), text.size());
    before = new ResultModel;
    if (!before->loadResultFile(input->path()).ok()) broken("the reference model does not load");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    input->assign(data, size);
    ResultModel m = *before;
    common::Outcome status = m.loadResultFile(input->path());
    checkLoad(m, status, data, size);
    if (size < quillon::ReadOptions{}.chunkBytes) {
        checkChunkedLoad(input->path(), data, size, status, m);
    } else {
        quillon::ReadOptions one;
        one.threads = 1;
        ResultModel a;
        common::Outcome sa = quillon::readResultFile(input->path(), a, one);
        checkChunkedLoad(input->path(), data, size, sa, a);
    }
    return 0;
}

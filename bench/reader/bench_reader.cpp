// Load throughput of the result file reader on one file, against two references read in the
// same 4 MiB blocks: an fscanf reader of the same format and a pass that only counts line
// feeds. Every figure is the best of a few runs after a warm-up pass has put the file in the
// page cache. MB are 10^6 bytes.
//
//   bench_reader FILE [--runs N]   the comparison
//   bench_reader --load-only FILE  one plain load (for peak memory), prints the model's bytes
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/reader/fscanf_reader.h"
#include "viewer/model/result_model.h"

namespace {

constexpr std::size_t kBlock = std::size_t{4} << 20;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Line feeds of the file, read in kBlock pieces; -1 when it cannot be read.
long long CountLines(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    std::vector<char> buf(kBlock);
    long long lines = 0;
    for (std::size_t got; (got = std::fread(buf.data(), 1, buf.size(), f)) > 0;)
        lines += std::count(buf.data(), buf.data() + got, '\n');
    std::fclose(f);
    return lines;
}

// Sums that both readers must agree on, so that neither wins by skipping work.
struct Digest {
    long long counts[4] = {};
    double nodes = 0, stress = 0, beams = 0;
    bool operator==(const Digest&) const = default;
};

template <typename T>
double Sum(const std::vector<T>& v) {
    double s = 0;
    for (T x : v) s += static_cast<double>(x);
    return s;
}

Digest DigestOf(const quillon::ResultModel& m) {
    Digest d{{m.nodeCount, m.quadCount, m.triCount, m.beamCount}};
    for (const auto& p : m.nodePos0) d.nodes += p.x + p.y + p.z;
    d.nodes += Sum(m.nodeDisp);
    d.stress = Sum(m.quadStress) + Sum(m.triStress) + Sum(m.quadNodes) + Sum(m.triNodes);
    for (const auto& b : m.beams) {
        for (const auto& p : b.meshPos0) d.beams += p.x + p.y + p.z;
        d.beams += Sum(b.meshDisp) + Sum(b.cellStress) + Sum(b.cellNodes) + b.start0.x + b.end0.y;
    }
    return d;
}

Digest DigestOf(const bench::PlainModel& m) {
    Digest d{
        {static_cast<long long>(m.pos.size() / 3), static_cast<long long>(m.quadNodes.size() / 4),
         static_cast<long long>(m.triNodes.size() / 3), static_cast<long long>(m.beams.size())}};
    for (std::size_t i = 0; i < m.pos.size(); i += 3)
        d.nodes += m.pos[i] + m.pos[i + 1] + m.pos[i + 2];
    d.nodes += Sum(m.disp);
    d.stress = Sum(m.quadStress) + Sum(m.triStress) + Sum(m.quadNodes) + Sum(m.triNodes);
    for (const auto& b : m.beams) {
        for (std::size_t i = 0; i < b.pos.size(); i += 3)
            d.beams += b.pos[i] + b.pos[i + 1] + b.pos[i + 2];
        d.beams += Sum(b.disp) + Sum(b.cellStress) + Sum(b.cellNodes) + b.start[0] + b.end[1];
    }
    return d;
}

int LoadOnly(const std::string& path) {
    quillon::ResultModel model;
    common::Outcome st = model.loadResultFile(path);
    if (!st.ok()) {
        std::fprintf(stderr, "bench_reader: %s\n", st.failure().message.c_str());
        return 1;
    }
    std::printf("model array bytes: %zu\n", quillon::modelArrayBytes(model));
    return 0;
}

int Compare(const std::string& path, int runs) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        std::fprintf(stderr, "bench_reader: cannot read %s\n", path.c_str());
        return 1;
    }
    const double mb = static_cast<double>(size) / 1e6;
    long long lines = CountLines(path);  // warm-up: the file is in the page cache from here on

    double lineBest = 1e300, oursBest = 1e300, fscanfBest = 1e300;
    for (int r = 0; r < runs; ++r) {
        auto t0 = Clock::now();
        long long n = CountLines(path);
        lineBest = std::min(lineBest, Seconds(t0));
        if (n != lines) return std::fprintf(stderr, "bench_reader: the file changed\n"), 1;
    }

    std::size_t arrayBytes = 0;
    Digest ours;
    for (int r = 0; r < runs; ++r) {
        auto model = std::make_unique<quillon::ResultModel>();
        auto t0 = Clock::now();
        common::Outcome st = model->loadResultFile(path);
        oursBest = std::min(oursBest, Seconds(t0));
        if (!st.ok())
            return std::fprintf(stderr, "bench_reader: %s\n", st.failure().message.c_str()), 1;
        arrayBytes = quillon::modelArrayBytes(*model);
        ours = DigestOf(*model);
    }  // each model is released outside the timed part

    Digest plain;
    for (int r = 0; r < runs; ++r) {
        auto model = std::make_unique<bench::PlainModel>();
        std::string error;
        auto t0 = Clock::now();
        bool ok = bench::ReadWithFscanf(path, *model, error);
        fscanfBest = std::min(fscanfBest, Seconds(t0));
        if (!ok) return std::fprintf(stderr, "bench_reader: %s\n", error.c_str()), 1;
        plain = DigestOf(*model);
    }
    if (!(ours == plain)) {
        std::fprintf(stderr, "bench_reader: the reader and the fscanf baseline disagree\n");
        return 1;
    }

    const double lineRate = mb / lineBest, oursRate = mb / oursBest, fscanfRate = mb / fscanfBest;
    std::printf("file: %s\n", path.c_str());
    std::printf(
        "file size: %.1f MB (%llu bytes, %lld lines; %lld nodes, %lld four-node shells, "
        "%lld three-node shells, %lld beams)\n",
        mb, static_cast<unsigned long long>(size), lines, ours.counts[0], ours.counts[1],
        ours.counts[2], ours.counts[3]);
    std::printf("runs per figure: best of %d, after a warm-up read\n", runs);
    std::printf("line count pass: %.3f s, %.0f MB/s\n", lineBest, lineRate);
    std::printf("quillon reader load: %.3f s, %.0f MB/s\n", oursBest, oursRate);
    std::printf("fscanf baseline load: %.3f s, %.0f MB/s\n", fscanfBest, fscanfRate);
    std::printf("ratio quillon reader / fscanf baseline: %.2f\n", oursRate / fscanfRate);
    std::printf("ratio quillon reader / line count pass: %.2f\n", oursRate / lineRate);
    std::printf("model array bytes: %zu\n", arrayBytes);
    std::printf("check: both readers read the same counts and values\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--load-only") return LoadOnly(std::string(args[1]));
    int runs = 3;
    if (args.size() == 3 && args[1] == "--runs") {
        auto [p, ec] = std::from_chars(args[2].data(), args[2].data() + args[2].size(), runs);
        if (ec != std::errc() || runs < 1) args.clear();
    } else if (args.size() != 1) {
        args.clear();
    }
    if (args.empty() || args[0].starts_with("-")) {
        std::fprintf(stderr,
                     "usage: bench_reader FILE [--runs N]\n"
                     "       bench_reader --load-only FILE\n");
        return 2;
    }
    return Compare(std::string(args[0]), runs);
}

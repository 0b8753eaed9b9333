// Offsets a generated model with 1,000,000 nodal points and as many four-node shells, once
// with tarvik's writer and once with a writer that flushes every line, and reports the
// throughput of both and their ratio.
//   tarvik_bench [--nodes=N] [--dir=FOLDER] [Google Benchmark flags]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "bench/tarvik/baseline_writer.h"
#include "bench/tarvik/model_generator.h"
#include "tool/pre_model.h"

namespace {

struct BenchFiles {
    std::string input, output, baselineOutput;
    double inputBytes = 0;
    tarvik::PreModel model;  // the input, read once, for the writer-only runs
};

void OffsetRun(benchmark::State& state, BenchFiles* f, bool baseline) {
    for (auto _ : state) {
        tarvik::PreModel m;
        if (!tarvik::ReadPreModel(m, f->input).ok()) state.SkipWithError("read failed");
        tarvik::OffsetPreModel(m, 1.5, -2.0, 0.25);
        bool ok = baseline ? tarvik_bench::WritePreModelFlushingEveryLine(m, f->baselineOutput)
                           : tarvik::WritePreModel(m, f->output).ok();
        if (!ok) state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f->inputBytes));
}

void WriteOnly(benchmark::State& state, BenchFiles* f, bool baseline) {
    for (auto _ : state) {
        bool ok = baseline
                      ? tarvik_bench::WritePreModelFlushingEveryLine(f->model, f->baselineOutput)
                      : tarvik::WritePreModel(f->model, f->output).ok();
        if (!ok) state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f->inputBytes));
}

// Keeps the real time of every run so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) seconds[r.benchmark_name()] = r.GetAdjustedRealTime() / 1e3;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    long nodes = 1000000;
    std::filesystem::path dir = std::filesystem::temp_directory_path();
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--nodes=", 8) == 0)
            nodes = std::strtol(argv[i] + 8, nullptr, 10);
        if (std::strncmp(argv[i], "--dir=", 6) == 0) dir = argv[i] + 6;
    }
    BenchFiles f;
    std::string stem = "tarvik-bench-" + std::to_string(getpid());
    f.input = (dir / (stem + "-in.txt")).string();
    f.output = (dir / (stem + "-out.txt")).string();
    f.baselineOutput = (dir / (stem + "-baseline.txt")).string();
    if (!tarvik_bench::GenerateModelFile(f.input, static_cast<std::int32_t>(nodes))) {
        std::perror(f.input.c_str());
        return 1;
    }
    f.inputBytes = static_cast<double>(std::filesystem::file_size(f.input));
    if (!tarvik::ReadPreModel(f.model, f.input).ok()) return 1;
    std::printf("model: %ld nodal points, %ld four-node shells, %.1f MB in %s\n", nodes, nodes,
                f.inputBytes / 1e6, dir.string().c_str());

    // Both writers must produce the same text, or the comparison means nothing.
    if (!tarvik::WritePreModel(f.model, f.output).ok() ||
        !tarvik_bench::WritePreModelFlushingEveryLine(f.model, f.baselineOutput) ||
        ReadAll(f.output) != ReadAll(f.baselineOutput)) {
        std::fputs("the two writers disagree\n", stderr);
        return 1;
    }

    auto reg = [&](const char* name, void (*fn)(benchmark::State&, BenchFiles*, bool),
                   bool baseline) {
        benchmark::RegisterBenchmark(name, fn, &f, baseline)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    };
    reg("offset/tarvik", OffsetRun, false);
    reg("offset/baseline_flush_every_line", OffsetRun, true);
    reg("write/tarvik", WriteOnly, false);
    reg("write/baseline_flush_every_line", WriteOnly, true);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto ratio = [&](const char* what) {
        std::string ours = std::string(what) + "/tarvik/iterations:3/real_time";
        std::string base = std::string(what) + "/baseline_flush_every_line/iterations:3/real_time";
        if (!reporter.seconds.count(ours) || !reporter.seconds.count(base)) return;
        double a = reporter.seconds[ours], b = reporter.seconds[base];
        std::printf("%-6s tarvik %.0f MB/s, baseline %.0f MB/s, ratio %.1fx\n", what,
                    f.inputBytes / 1e6 / a, f.inputBytes / 1e6 / b, b / a);
    };
    ratio("offset");
    ratio("write");
    std::filesystem::remove(f.input);
    std::filesystem::remove(f.output);
    std::filesystem::remove(f.baselineOutput);
    return 0;
}

// Times the picks of the main view on a result file, with the camera of the default view at
// 1024 × 768: each scans every entity of its kind, as specified. Prints the median of several
// runs and what each pick found. Then the two stress reports with everything selected, written
// to a folder (the temporary folder, or --dir=FOLDER).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "viewer/select/picking.h"
#include "viewer/select/stress_report.h"
#include "viewer/ui/app.h"

namespace {

double median(const std::function<std::size_t()>& f, int runs, std::size_t& found) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        found = f();
        t.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_pick RESULT_FILE [RUNS] [--dir=FOLDER]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
    quillon::AppState state;
    common::Outcome status = quillon::openResultFile(state, argv[1]);
    if (!status.ok()) {
        std::fprintf(stderr, "%s\n", status.failure().message.c_str());
        return 1;
    }
    quillon::resizeView(state, 1024, 768);
    state.savedModelView = quillon::widen(state.view.modelView);  // as the first frame would
    const quillon::ResultModel& m = state.model;
    const quillon::PickCamera camera = quillon::pickCamera(state);
    std::printf("file: %s\nshells: %d four-node, %d three-node; beams: %d; nodes: %d\n", argv[1],
                m.quadCount, m.triCount, m.beamCount, m.nodeCount);

    struct Case {
        const char* name;
        std::function<quillon::Picks()> pick;
    };
    // The point in the middle of the view, and a rectangle of a third of the view each way
    // dragged both ways.
    const int cx = 512, cy = 384, x0 = 341, y0 = 256, x1 = 682, y1 = 512;
    const Case cases[] = {
        {"point pick, shells", [&] { return quillon::FindShellAtPoint(m, camera, false, cx, cy); }},
        {"point pick, beams", [&] { return quillon::FindBeamAtPoint(m, camera, false, cx, cy); }},
        {"point pick, nodes", [&] { return quillon::FindNodeAtPoint(m, camera, false, cx, cy); }},
        {"window, shells",
         [&] { return quillon::FindShellsInRectangle(m, camera, false, x0, y0, x1, y1); }},
        {"crossing, shells",
         [&] { return quillon::FindShellsInRectangle(m, camera, false, x1, y1, x0, y0); }},
        {"window, beams",
         [&] { return quillon::FindBeamsInRectangle(m, camera, false, x0, y0, x1, y1); }},
        {"crossing, beams",
         [&] { return quillon::FindBeamsInRectangle(m, camera, false, x1, y1, x0, y0); }},
        {"rectangle, nodes",
         [&] { return quillon::FindNodesInRectangle(m, camera, false, x0, y0, x1, y1); }},
    };
    for (const Case& c : cases) {
        std::size_t found = 0;
        double t = median([&] { return c.pick().size(); }, runs, found);
        std::printf("%-20s %8.1f ms  (%zu found, median of %d)\n", c.name, t * 1e3, found, runs);
    }

    // The reports, everything selected (as after a load).
    std::string dir = std::filesystem::temp_directory_path().string();
    for (int i = 3; i < argc; ++i)
        if (std::strncmp(argv[i], "--dir=", 6) == 0) dir = argv[i] + 6;
    for (bool nodes : {true, false}) {
        const std::string path =
            dir + "/" + (nodes ? quillon::kNodeReportName : quillon::kElementReportName);
        auto t0 = std::chrono::steady_clock::now();
        common::Outcome written = nodes ? quillon::WriteNodeStressReport(m, path)
                                        : quillon::WriteElementStressReport(m, path);
        double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (!written.ok()) {
            std::fprintf(stderr, "%s\n", written.failure().detail.c_str());
            return 1;
        }
        std::error_code ec;
        auto bytes = std::filesystem::file_size(path, ec);
        std::printf("%-20s %8.0f ms  (%.0f MB)\n", nodes ? "node report" : "element report",
                    t * 1e3, bytes / 1e6);
        std::filesystem::remove(path, ec);
    }
    return 0;
}

// quillon_example_gen: writes an average-stress result file of a stiffened plate.
#include <cstdio>
#include <string>

#include "examples/example_gen.h"

int main(int argc, char** argv) {
    using namespace quillon::examples;
    CommandLine cl;
    std::string error;
    if (!ParseCommandLine(argc, argv, cl, error)) {
        std::fprintf(stderr, "quillon_example_gen: %s\n%s", error.c_str(), UsageText());
        return 2;
    }
    if (cl.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    std::FILE* out = stdout;
    if (!cl.outPath.empty() && cl.outPath != "-") {
        out = std::fopen(cl.outPath.c_str(), "wb");
        if (!out) {
            std::perror(("quillon_example_gen: " + cl.outPath).c_str());
            return 1;
        }
    }
    ExampleCounts counts;
    bool ok = WriteExample(cl.options, out, counts, error);
    if (out != stdout) {
        if (std::fclose(out) != 0 && ok) {
            ok = false;
            error = "closing " + cl.outPath + " failed";
        }
        if (!ok) std::remove(cl.outPath.c_str());  // never leave a truncated file behind
    }
    if (!ok) {
        std::fprintf(stderr, "quillon_example_gen: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr,
                 "%lld nodes, %lld four-node shells, %lld three-node shells, %lld beams "
                 "(%lld mesh points, %lld cells), %llu bytes\n",
                 static_cast<long long>(counts.nodes), static_cast<long long>(counts.quads),
                 static_cast<long long>(counts.tris), static_cast<long long>(counts.beams),
                 static_cast<long long>(counts.beamMeshPoints),
                 static_cast<long long>(counts.beamCells),
                 static_cast<unsigned long long>(counts.bytes));
    return 0;
}

// tarvik_make_model OUT [NODES]: writes a model file with NODES nodal points (default
// 1,000,000) and as many four-node shell elements.
#include <cstdio>
#include <cstdlib>

#include "bench/tarvik/model_generator.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: tarvik_make_model OUT [NODES]\n", stderr);
        return 2;
    }
    long nodes = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 1000000;
    if (nodes < 3 || nodes > 100000000) {
        std::fputs("tarvik_make_model: NODES must be from 3 to 100000000\n", stderr);
        return 2;
    }
    if (!tarvik_bench::GenerateModelFile(argv[1], static_cast<int>(nodes))) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}

// tarvik IN OUT DX DY DZ: shifts every geometric and nodal point of a pre-processing model
// file by (DX, DY, DZ) and writes the model to OUT (which may be IN).
#include <cstdio>
#include <cstring>

#include "tool/pre_model.h"

#ifndef TARVIK_VERSION
#define TARVIK_VERSION "unknown"
#endif

namespace {

constexpr const char* kUsage =
    "usage: tarvik INPUT OUTPUT DX DY DZ\n"
    "Shifts every geometric point and nodal point of the pre-processing model file INPUT\n"
    "by (DX, DY, DZ) and writes the model to OUTPUT, which may be INPUT itself.\n"
    "Offsets are read like atof: \"2.5mm\" is 2.5, \"abc\" is 0.\n"
    "Exit status: 0 done, 1 the model could not be read or written, 2 wrong usage.\n"
    "  --help     show this text\n"
    "  --version  show the version\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tarvik %s\n", TARVIK_VERSION);
        return 0;
    }
    if (argc < 6) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const tarvik::MessageOutput messages;
    tarvik::PreModel model;
    if (!tarvik::ReadPreModel(model, argv[1], messages)) return 1;
    tarvik::OffsetPreModel(model, tarvik::OffsetFromText(argv[3]), tarvik::OffsetFromText(argv[4]),
                           tarvik::OffsetFromText(argv[5]));
    return tarvik::WritePreModel(model, argv[2], messages) ? 0 : 1;
}

// tarvik IN OUT DX DY DZ: shifts every geometric and nodal point of a pre-processing model
// file by (DX, DY, DZ) and writes the model to OUT (which may be IN).
#include <cstdio>
#include <string>
#include <vector>

#include "tool/messages.h"
#include "tool/pre_model.h"
#if defined(_WIN32)
#include "common/utf16.h"
#endif

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

// `args` as UTF-8, the program's name first.
int Run(const std::vector<std::string>& args) {
    if (args.size() >= 2 && args[1] == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() >= 2 && args[1] == "--version") {
        std::printf("tarvik %s\n", TARVIK_VERSION);
        return 0;
    }
    if (args.size() < 6) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const tarvik::MessageOutput messages;
    tarvik::PreModel model;
    if (common::Outcome read = tarvik::ReadPreModel(model, args[1]); !read.ok()) {
        tarvik::ShowReadFailure(messages, read.failure());
        return 1;
    }
    tarvik::OffsetPreModel(model, tarvik::OffsetFromText(args[3].c_str()),
                           tarvik::OffsetFromText(args[4].c_str()),
                           tarvik::OffsetFromText(args[5].c_str()));
    if (common::Outcome written = tarvik::WritePreModel(model, args[2]); !written.ok()) {
        tarvik::ShowWriteFailure(messages, written.failure());
        return 1;
    }
    return 0;
}

}  // namespace

#if defined(_WIN32)
// The arguments as UTF-16, so that every file name can be given, not only those of the ANSI
// code page.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(common::Utf8FromWide(argv[i]));
    return Run(args);
}
#else
int main(int argc, char** argv) {
    return Run(std::vector<std::string>(argv, argv + argc));
}
#endif

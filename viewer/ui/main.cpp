// quillon: viewer of average-stress result files.
#include <cstdio>
#include <cstring>
#include <string>

#include "viewer/model/result_model.h"
#include "viewer/platform/message.h"
#include "viewer/ui/info.h"

#ifndef QUILLON_VERSION
#define QUILLON_VERSION "unknown"
#endif

namespace {

const char* kUsage =
    "usage: quillon [RESULT_FILE]\n"
    "       quillon --info RESULT_FILE\n"
    "       quillon --help | --version\n"
    "\n"
    "Shows an average-stress result file (default: Quillon_AverageStrs.txt in the working\n"
    "directory).\n"
    "  --info RESULT_FILE   load the file and print a summary of the model\n"
    "  --help               print this text\n"
    "  --version            print the version\n";

int info(const std::string& path) {
    quillon::ResultModel model;
    quillon::LoadStatus status = model.loadResultFile(path);
    if (!status.ok) quillon::platform::fatal(status.message);
    quillon::printModelInfo(model, stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("quillon %s\n", QUILLON_VERSION);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--info") == 0) {
        if (argc != 3) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return info(argv[2]);
    }
    std::fputs("quillon: the window is not available in this build; use --info\n", stderr);
    std::fputs(kUsage, stderr);
    return 2;
}

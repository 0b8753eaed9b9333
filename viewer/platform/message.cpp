#include "viewer/platform/message.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace quillon::platform {
namespace {
MessagePresenter& presenter() {
    static MessagePresenter instance;
    return instance;
}
}  // namespace

void messageBox(const std::string& text, const std::string& caption, const std::string& detail) {
    if (detail.empty())
        std::fprintf(stderr, "quillon: %s %s\n", caption.c_str(), text.c_str());
    else
        std::fprintf(stderr, "quillon: %s %s (%s)\n", caption.c_str(), text.c_str(),
                     detail.c_str());
    std::fflush(stderr);
    if (presenter()) presenter()(detail.empty() ? text : text + "\n" + detail, caption);
}

void fatal(const std::string& text, const std::string& detail) {
    fatal(common::Failure(text, detail));
}

void messageBox(const common::Failure& failure, const std::string& caption) {
    messageBox(failure.message, caption, failure.detail);
}

void fatal(const common::Failure& failure) {
    messageBox(failure, "Warning!");
    std::exit(1);
}

MessagePresenter setMessagePresenter(MessagePresenter p) {
    return std::exchange(presenter(), std::move(p));
}

}  // namespace quillon::platform

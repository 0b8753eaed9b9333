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

void messageBox(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "quillon: %s %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    if (presenter()) presenter()(text, caption);
}

void fatal(const std::string& text) {
    messageBox(text, "Warning!");
    std::exit(1);
}

MessagePresenter setMessagePresenter(MessagePresenter p) { return std::exchange(presenter(), std::move(p)); }

}  // namespace quillon::platform

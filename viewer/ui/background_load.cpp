#include "viewer/ui/background_load.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "common/utf16.h"
#include "viewer/ui/app.h"

namespace quillon {

BackgroundLoad::BackgroundLoad(const ResultModel& current, const std::string& path,
                               bool escapeStops)
    : fresh_(current.emptyWithSettings()), escapeStops_(escapeStops) {
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(common::PathFromUtf8(path), ec);
    if (!ec) fileBytes_ = size;
    thread_ = std::thread([this, path] {
        ReadOptions options;
        options.progress = &progress_;
        common::Outcome read = readResultFile(path, fresh_, options);
        // Worked out here rather than on the thread of the window, which it would hold up
        // for a second at a few million shells.
        std::vector<std::string> warnings;
        if (read.ok() && !progress_.stop.load()) warnings = fresh_.prepareLoaded();
        std::lock_guard lock(mutex_);
        warnings_ = std::move(warnings);
        outcome_ = std::move(read);
        done_ = true;
        ended_.notify_all();
    });
}

BackgroundLoad::~BackgroundLoad() {
    stop();
    if (thread_.joinable()) thread_.join();
}

bool BackgroundLoad::waitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return ended_.wait_for(lock, timeout, [this] { return done_; });
}

double BackgroundLoad::doneShare() const {
    if (fileBytes_ == 0) return 0;
    return static_cast<double>(progress_.bytesRead.load(std::memory_order_relaxed)) /
           static_cast<double>(fileBytes_);
}

void BackgroundLoad::onEscape() {
    if (escapeStops_) stop();
}

void BackgroundLoad::stop() {
    progress_.stop.store(true);
}

common::Outcome BackgroundLoad::finish(AppState& state, bool& stopped) {
    if (thread_.joinable()) thread_.join();
    stopped = progress_.stop.load();
    if (stopped || !outcome_.ok()) return outcome_;
    state.model.takePrepared(std::move(fresh_), warnings_);
    afterLoad(state);
    return outcome_;
}

common::Outcome loadAnswering(AppState& state, platform::Desktop& desktop, const std::string& path,
                              bool escapeStops, bool& stopped) {
    BackgroundLoad load(state.model, path, escapeStops);
    if (!load.waitFor(kQuietLoad)) desktop.waitAnswering(load);
    return load.finish(state, stopped);
}

}  // namespace quillon

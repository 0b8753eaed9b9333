#include "viewer/ui/background_load.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "common/utf16.h"
#include "viewer/ui/app.h"

namespace quillon {

BackgroundLoad::BackgroundLoad(const ResultModel& current, const std::string& path,
                               bool escapeStops)
    : shared_(std::make_shared<Shared>()), escapeStops_(escapeStops) {
    shared_->fresh = current.emptyWithSettings();
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(common::PathFromUtf8(path), ec);
    if (!ec) fileBytes_ = size;
    thread_ = std::thread([shared = shared_, path] {
        ReadOptions options;
        options.progress = &shared->progress;
        common::Outcome read = readResultFile(path, shared->fresh, options);
        // Worked out here rather than on the thread of the window, which it would hold up
        // for a fifth of a second at three million shells.
        std::vector<std::string> warnings;
        if (read.ok() && !shared->progress.stop.load()) warnings = shared->fresh.prepareLoaded();
        std::lock_guard lock(shared->mutex);
        shared->outcome = std::move(read);
        shared->warnings = std::move(warnings);
        shared->done = true;
        shared->ended.notify_all();
    });
}

BackgroundLoad::~BackgroundLoad() {
    stop();
    release();
}

void BackgroundLoad::release() {
    if (!thread_.joinable()) return;
    // A read sees within a few milliseconds that it was told to stop, unless it waits for
    // its file.
    if (waitFor(std::chrono::seconds(1)))
        thread_.join();
    else
        thread_.detach();
}

bool BackgroundLoad::waitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(shared_->mutex);
    return shared_->ended.wait_for(lock, timeout, [this] { return shared_->done; });
}

double BackgroundLoad::doneShare() const {
    if (fileBytes_ == 0) return 0;
    return static_cast<double>(shared_->progress.bytesRead.load(std::memory_order_relaxed)) /
           static_cast<double>(fileBytes_);
}

void BackgroundLoad::onEscape() {
    if (escapeStops_) stop();
}

void BackgroundLoad::stop() {
    shared_->progress.stop.store(true);
}

common::Outcome BackgroundLoad::finish(AppState& state, bool& stopped) {
    stopped = shared_->progress.stop.load();
    if (stopped) {
        release();
        return common::Outcome();
    }
    if (thread_.joinable()) thread_.join();
    Shared& read = *shared_;
    if (!read.outcome.ok()) return read.outcome;
    state.model.takePrepared(std::move(read.fresh), read.warnings);
    afterLoad(state);
    return read.outcome;
}

common::Outcome loadAnswering(AppState& state, platform::Desktop& desktop, const std::string& path,
                              bool escapeStops, bool& stopped) {
    BackgroundLoad load(state.model, path, escapeStops);
    if (!load.waitFor(kQuietLoad)) desktop.waitAnswering(load);
    return load.finish(state, stopped);
}

}  // namespace quillon

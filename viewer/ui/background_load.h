#pragma once
// A result file read on a thread of its own into a model of its own, so that the window can
// keep answering while a large file loads. The model shown meanwhile is not touched; only the
// thread that waits makes the new model the shown one.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "viewer/model/result_model.h"
#include "viewer/platform/dialog.h"
#include "viewer/state/app_state.h"

namespace quillon {

// A load this short is waited for without the window answering, as any other command is: it
// looks as a load always did, without a title that flickers.
constexpr std::chrono::milliseconds kQuietLoad{500};

class BackgroundLoad final : public platform::LongTask {
  public:
    // Starts reading `path` into an empty model with the settings of `current`. Esc stops
    // the load when `escapeStops`.
    BackgroundLoad(const ResultModel& current, const std::string& path, bool escapeStops);
    ~BackgroundLoad() override;  // stops the read, and waits a second at most for it
    BackgroundLoad(const BackgroundLoad&) = delete;
    BackgroundLoad& operator=(const BackgroundLoad&) = delete;

    bool waitFor(std::chrono::milliseconds timeout) override;
    double doneShare() const override;
    void onEscape() override;
    void stop() override;

    // Waits for the read to end (the model read is finished on the reading thread as well, up
    // to the warnings it calls for). A read that was not stopped and read the file becomes the
    // state's model, and the after-load sequence runs; a failure changes nothing. A stopped
    // load changes nothing either, and says so in `stopped` (its outcome is of no interest); it
    // is waited for a second at most, since a read that waits for its file may never see that
    // it was stopped.
    common::Outcome finish(AppState& state, bool& stopped);

  private:
    // What the reading thread and this object share. The thread holds it too: a read that is
    // left behind (the window closed while it waits for a pipe nobody writes) keeps its data
    // for as long as it runs, and takes nothing of this object's.
    struct Shared {
        ResultModel fresh;
        ReadProgress progress;
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        common::Outcome outcome;
        std::vector<std::string> warnings;  // of the file read, for finish to show
    };
    // Joins the thread once it has ended; leaves it behind if it does not end soon.
    void release();

    std::shared_ptr<Shared> shared_;
    std::uint64_t fileBytes_ = 0;  // 0 when unknown
    bool escapeStops_;
    std::thread thread_;
};

// Loads `path` into `state` as openResultFile does. A load that takes longer than kQuietLoad
// goes on while the desktop's window keeps answering; Esc stops it when `escapeStops`, and a
// stopped load changes nothing and sets `stopped`.
common::Outcome loadAnswering(AppState& state, platform::Desktop& desktop, const std::string& path,
                              bool escapeStops, bool& stopped);

}  // namespace quillon

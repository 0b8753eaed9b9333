#pragma once
// Work of the main window that runs on another thread (a load of a large file), and what the
// window shows while it waits for it.
#include <chrono>
#include <string>

namespace quillon::platform {

class LongTask {
  public:
    virtual ~LongTask() = default;
    // Waits at most `timeout` for the work to end; true once it has ended.
    virtual bool waitFor(std::chrono::milliseconds timeout) = 0;
    // The share of the work done, 0 to 1.
    virtual double doneShare() const = 0;
    // The user pressed Esc in the window: work that the user may stop stops.
    virtual void onEscape() = 0;
    // The window is gone: the work stops, whatever it is. The window does not wait for it
    // then: work that cannot see at once that it was told to stop (a read that waits for its
    // file) is left to end on its own.
    virtual void stop() = 0;
};

// The window's title while it waits: its usual title and the whole percent done,
// "TITLE - 42 %".
std::string titleWithProgress(const std::string& title, double doneShare);

}  // namespace quillon::platform

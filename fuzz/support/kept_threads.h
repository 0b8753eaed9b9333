#pragma once
// Threads kept from one input to the next, lent to a reader that reads in several threads
// (quillon::RunTogether): starting a thread for each section of each input would cost most
// of a harness's time, and more still under the sanitizers. The reader's work on them is its
// own, only who runs it differs.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace fuzzsupport {

class KeptThreads {
  public:
    KeptThreads() = default;
    KeptThreads(const KeptThreads&) = delete;
    KeptThreads& operator=(const KeptThreads&) = delete;
    ~KeptThreads() {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    // Runs task(0) on the calling thread and task(1) .. task(count - 1) on kept threads, all
    // at once; returns when all have returned, then throws on what task(0) threw. A kept
    // thread that has not begun its task when task(0) returns leaves it out: a reader's
    // helper would find the section read by then and return at once, and waiting for a
    // thread to wake only for that would cost more than the reading on a busy machine.
    void run(int count, const std::function<void(int)>& task) {
        {
            std::lock_guard lock(mutex_);
            while (static_cast<int>(threads_.size()) < count - 1) {
                int index = static_cast<int>(threads_.size()) + 1;
                threads_.emplace_back([this, index, seen = round_] { serve(index, seen); });
            }
            task_ = &task;
            helpers_ = count - 1;
            ++round_;
        }
        wake_.notify_all();
        // The helpers that began are waited for whatever way task(0) ends.
        struct Wait {
            KeptThreads& kept;
            ~Wait() {
                std::unique_lock lock(kept.mutex_);
                kept.task_ = nullptr;
                kept.done_.wait(lock, [this] { return kept.running_ == 0; });
            }
        } wait{*this};
        task(0);
    }

  private:
    // Thread `index` runs task(index) in every round that has that many helpers.
    void serve(int index, std::uint64_t seen) {
        for (;;) {
            const std::function<void(int)>* task = nullptr;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return quit_ || round_ != seen; });
                if (quit_) return;
                seen = round_;
                if (index > helpers_ || !task_) continue;
                task = task_;
                ++running_;
            }
            (*task)(index);
            std::lock_guard lock(mutex_);
            if (--running_ == 0) done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::vector<std::thread> threads_;
    const std::function<void(int)>* task_ = nullptr;
    int helpers_ = 0;  // helpers in this round
    int running_ = 0;  // of them, those that began and have not returned yet
    std::uint64_t round_ = 0;
    bool quit_ = false;
};

}  // namespace fuzzsupport

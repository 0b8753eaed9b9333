#pragma once
// Threads kept from one input to the next, lent to a reader that reads in several threads
// (quillon::RunTogether): starting a thread for each section of each input would cost most
// of a harness's time, and more still under the sanitizers. The reader's work on them is its
// own, only who runs it differs.
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
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
        for (auto& k : kept_) k->wake.notify_one();
        for (auto& k : kept_) k->thread.join();
    }

    // Runs task(0) on the calling thread and task(1) .. task(count - 1) on kept threads, all
    // at once; returns when all have returned, then throws on what task(0) threw. A kept
    // thread that has not begun its task when task(0) returns leaves it out: a reader's
    // helper would find the section read by then and return at once, and waiting for a
    // thread to wake only for that would cost more than the reading on a busy machine.
    void run(int count, const std::function<void(int)>& task) {
        std::size_t helpers = count > 1 ? static_cast<std::size_t>(count - 1) : 0;
        {
            std::lock_guard lock(mutex_);
            while (kept_.size() < helpers) {
                kept_.push_back(std::make_unique<Kept>());
                Kept* k = kept_.back().get();
                k->thread = std::thread(
                    [this, k, index = static_cast<int>(kept_.size())] { serve(*k, index); });
            }
            task_ = &task;
            for (std::size_t i = 0; i < helpers; ++i) kept_[i]->due = true;
        }
        // Only the threads this round needs are woken.
        for (std::size_t i = 0; i < helpers; ++i) kept_[i]->wake.notify_one();
        // The helpers that began are waited for whatever way task(0) ends.
        struct Wait {
            KeptThreads& kept;
            ~Wait() {
                std::unique_lock lock(kept.mutex_);
                kept.task_ = nullptr;
                for (auto& k : kept.kept_) k->due = false;
                kept.done_.wait(lock, [this] { return kept.running_ == 0; });
            }
        } wait{*this};
        task(0);
    }

  private:
    struct Kept {
        std::thread thread;
        std::condition_variable wake;
        bool due = false;  // called for in this round and not yet begun
    };

    // The thread that runs task(index) in every round that has that many helpers.
    void serve(Kept& k, int index) {
        for (;;) {
            const std::function<void(int)>* task = nullptr;
            {
                std::unique_lock lock(mutex_);
                k.wake.wait(lock, [&] { return quit_ || k.due; });
                if (quit_) return;
                k.due = false;
                task = task_;
                ++running_;
            }
            (*task)(index);
            std::lock_guard lock(mutex_);
            if (--running_ == 0) done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable done_;
    std::vector<std::unique_ptr<Kept>> kept_;
    const std::function<void(int)>* task_ = nullptr;  // while task(0) runs
    int running_ = 0;  // helpers that began and have not returned yet
    bool quit_ = false;
};

}  // namespace fuzzsupport

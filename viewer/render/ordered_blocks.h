#pragma once
// Work cut into numbered blocks: a helper thread and the calling thread make the blocks, and
// the calling thread alone uses them, in block order. Drawing needs exactly that: geometry can be
// computed anywhere, but OpenGL is called from one thread and in the order of the pieces.
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

namespace quillon {

// Calls make(block, slot) for every block 0 … count − 1 and then use(block, slot) for each in
// increasing order, where `slot` is one of `slots` reusable outputs (at most that many blocks
// are made and not yet used). make runs on a helper thread or on the calling thread; use runs
// on the calling thread only. Neither may throw. With one slot everything runs in turn on the
// calling thread.
template <class Slot, class Make, class Use>
void forEachBlockInOrder(std::size_t count, std::vector<Slot>& slots, Make make, Use use) {
    const std::size_t n = slots.size();
    if (count == 0 || n == 0) return;
    if (n == 1 || count == 1) {
        for (std::size_t b = 0; b < count; ++b) {
            make(b, slots[0]);
            use(b, slots[0]);
        }
        return;
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;  // the next block to make
    std::size_t used = 0;  // the next block to use
    std::vector<char> ready(n, 0);
    auto makeOne = [&](std::unique_lock<std::mutex>& lock, std::size_t block) {
        lock.unlock();
        make(block, slots[block % n]);
        lock.lock();
        ready[block % n] = 1;
        changed.notify_all();
    };
    std::thread helper([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return next >= count || next < used + n; });
            if (next >= count) return;
            makeOne(lock, next++);
        }
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (used < count) {
            // Only the blocks used … used + n − 1 are made, each in a slot of its own.
            std::size_t slot = used % n;
            if (ready[slot]) {
                lock.unlock();
                use(used, slots[slot]);
                lock.lock();
                ready[slot] = 0;
                ++used;
                changed.notify_all();
            } else if (next < count && next < used + n) {
                makeOne(lock, next++);
            } else {
                changed.wait(lock);
            }
        }
    }
    helper.join();
}

}  // namespace quillon

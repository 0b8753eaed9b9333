#include "viewer/model/record_chunks.h"

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace quillon {
namespace {

using common::TextScanner;

// Read past the end of a chunk, so that its last rows are still read straight from the block.
constexpr std::size_t kMargin = std::size_t{16} << 10;
// The start of a chunk is looked for in this much text after its nominal offset; where no
// line there can begin a record, the threads stop.
constexpr std::size_t kProbeBytes = std::size_t{64} << 10;

// The first byte of a chunk: a line that can begin a record, and the line end before it.
struct Boundary {
    bool found = false;
    std::uint64_t offset = 0;
    char last = 0;
};

// The first line at or after `nominal` (> 0) that can begin a record.
Boundary findBoundary(TextScanner& s, std::uint64_t nominal, const RecordKind& kind,
                      std::vector<char>& window) {
    std::uint64_t from = nominal - 1;  // the line end before a line starting at `nominal`
    std::size_t got = s.readAt(from, window.data(), window.size());
    const char* b = window.data();
    const char* e = b + got;
    for (const char* p = b; p < e; ++p) {
        if (*p != '\n' && *p != '\r') continue;
        const char* line = p + 1;
        const char* eol = line;
        while (eol < e && *eol != '\n' && *eol != '\r') ++eol;
        if (eol == e) break;  // a line without its end in the window: none that is sure
        if (kind.startsRecord(std::string_view(line, static_cast<std::size_t>(eol - line))))
            return {true, from + static_cast<std::uint64_t>(line - b), *p};
        p = eol - 1;
    }
    return {};
}

struct ChunkResult {
    bool clean = false;  // read without a fault from `begin` exactly to `end`
    std::uint64_t begin = 0;
    Boundary end;
    long lines = 0;  // line ends consumed between them
    std::size_t records = 0;
    ChunkValues values;
};

class ChunkRun {
  public:
    ChunkRun(TextScanner::Position start, std::uint64_t fileSize, std::size_t records,
             const RecordKind& kind, const ChunkOptions& options)
        : start_(start),
          fileSize_(fileSize),
          total_(records),
          kind_(kind),
          chunkBytes_(options.chunkBytes < 1 ? 1 : options.chunkBytes),
          ahead_(2 * static_cast<std::size_t>(options.threads)),
          progress_(options.progress),
          stored_(start) {}

    // Claims chunks, reads them and stores those next in file order, until told to stop.
    void work(TextScanner& s) {
        // No search reads before the section's first byte, so a window as long as the text
        // from there finds what a longer one would (a small file costs no more).
        std::vector<char> window(static_cast<std::size_t>(
            std::min<std::uint64_t>(kProbeBytes, fileSize_ - start_.offset)));
        ChunkValues values;
        for (;;) {
            std::size_t k;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || nextChunk_ < storedChunks_ + ahead_; });
                if (stop_) return;
                k = nextChunk_++;
                if (!spare_.empty()) {
                    values = std::move(spare_.back());
                    spare_.pop_back();
                }
            }
            // Both threads clear the storage's new pages ahead of the chunks stored in it:
            // twice the share a chunk would fill were the section the rest of the file.
            double share =
                2.0 * static_cast<double>(chunkBytes_) /
                static_cast<double>(std::max<std::uint64_t>(1, fileSize_ - start_.offset));
            if (static_cast<double>(k) * share < 1)
                kind_.prefault(static_cast<double>(k) * share, static_cast<double>(k + 1) * share);
            ChunkResult r = read(k, s, window, std::move(values));
            std::lock_guard lock(mutex_);
            ready_.emplace(k, std::move(r));
            storeReady();
            changed_.notify_all();
        }
    }

    void stop() {
        std::lock_guard lock(mutex_);
        stop_ = true;
        changed_.notify_all();
    }

    ChunkOutcome outcome() const { return {storedRecords_, stored_}; }

  private:
    std::uint64_t nominal(std::size_t k) const {
        return start_.offset + static_cast<std::uint64_t>(k) * chunkBytes_;
    }

    ChunkResult read(std::size_t k, TextScanner& s, std::vector<char>& window, ChunkValues values) {
        ChunkResult r;
        values.clear();
        Boundary begin = k == 0 ? Boundary{true, start_.offset, start_.last}
                                : findBoundary(s, nominal(k), kind_, window);
        r.end = findBoundary(s, nominal(k + 1), kind_, window);
        r.begin = begin.offset;
        if (begin.found && r.end.found && s.seek({begin.offset, 1, begin.last})) {
            bool fault = false;
            while (s.offset() < r.end.offset) {
                // A chunk past the first one that is not clean is not worth finishing.
                if (r.records % 64 == 0 && stopping()) {
                    fault = true;
                    break;
                }
                if (!kind_.read(s, values)) {
                    fault = true;
                    break;
                }
                ++r.records;
            }
            r.clean = !fault && s.offset() == r.end.offset && !s.readError();
            r.lines = s.line() - 1;
        }
        r.values = std::move(values);
        return r;
    }

    bool stopping() {
        if (progress_ && progress_->stop.load(std::memory_order_relaxed)) {
            stop();
            return true;
        }
        std::lock_guard lock(mutex_);
        return stop_;
    }

    // Stores the chunks that are next in file order; stops at the first that is not clean
    // or that holds records past the section's count. Called with the mutex held.
    void storeReady() {
        while (!stop_) {
            auto it = ready_.find(storedChunks_);
            if (it == ready_.end()) return;
            ChunkResult& r = it->second;
            if (!r.clean || r.begin != stored_.offset || r.records > total_ - storedRecords_) {
                stop_ = true;
                return;
            }
            kind_.store(r.values);
            storedRecords_ += r.records;
            stored_ = {r.end.offset, stored_.line + r.lines, r.end.last};
            spare_.push_back(std::move(r.values));
            ready_.erase(it);
            ++storedChunks_;
            if (progress_) progress_->bytesRead.store(stored_.offset, std::memory_order_relaxed);
            if (storedRecords_ == total_ || (progress_ && progress_->stop.load())) stop_ = true;
        }
    }

    const TextScanner::Position start_;
    const std::uint64_t fileSize_;
    const std::size_t total_;
    const RecordKind& kind_;
    const std::uint64_t chunkBytes_;
    const std::size_t ahead_;  // chunks read but not yet stored, at most
    ReadProgress* const progress_;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    std::size_t nextChunk_ = 0;
    std::size_t storedChunks_ = 0;
    std::size_t storedRecords_ = 0;
    TextScanner::Position stored_;
    std::map<std::size_t, ChunkResult> ready_;
    std::vector<ChunkValues> spare_;
};

// The readers' threads unless the caller lends its own: one started for each task but the
// first. They are stopped and joined whatever way this function is left.
void startThreads(ChunkRun& run, int count, const std::function<void(int)>& task) {
    std::vector<std::thread> helpers;
    struct Join {
        ChunkRun& run;
        std::vector<std::thread>& threads;
        ~Join() {
            run.stop();
            for (std::thread& t : threads) t.join();
        }
    } join{run, helpers};
    for (int t = 1; t < count; ++t) helpers.emplace_back(task, t);
    task(0);
}

}  // namespace

std::size_t ChunkScanners::open(const TextScanner& main, int count, std::size_t blockBytes) {
    while (scanners_.size() < static_cast<std::size_t>(std::max(count, 0))) {
        auto s = std::make_unique<TextScanner>(blockBytes);
        if (!s->open(path_) || !s->sameFile(main)) break;
        scanners_.push_back(std::move(s));
    }
    return std::min(scanners_.size(), static_cast<std::size_t>(std::max(count, 0)));
}

ChunkOutcome readRecordChunks(ChunkScanners& scanners, const TextScanner& main,
                              TextScanner::Position start, std::size_t records,
                              const RecordKind& kind, const ChunkOptions& options) {
    ChunkOutcome none{0, start};
    if (options.threads < 2 || records == 0 || main.fileSize() == TextScanner::kUnknownSize)
        return none;
    // A chunk is stored only when a line that can begin a record follows it: with no more than
    // a chunk of text left, not even the first one can be.
    if (main.fileSize() <= start.offset + std::max<std::size_t>(options.chunkBytes, 1)) return none;
    // Every reader has its own scanner of the same file, with blocks of a chunk and a margin.
    std::size_t readers = scanners.open(main, options.threads, options.chunkBytes + kMargin);
    if (readers < 2) return none;

    ChunkOptions used = options;
    used.threads = static_cast<int>(readers);
    ChunkRun run(start, main.fileSize(), records, kind, used);
    // Whatever way a reader stops, the others stop with it. Out of memory in a helper leaves
    // the calling thread to read on alone; in the calling thread it is thrown on once the
    // helpers have returned.
    auto task = [&run, &scanners](int t) {
        try {
            run.work(scanners[static_cast<std::size_t>(t)]);
        } catch (...) {
            run.stop();
            if (t == 0) throw;
        }
        run.stop();
    };
    if (options.runTogether)
        options.runTogether(used.threads, task);
    else
        startThreads(run, used.threads, task);
    return run.outcome();
}

}  // namespace quillon

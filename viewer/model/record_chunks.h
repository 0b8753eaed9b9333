#pragma once
// Reading one long section of same-layout records with more than one thread. The section's
// text is cut into chunks at lines that can only begin a record; each thread reads whole
// chunks with its own scanner into a buffer, and the chunks are stored in file order. A
// chunk is stored only when it read cleanly from its first byte exactly to the first byte
// of the next chunk, so everything stored is what one pass would have read. At the first
// chunk that is not clean (a fault, a line that only looked like the start of a record, the
// end of the section) the threads stop and the caller reads on in one pass from the end of
// the last stored chunk: faults, their messages and their line numbers are then those of
// one pass, and the first fault in file order is the one found.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/text_scanner.h"
#include "viewer/model/result_model.h"

namespace quillon {

// The values of the records of one chunk, in file order.
struct ChunkValues {
    std::vector<std::int32_t> ints;
    std::vector<double> reals;
    void clear() {
        ints.clear();
        reals.clear();
    }
};

// One kind of record: how its first line looks, how it is read and where it is stored.
class RecordKind {
  public:
    virtual ~RecordKind() = default;
    // True when `line` (without its line end) has the shape that, in a file laid out a record
    // a line group, only the first line of a record has. A wrong guess costs time, never
    // correctness: the chunk ending there is not clean.
    virtual bool startsRecord(std::string_view line) const = 0;
    // Reads one record and the white space after it, appending its values to `out`; false at
    // anything that does not follow the layout.
    virtual bool read(common::TextScanner& s, ChunkValues& out) const = 0;
    // Appends `in`, records that one pass would have read, to those stored before (chunks
    // are stored one at a time, in file order).
    virtual void store(const ChunkValues& in) const = 0;
    // Makes present the pages of the storage that the share [from, to) of the section's
    // records will fill (shares of 0..1, in file order), so that the thread that stores them
    // does not wait while the system clears new pages. Only a matter of time.
    virtual void prefault(double from, double to) const {
        (void)from;
        (void)to;
    }
};

struct ChunkOptions {
    int threads = 2;                                // readers, the calling thread included
    std::size_t chunkBytes = std::size_t{1} << 20;  // the text a thread reads at a time
    RunTogether runTogether;                        // unset: a thread started for each
    // Told the end of each chunk stored; a stop asked there stops the threads as a chunk
    // that is not clean does.
    ReadProgress* progress = nullptr;
};

struct ChunkOutcome {
    std::size_t records = 0;            // records stored, from the first on
    common::TextScanner::Position end;  // where one pass would stand after them
};

// The scanners of the threads that read a file in chunks, each its own of the same file:
// opened when a section is first read so and kept for the file's other sections.
class ChunkScanners {
  public:
    explicit ChunkScanners(std::string path) : path_(std::move(path)) {}
    // Makes `count` scanners of the file `main` reads ready, with blocks of `blockBytes` (for
    // those not yet open), and says how many are: fewer when no more can be opened.
    std::size_t open(const common::TextScanner& main, int count, std::size_t blockBytes);
    common::TextScanner& operator[](std::size_t i) { return *scanners_[i]; }

  private:
    std::string path_;
    std::vector<std::unique_ptr<common::TextScanner>> scanners_;
};

// Reads and stores at most `records` records of `kind` in chunks, from `start` (a position
// of the file `main` reads, at the first byte of the first record), with `scanners` of that
// file. `main` itself is not moved. Fewer records are stored when a chunk is not clean; none
// when no second scanner of the same file can be opened.
ChunkOutcome readRecordChunks(ChunkScanners& scanners, const common::TextScanner& main,
                              common::TextScanner::Position start, std::size_t records,
                              const RecordKind& kind, const ChunkOptions& options);

}  // namespace quillon

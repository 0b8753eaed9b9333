// Loads with several threads against loads in one pass: the same model to the bit, and for a
// file with faults the same message with the same line, the first fault in file order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/text_scanner.h"
#include "examples/example_gen.h"
#include "tests/support/line_ends.h"
#include "tests/support/temp_file.h"
#include "viewer/model/record_chunks.h"
#include "viewer/model/result_model.h"

namespace {

using common::Outcome;
using quillon::ReadOptions;
using quillon::ResultModel;

struct Load {
    Outcome status;
    std::unique_ptr<ResultModel> model = std::make_unique<ResultModel>();
};

// Every section of at least one record is read in chunks of `chunkBytes` when threads > 1.
Load readWith(const std::string& path, int threads, std::size_t chunkBytes = 4096) {
    Load l;
    ReadOptions o;
    o.threads = threads;
    o.chunkBytes = chunkBytes;
    o.minParallelRecords = 1;
    l.status = quillon::readResultFile(path, *l.model, o);
    return l;
}

template <class T>
bool sameBits(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

void expectSameModel(const ResultModel& a, const ResultModel& b) {
    EXPECT_EQ(a.nodeCount, b.nodeCount);
    EXPECT_EQ(a.quadCount, b.quadCount);
    EXPECT_EQ(a.triCount, b.triCount);
    EXPECT_EQ(a.beamCount, b.beamCount);
    EXPECT_TRUE(sameBits(a.nodePos0, b.nodePos0));
    EXPECT_TRUE(sameBits(a.nodeDisp, b.nodeDisp));
    EXPECT_TRUE(sameBits(a.quadNodes, b.quadNodes));
    EXPECT_TRUE(sameBits(a.quadStress, b.quadStress));
    EXPECT_TRUE(sameBits(a.triNodes, b.triNodes));
    EXPECT_TRUE(sameBits(a.triStress, b.triStress));
    ASSERT_EQ(a.beams.size(), b.beams.size());
    for (std::size_t i = 0; i < a.beams.size(); ++i) {
        const quillon::BeamElement &x = a.beams[i], &y = b.beams[i];
        EXPECT_EQ(x.number, y.number);
        EXPECT_EQ(std::memcmp(&x.start0, &y.start0, sizeof x.start0), 0);
        EXPECT_EQ(std::memcmp(&x.end0, &y.end0, sizeof x.end0), 0);
        EXPECT_TRUE(sameBits(x.meshPos0, y.meshPos0));
        EXPECT_TRUE(sameBits(x.meshDisp, y.meshDisp));
        EXPECT_TRUE(sameBits(x.cellNodes, y.cellNodes));
        EXPECT_TRUE(sameBits(x.cellStress, y.cellStress));
    }
}

// A generated plate of nx × ny cells (the last row three-node shells), with its beams.
std::string plateText(int nx, int ny) {
    quillon::examples::ExampleOptions o;
    o.nx = nx;
    o.ny = ny;
    o.seed = 7;
    std::string path = (testsupport::testDir() / "plate.txt").string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(f);
    quillon::examples::ExampleCounts counts;
    std::string error;
    EXPECT_TRUE(quillon::examples::WriteExample(o, f, counts, error)) << error;
    std::fclose(f);
    return testsupport::readFile(path);
}

// The 1-based line that holds byte `at` (line feeds only: the texts here use them).
long lineOf(const std::string& text, std::size_t at) {
    return 1 + static_cast<long>(std::count(text.begin(), text.begin() + at, '\n'));
}

// The first byte of the first index line of a four-node shell at or after `from`.
std::size_t quadIndexLineAfter(const std::string& text, std::size_t from) {
    for (std::size_t p = text.find('\n', from); p != std::string::npos;
         p = text.find('\n', p + 1)) {
        std::size_t end = text.find('\n', p + 1);
        std::string line = text.substr(p + 1, end - p - 1);
        if (std::count(line.begin(), line.end(), ',') == 3 &&
            line.find_first_not_of("0123456789,") == std::string::npos)
            return p + 1;
    }
    return std::string::npos;
}

class ParallelLoad : public ::testing::Test {
  protected:
    void SetUp() override {
        text_ = plateText(60, 50);  // 2,940 four-node shells, about 4 MB
        quads_ = text_.find("NELEM_S_4ND=");
        tris_ = text_.find("NELEM_S_3ND=");
        ASSERT_NE(tris_, std::string::npos);
        ASSERT_GT(text_.size(), std::size_t{3} << 20);
    }
    // A byte at `share` of the four-node shell section.
    std::size_t inQuads(double share) const {
        return quads_ + static_cast<std::size_t>(share * static_cast<double>(tris_ - quads_));
    }
    // Loads `text` in one pass and with threads; both must say the same. Returns the one pass.
    Outcome loadBothWays(const std::string& text, const std::string& name) {
        std::string path = testsupport::writeFile(name, text);
        Load one = readWith(path, 1);
        for (int threads : {2, 3})
            for (std::size_t chunk : {std::size_t{3000}, std::size_t{65536}}) {
                SCOPED_TRACE(name + ": " + std::to_string(threads) + " threads, chunks of " +
                             std::to_string(chunk));
                Load more = readWith(path, threads, chunk);
                EXPECT_EQ(more.status.ok(), one.status.ok());
                EXPECT_EQ(more.status.failure().message, one.status.failure().message);
                EXPECT_EQ(more.status.failure().line, one.status.failure().line);
                if (one.status.ok() && more.status.ok()) expectSameModel(*more.model, *one.model);
            }
        return one.status;
    }

    std::string text_;
    std::size_t quads_ = 0, tris_ = 0;
};

TEST_F(ParallelLoad, SameModelAsOnePassOnExamplesAndGeneratedFiles) {
#if defined(_WIN32)
    // Each beam's sections are read in chunks too here, each with a helper thread: hundreds of
    // threads, which under Wine take tens of milliseconds each to start (minutes in all). The
    // other cases run the chunked reader's Windows file access.
    GTEST_SKIP() << "hundreds of helper threads";
#endif
    EXPECT_TRUE(loadBothWays(text_, "plate.txt").ok());
    EXPECT_TRUE(loadBothWays(testsupport::withLineEnds(text_, "\r\n"), "plate_crlf.txt").ok());
    EXPECT_TRUE(loadBothWays(testsupport::withLineEnds(text_, "\r"), "plate_cr.txt").ok());
    std::string example = testsupport::readFile(std::string(QUILLON_SOURCE_DIR) +
                                                "/examples/Quillon_AverageStrs.txt");
    ASSERT_FALSE(example.empty());
    EXPECT_TRUE(loadBothWays(example, "example.txt").ok());
    // Chunks smaller than a record: many hold none, the others one.
    std::string path = testsupport::writeFile("small_chunks.txt", example);
    Load one = readWith(path, 1), tiny = readWith(path, 2, 300);
    ASSERT_TRUE(tiny.status.ok()) << tiny.status.failure().message;
    expectSameModel(*tiny.model, *one.model);
}

// A load tells how far it has read, up to the whole file, and a load told to stop fails: from
// the start, or (in chunks) when the second section begins, the node rows read by then.
TEST_F(ParallelLoad, TellsItsProgressAndStopsWhenTold) {
    std::string path = testsupport::writeFile("plate.txt", text_);
    Load plain = readWith(path, 1);
    ASSERT_TRUE(plain.status.ok());
    for (int threads : {1, 2}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        quillon::ReadProgress progress;
        ReadOptions o;
        o.threads = threads;
        o.chunkBytes = 4096;
        o.minParallelRecords = 1;
        o.progress = &progress;
        ResultModel read;
        ASSERT_TRUE(quillon::readResultFile(path, read, o).ok());
        EXPECT_EQ(progress.bytesRead.load(), text_.size());
        expectSameModel(read, *plain.model);

        quillon::ReadProgress stopped;
        stopped.stop = true;
        o.progress = &stopped;
        ResultModel none;
        EXPECT_FALSE(quillon::readResultFile(path, none, o).ok());
    }
    quillon::ReadProgress progress;
    ReadOptions o;
    o.threads = 2;
    o.chunkBytes = 4096;
    o.minParallelRecords = 1;
    o.progress = &progress;
    int sections = 0;
    o.runTogether = [&](int count, const std::function<void(int)>& task) {
        if (++sections == 2) progress.stop = true;
        std::vector<std::thread> others;
        for (int t = 1; t < count; ++t) others.emplace_back(task, t);
        task(0);
        for (std::thread& t : others) t.join();
    };
    ResultModel part;
    EXPECT_FALSE(quillon::readResultFile(path, part, o).ok());
    EXPECT_EQ(sections, 2);
    EXPECT_GT(progress.bytesRead.load(), text_.size() / 100);
    EXPECT_LT(progress.bytesRead.load(), quads_);
}

TEST_F(ParallelLoad, AFaultLateInTheSectionNamesItsLine) {
    for (double share : {0.1, 0.55, 0.93, 0.9995}) {
        SCOPED_TRACE(share);
        std::size_t at = quadIndexLineAfter(text_, inQuads(share));
        ASSERT_LT(at, tris_);
        long line = lineOf(text_, at);
        // A node index out of range.
        std::string bad = text_;
        bad.replace(at, bad.find(',', at) - at, "99999999");
        Outcome st = loadBothWays(bad, "range.txt");
        EXPECT_EQ(st.failure().message,
                  "line " + std::to_string(line) + ": node index 99999999 is outside 0..3110");
        // Two index lines that do not follow the layout.
        bad = text_;
        bad[bad.find(',', at)] = ';';
        st = loadBothWays(bad, "indices.txt");
        EXPECT_EQ(st.failure().message,
                  "line " + std::to_string(line) + ": expected four node indices a,b,c,d");
        // A stress value that is not a number, on the third stress line of the record.
        bad = text_;
        std::size_t stressLine = at;
        for (int i = 0; i < 3; ++i) stressLine = bad.find('\n', stressLine) + 1;
        bad[bad.find('e', stressLine)] = 'x';
        st = loadBothWays(bad, "stress.txt");
        EXPECT_EQ(st.failure().message, "line " + std::to_string(line + 3) +
                                            ": expected a stress line Sx,Sy,Sz,Txy,Txz,Tyz,Se");
        // The file ends inside the record's second stress line.
        std::size_t cut = bad.find('\n', bad.find('\n', at) + 1) + 20;
        st = loadBothWays(text_.substr(0, cut), "cut.txt");
        EXPECT_EQ(st.failure().message, "at the end of the file (after line " +
                                            std::to_string(line + 2) +
                                            "): expected a stress line Sx,Sy,Sz,Txy,Txz,Tyz,Se");
    }
}

TEST_F(ParallelLoad, FaultsInTheNodeRowsNameTheirLine) {
    // Lines 2..3112 hold the coordinates, 3113..6222 the displacements.
    auto startOfLine = [&](long line) {
        std::size_t p = 0;
        for (long l = 1; l < line; ++l) p = text_.find('\n', p) + 1;
        return p;
    };
    for (long line : {2900L, 3112L, 5000L, 6222L}) {
        SCOPED_TRACE(line);
        std::size_t at = startOfLine(line);
        std::string bad = text_;
        bad[bad.find(',', at)] = ' ';  // a row one value short
        Outcome st = loadBothWays(bad, "row.txt");
        EXPECT_EQ(st.failure().message,
                  "line " + std::to_string(line) + ": expected " +
                      (line <= 3112 ? "node coordinates x,y,z"
                                    : "six displacement values u,v,w,rx,ry,rz"));
    }
    // The file ends in the displacements.
    Outcome st = loadBothWays(text_.substr(0, startOfLine(6000)), "short.txt");
    EXPECT_EQ(st.failure().message,
              "at the end of the file (after line 5999): expected six displacement values "
              "u,v,w,rx,ry,rz");
}

TEST_F(ParallelLoad, OfTwoFaultsTheFirstInTheFileWins) {
    std::size_t early = quadIndexLineAfter(text_, inQuads(0.3));
    std::size_t late = quadIndexLineAfter(text_, inQuads(0.8));
    std::string bad = text_;
    // The later one first, so that the earlier offset stays where it was.
    bad[bad.find(',', late)] = ';';
    bad.replace(early, bad.find(',', early) - early, "-5");
    Outcome st = loadBothWays(bad, "two.txt");
    EXPECT_EQ(st.failure().message, "line " + std::to_string(lineOf(text_, early)) +
                                        ": node index -5 is outside 0..3110");
    // Also when the earlier one is only a few records before the later one.
    bad = text_;
    std::size_t next = quadIndexLineAfter(text_, late + 1);
    bad[bad.find(',', next)] = ';';
    bad[bad.find('e', bad.find('\n', late) + 1)] = 'x';
    st = loadBothWays(bad, "close.txt");
    EXPECT_EQ(st.failure().message, "line " + std::to_string(lineOf(text_, late) + 1) +
                                        ": expected a stress line Sx,Sy,Sz,Txy,Txz,Tyz,Se");
}

TEST_F(ParallelLoad, CountsOrLayoutThatChangeOnTheWayReadAsInOnePass) {
#if defined(_WIN32)
    // Each beam's sections are read in chunks too here, each with a helper thread: hundreds of
    // threads, which under Wine take tens of milliseconds each to start (minutes in all). The
    // other cases run the chunked reader's Windows file access.
    GTEST_SKIP() << "hundreds of helper threads";
#endif
    const int quads = 2940;
    const std::string key = "NELEM_S_4ND=" + std::to_string(quads) + "\n";
    ASSERT_EQ(text_.compare(quads_, key.size(), key), 0);
    auto withCount = [&](int count) {
        std::string t = text_;
        t.replace(quads_, key.size(), "NELEM_S_4ND=" + std::to_string(count) + "\n");
        return t;
    };
    // More records counted than there are: the next key is read as a record.
    EXPECT_EQ(
        loadBothWays(withCount(quads + 3), "more.txt").failure().message,
        "line " + std::to_string(lineOf(text_, tris_)) + ": expected four node indices a,b,c,d");
    // Fewer: the first record left over is read as the next key.
    std::size_t last = quads_;
    for (int i = 0; i < quads - 2; ++i) last = quadIndexLineAfter(text_, last + 1);
    EXPECT_EQ(loadBothWays(withCount(quads - 3), "fewer.txt").failure().message,
              "line " + std::to_string(lineOf(text_, last)) + ": expected NELEM_S_3ND=<count>");
    EXPECT_TRUE(loadBothWays(withCount(quads), "exact.txt").ok());

    // From the middle on: blank lines between records, CR LF line ends, blanks after the
    // commas of the index lines, stress lines split in two (one half looking like an index
    // line). Odd, but within the layout: every way reads the same model.
    std::size_t middle = quadIndexLineAfter(text_, inQuads(0.5));
    std::string head = text_.substr(0, middle), tail = text_.substr(middle, tris_ - middle);
    std::string rest = text_.substr(tris_);
    std::string blank, crlf = testsupport::withLineEnds(tail, "\r\n"), spaced, split;
    for (std::size_t p = 0; p < tail.size();) {
        std::size_t end = tail.find('\n', p) + 1;
        std::string line = tail.substr(p, end - p);
        bool index = std::count(line.begin(), line.end(), ',') == 3;
        blank += (index ? "\n \n" : "") + line;
        if (index) {
            std::string s;
            for (char c : line) s += c == ',' ? std::string(", ") : std::string(1, c);
            spaced += s;
            split += line;
        } else {
            spaced += line;
            split += "0,0,0,\n0,0,0,0\n";
        }
        p = end;
    }
    for (const auto& [name, changed] : {std::pair{"blank", blank}, std::pair{"crlf", crlf},
                                        std::pair{"spaced", spaced}, std::pair{"split", split}}) {
        Outcome st = loadBothWays(head + changed + rest, std::string(name) + ".txt");
        EXPECT_TRUE(st.ok()) << name << ": " << st.failure().message;
    }
}

// A record of two integers on a line, for the chunks alone.
class PairRecords final : public quillon::RecordKind {
  public:
    explicit PairRecords(std::vector<std::int32_t>& out) : out_(out) {}
    bool startsRecord(std::string_view line) const override {
        return std::count(line.begin(), line.end(), ',') == 1 &&
               line.find_first_not_of("0123456789,") == std::string_view::npos;
    }
    bool read(common::TextScanner& s, quillon::ChunkValues& out) const override {
        std::int32_t a = 0, b = 0;
        if (!s.readInt(a) || !s.match(',') || !s.readInt(b)) return false;
        s.skipSpace();
        out.ints.push_back(a);
        out.ints.push_back(b);
        return true;
    }
    void store(const quillon::ChunkValues& in) const override {
        out_.insert(out_.end(), in.ints.begin(), in.ints.end());
    }

  private:
    std::vector<std::int32_t>& out_;
};

TEST(RecordChunks, StoresCleanChunksInOrderAndStopsAtTheFirstDoubt) {
    // 20,000 pairs "i,2i" with mixed line ends; the pair at index 14,000 is broken.
    std::string text;
    const char* ends[] = {"\n", "\r\n", "\r", "\n\n"};
    for (int i = 0; i < 20000; ++i)
        text += std::to_string(i) + (i == 14000 ? ";" : ",") + std::to_string(2 * i) + ends[i % 4];
    std::string path = testsupport::writeFile("pairs.txt", text);
    common::TextScanner main;
    ASSERT_TRUE(main.open(path));
    quillon::ChunkScanners scanners(path);  // kept from one read to the next, as a load keeps them
    // Threads that a caller lends (a fuzzer keeps its own) run the same reading.
    int lentRuns = 0;
    quillon::RunTogether lend = [&lentRuns](int count, const std::function<void(int)>& task) {
        ++lentRuns;
        std::vector<std::thread> helpers;
        for (int t = 1; t < count; ++t) helpers.emplace_back(task, t);
        task(0);
        for (std::thread& t : helpers) t.join();
    };
    for (std::size_t limit : {std::size_t{20000}, std::size_t{9000}}) {
        for (int threads : {1, 2, 4, -4}) {
            // -4: four threads lent by the caller.
            SCOPED_TRACE(std::to_string(limit) + " records, " + std::to_string(threads) +
                         " threads");
            std::vector<std::int32_t> stored;
            PairRecords kind(stored);
            quillon::ChunkOptions options;
            options.threads = std::abs(threads);
            options.chunkBytes = 2000;
            if (threads < 0) options.runTogether = lend;
            quillon::ChunkOutcome done =
                quillon::readRecordChunks(scanners, main, main.position(), limit, kind, options);
            ASSERT_EQ(stored.size(), 2 * done.records);
            if (threads == 1) {
                EXPECT_EQ(done.records, 0u);
                continue;
            }
            // All but the chunk with the fault or the end of the count, of about 200 pairs.
            std::size_t expected = std::min<std::size_t>(limit, 14000);
            EXPECT_LE(done.records, expected);
            EXPECT_GT(done.records + 400, expected);
            for (std::size_t i = 0; i < done.records; ++i) {
                ASSERT_EQ(stored[2 * i], static_cast<std::int32_t>(i));
                ASSERT_EQ(stored[2 * i + 1], static_cast<std::int32_t>(2 * i));
            }
            // Where one pass stands after as many records.
            common::TextScanner pass;
            ASSERT_TRUE(pass.open(path));
            quillon::ChunkValues values;
            for (std::size_t i = 0; i < done.records; ++i) ASSERT_TRUE(kind.read(pass, values));
            EXPECT_EQ(done.end.offset, pass.position().offset);
            EXPECT_EQ(done.end.line, pass.position().line);
            EXPECT_EQ(done.end.last, pass.position().last);
        }
    }
    EXPECT_EQ(lentRuns, 2);
}

}  // namespace

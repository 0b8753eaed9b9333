// Fuzzes the scanner the readers share, against itself: the same text is read by the same
// sequence of items once with small blocks (16 bytes and up) and once whole, and every item
// must give the same outcome, the same value to the bit, the same line and the same offset.
// The reader harnesses cannot reach the ends of blocks: a small file is read in one block.
//
// Input: one byte for the small block's size, one byte for the number of items n, n bytes
// that choose the items, then the text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/text_scanner.h"
#include "fuzz/support/memory_file.h"

namespace {

[[noreturn]] void broken(const char* what, int step) {
    std::fprintf(stderr, "property broken at item %d: %s\n", step, what);
    std::fflush(stderr);
    std::abort();
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The literals of the two file formats, and a few short ones.
const char* const kTexts[] = {
    "NPOIN=", "NELEM_S_4ND=", "BEI=", "SND(", ")", ",", "\r\n", "Number of materials:NMT=",
    "E=",     "###",          "]:",   ">["};

fuzzsupport::MemoryFile* input = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    input = new fuzzsupport::MemoryFile("text");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t block = 16 + data[0] % 112;
    const std::size_t items = data[1];
    if (size < 2 + items) return 0;
    const std::uint8_t* ops = data + 2;
    input->assign(data + 2 + items, size - 2 - items);

    common::TextScanner small(block), whole;
    if (!small.open(input->path()) || !whole.open(input->path())) std::abort();
    if (small.blockSize() != block && size - 2 - items >= block) broken("block size", -1);
    // The items are tried in rounds until the text is read or a round reads nothing more.
    std::uint64_t roundStart = 0;
    for (int step = 0; items > 0 && step < 4096; ++step) {
        if (step > 0 && static_cast<std::size_t>(step) % items == 0) {
            if (small.offset() == roundStart) break;
            roundStart = small.offset();
        }
        const std::uint8_t op = ops[static_cast<std::size_t>(step) % items];
        bool a = false, b = false;
        switch (op % 9) {
            case 0:
                small.skipSpace();
                whole.skipSpace();
                a = b = true;
                break;
            case 1: {
                const char c = static_cast<char>(op / 9 % 2 ? ',' : '\n');
                a = small.match(c);
                b = whole.match(c);
                break;
            }
            case 2: {
                const char* t = kTexts[op / 9 % std::size(kTexts)];
                a = small.match(t);
                b = whole.match(t);
                break;
            }
            case 3: {
                std::int32_t x = 0, y = 0;
                a = small.readInt(x);
                b = whole.readInt(y);
                if (a && b && x != y) broken("readInt value", step);
                break;
            }
            case 4:
            case 5: {
                double x = 0, y = 0;
                a = small.readDouble(x);
                b = whole.readDouble(y);
                if (a && b && !sameBits(x, y)) broken("readDouble value", step);
                break;
            }
            case 6: {
                double x[3] = {}, y[3] = {};
                a = small.readDoubles(x, 3);
                b = whole.readDoubles(y, 3);
                if (a && b &&
                    !(sameBits(x[0], y[0]) && sameBits(x[1], y[1]) && sameBits(x[2], y[2])))
                    broken("readDoubles values", step);
                break;
            }
            case 7:
                a = small.skipLine();
                b = whole.skipLine();
                break;
            case 8:
                a = small.peek() == whole.peek();
                b = small.atEnd() == whole.atEnd();
                if (!a || !b) broken("peek or atEnd", step);
                break;
        }
        if (a != b) broken("outcome", step);
        if (small.line() != whole.line()) broken("line", step);
        if (small.offset() != whole.offset()) broken("offset", step);
        if (small.where() != whole.where()) broken("where", step);
        if (small.atEnd() && whole.atEnd()) break;
    }
    if (small.readError() || whole.readError()) broken("read error", -1);
    return 0;
}

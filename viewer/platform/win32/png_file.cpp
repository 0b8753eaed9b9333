// PNG files on Windows, where there is no libpng: 8-bit RGB pictures, the image data
// compressed with zlib, every chunk with zlib's CRC. File names are UTF-8, widened for the
// system.
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/utf16.h"
#include "viewer/platform/offscreen_gl.h"

namespace quillon::platform {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t bigEndian(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// A chunk: its length, type, data and the CRC of type and data.
void putChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    putBigEndian(out, static_cast<std::uint32_t>(crc));
}

// The Paeth predictor of PNG's filter type 4.
int paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

}  // namespace

std::vector<std::uint8_t> encodePng(int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::size_t row = static_cast<std::size_t>(width) * 3;
    if (width < 1 || height < 1 || rgb.size() < row * static_cast<std::size_t>(height)) return {};
    // Each row with filter type 0 (none) in front of it. Quick compression: a batch picture is
    // wanted now rather than a few kilobytes smaller.
    std::vector<std::uint8_t> raw;
    raw.reserve((row + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        auto begin = rgb.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(y));
        raw.insert(raw.end(), begin, begin + static_cast<std::ptrdiff_t>(row));
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_SPEED) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::vector<std::uint8_t> header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive, no interlace
    std::vector<std::uint8_t> out(kSignature.begin(), kSignature.end());
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", packed);
    putChunk(out, "IEND", {});
    return out;
}

bool writePng(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgb) {
    const std::vector<std::uint8_t> out = encodePng(width, height, rgb);
    if (out.empty()) return false;
    File file(common::OpenFile(path, "wb"));
    if (!file) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
    return std::fclose(file.release()) == 0 && ok;
}

bool readPng(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb) {
    File file(common::OpenFile(path, "rb"));
    if (!file) return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
    if (bytes.size() < kSignature.size() ||
        !std::equal(kSignature.begin(), kSignature.end(), bytes.begin()))
        return false;
    // 8-bit RGB or RGBA without interlacing: what our pictures and the tests' baselines are.
    std::uint32_t w = 0, h = 0;
    int channels = 0;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = kSignature.size(); at + 12 <= bytes.size();) {
        std::uint32_t length = bigEndian(&bytes[at]);
        if (length > bytes.size() - at - 12) return false;
        const std::uint8_t* type = &bytes[at + 4];
        const std::uint8_t* data = type + 4;
        if (std::memcmp(type, "IHDR", 4) == 0 && length >= 13) {
            w = bigEndian(data);
            h = bigEndian(data + 4);
            if (data[8] != 8 || (data[9] != 2 && data[9] != 6) || data[12] != 0) return false;
            channels = data[9] == 2 ? 3 : 4;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            packed.insert(packed.end(), data, data + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        at += 12 + length;
    }
    if (channels == 0 || w < 1 || h < 1 || w > 65536 || h > 65536) return false;
    std::size_t stride = w * static_cast<std::size_t>(channels);
    std::vector<std::uint8_t> raw((stride + 1) * h);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) !=
            Z_OK ||
        rawSize != raw.size())
        return false;
    // Undo each row's filter against the row above (zeros above the first).
    std::vector<std::uint8_t> above(stride, 0), current(stride);
    rgb.assign(static_cast<std::size_t>(w) * h * 3, 0);
    for (std::uint32_t y = 0; y < h; ++y) {
        const std::uint8_t* in = &raw[y * (stride + 1)];
        int filter = in[0];
        for (std::size_t i = 0; i < stride; ++i) {
            int a = i >= static_cast<std::size_t>(channels) ? current[i - channels] : 0;
            int b = above[i], c = i >= static_cast<std::size_t>(channels) ? above[i - channels] : 0;
            int predicted = filter == 0   ? 0
                            : filter == 1 ? a
                            : filter == 2 ? b
                            : filter == 3 ? (a + b) / 2
                            : filter == 4 ? paeth(a, b, c)
                                          : -1;
            if (predicted < 0) return false;
            current[i] = static_cast<std::uint8_t>(in[1 + i] + predicted);
        }
        for (std::uint32_t x = 0; x < w; ++x)
            std::copy_n(&current[x * static_cast<std::size_t>(channels)], 3,
                        &rgb[(static_cast<std::size_t>(y) * w + x) * 3]);
        std::swap(above, current);
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace quillon::platform

// PNG files as both builds write and read them (libpng on Linux; zlib and our own chunks on
// Windows): every pixel comes back, and what is not a PNG, or cannot be written, says so.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/support/temp_file.h"
#include "viewer/platform/offscreen_gl.h"

namespace {

TEST(PngFile, EveryPixelComesBackAndFailuresAreTold) {
    // An odd width, so that rows are not a multiple of four bytes, and every byte value.
    constexpr int kWidth = 37, kHeight = 23;
    std::vector<std::uint8_t> rgb(kWidth * kHeight * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 7 + i / 3);
    const std::vector<std::uint8_t> bytes = quillon::platform::encodePng(kWidth, kHeight, rgb);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));

    const std::string path = (testsupport::testDir() / "picture.png").string();
    ASSERT_TRUE(quillon::platform::writePng(path, kWidth, kHeight, rgb));
    int width = 0, height = 0;
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(quillon::platform::readPng(path, width, height, back));
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    EXPECT_TRUE(back == rgb);

    EXPECT_FALSE(quillon::platform::readPng(testsupport::writeFile("text.png", "not a picture"),
                                            width, height, back));
    EXPECT_FALSE(quillon::platform::writePng(
        (testsupport::testDir() / "no such folder" / "x.png").string(), kWidth, kHeight, rgb));
    EXPECT_TRUE(quillon::platform::encodePng(kWidth, kHeight, {1, 2, 3}).empty());
}

}  // namespace

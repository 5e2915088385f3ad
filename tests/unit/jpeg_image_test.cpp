// The About banner through libjpeg: the shipped picture decodes to its size
// and colours; damaged data of every kind gives an empty picture and a
// reason, never a crash or an exit.
#include "windows/JpegImage.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace tp {
namespace {

std::vector<uint8_t> readBanner() {
    std::ifstream in(TINTPICK_SOURCE_DIR "/resources/about_banner.jpg", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Rgb {
    int r, g, b;
};

Rgb at(const RgbImage& img, int x, int y) {
    const uint8_t* p = &img.pixels[static_cast<size_t>((y * img.width + x) * 3)];
    return {p[0], p[1], p[2]};
}

void expectNear(Rgb c, Rgb want, int tolerance, const char* where) {
    EXPECT_NEAR(c.r, want.r, tolerance) << where;
    EXPECT_NEAR(c.g, want.g, tolerance) << where;
    EXPECT_NEAR(c.b, want.b, tolerance) << where;
}

TEST(JpegImage, BannerDecodesToItsSizeAndColours) {
    const auto data = readBanner();
    ASSERT_GT(data.size(), 1000u) << "banner not found";
    std::string error;
    const RgbImage img = DecodeJpeg(data.data(), data.size(), &error);
    ASSERT_FALSE(img.empty()) << error;
    EXPECT_EQ(img.width, 360);
    EXPECT_EQ(img.height, 80);
    ASSERT_EQ(img.pixels.size(), 360u * 80u * 3u);
    // Background: a light blue at the top fading to white at the bottom.
    expectNear(at(img, 359, 0), {214, 230, 245}, 6, "top right");
    expectNear(at(img, 359, 79), {255, 255, 255}, 6, "bottom right");
    // The icon at the left: its blue and red quarters.
    const Rgb blue = at(img, 30, 30);
    EXPECT_GT(blue.b, blue.r + 80);
    const Rgb red = at(img, 50, 45);
    EXPECT_GT(red.r, red.b + 80);
    // The name is drawn in dark blue across the top half.
    bool darkText = false;
    for (int x = 80; x < 200 && !darkText; ++x) {
        const Rgb c = at(img, x, 30);
        darkText = c.r < 80 && c.g < 100 && c.b < 140;
    }
    EXPECT_TRUE(darkText) << "no text found in the banner";
}

TEST(JpegImage, TruncatedDataGivesAnEmptyPicture) {
    const auto data = readBanner();
    ASSERT_GT(data.size(), 1000u);
    // Cut inside the header, just after it and in the middle of the scan,
    // and drop only the end-of-image marker.
    for (size_t keep : {size_t(2), size_t(20), size_t(300), data.size() / 2, data.size() - 2}) {
        std::string error;
        const RgbImage img = DecodeJpeg(data.data(), keep, &error);
        EXPECT_TRUE(img.empty()) << "kept " << keep << " bytes";
        EXPECT_TRUE(img.pixels.empty());
        EXPECT_FALSE(error.empty()) << "kept " << keep << " bytes";
    }
}

TEST(JpegImage, GarbageAndEmptyInputAreRefused) {
    std::string error;
    EXPECT_TRUE(DecodeJpeg(nullptr, 0, &error).empty());
    EXPECT_FALSE(error.empty());

    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 0};
    error.clear();
    EXPECT_TRUE(DecodeJpeg(png.data(), png.size(), &error).empty());
    EXPECT_FALSE(error.empty());

    // Scan data overwritten in the middle: libjpeg only warns about it.
    auto data = readBanner();
    ASSERT_GT(data.size(), 1000u);
    for (size_t i = data.size() / 2; i < data.size() / 2 + 200; ++i)
        data[i] = 0xFF;
    error.clear();
    EXPECT_TRUE(DecodeJpeg(data.data(), data.size(), &error).empty());
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace tp

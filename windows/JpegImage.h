#pragma once
// Decoding a JPEG held in memory (the About window's banner) with libjpeg.
// Display-free: the result is plain RGB bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tp {

struct RgbImage {
    int width = 0;
    int height = 0;
    // Rows top to bottom, three bytes (R, G, B) per pixel, no padding.
    std::vector<uint8_t> pixels;

    bool empty() const { return width == 0 || height == 0; }
};

// Decodes a JPEG of one (grey) or three colour components into RGB. Any
// damage libjpeg notices, including data that ends early, gives an empty
// image and the reason in *error (when given); it never ends the program.
RgbImage DecodeJpeg(const uint8_t* data, size_t size, std::string* error = nullptr);

} // namespace tp

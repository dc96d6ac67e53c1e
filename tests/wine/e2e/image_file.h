// Screen captures and the two file formats the harness writes them in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bk::e2e {

// 24-bit pixels, top row first, red-green-blue order.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  std::uint32_t Pixel(int x, int y) const;  // 0xRRGGBB
};

// The screen's pixels in a rectangle of screen coordinates, by BitBlt of the screen DC.
Image CaptureScreen(int left, int top, int width, int height);

// A BMP (24-bit, bottom-up) or, when the name ends in ".png", a PNG (stored deflate blocks: large
// but exact, and readable by every viewer and by ImageMagick).
bool WriteImage(const std::string& path, const Image& image);

}  // namespace bk::e2e

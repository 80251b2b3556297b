#pragma once
// BMP files built in memory for image-loading tests (the decoder reads BMP as
// well as PNG, and BMP needs no encoder).
#include <cstdint>
#include <string>

// A bottom-up BMP of width x height pixels from a function of (x, y) giving
// 0xAARRGGBB: 24 bits per pixel (alpha dropped) or 32 (alpha kept).
template <typename PixelFn>
std::string MakeBmpFile(int width, int height, int bitsPerPixel, PixelFn pixel) {
  const int bytesPerPixel = bitsPerPixel / 8;
  const int stride = (width * bytesPerPixel + 3) & ~3;
  const uint32_t imageSize = static_cast<uint32_t>(stride * height);
  std::string bytes(54 + imageSize, '\0');
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, 54 + imageSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  bytes[26] = 1;
  bytes[28] = static_cast<char>(bitsPerPixel);
  put32(34, imageSize);
  for (int y = 0; y < height; ++y) {
    const size_t row = 54 + static_cast<size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const uint32_t c = pixel(x, y);
      for (int i = 0; i < bytesPerPixel; ++i) bytes[row + x * bytesPerPixel + i] = static_cast<char>(c >> (8 * i));
    }
  }
  return bytes;
}

#pragma once

// Picture files made by tests: an uncompressed 24-bit BMP of any size whose
// pixels come from a function, so skin fixtures need no binary files.
#include <cstdint>
#include <string>

namespace testbitmaps {

// The BMP file bytes of a width x height picture; colour(x, y) gives 0xRRGGBB
// with (0,0) the top-left pixel.
template <typename ColourOf>
std::string MakeBmp(int width, int height, ColourOf colour) {
  const int rowBytes = (width * 3 + 3) & ~3;
  const uint32_t pixelBytes = static_cast<uint32_t>(rowBytes) * static_cast<uint32_t>(height);
  std::string bmp;
  auto put16 = [&bmp](uint32_t v) {
    for (int i = 0; i < 2; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto put32 = [&bmp](uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  bmp += "BM";
  put32(54 + pixelBytes);
  put32(0);
  put32(54);
  put32(40);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));  // bottom-up rows
  put16(1);
  put16(24);
  put32(0);
  put32(pixelBytes);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      const uint32_t rgb = colour(x, y);
      row.push_back(static_cast<char>(rgb & 0xFF));
      row.push_back(static_cast<char>((rgb >> 8) & 0xFF));
      row.push_back(static_cast<char>((rgb >> 16) & 0xFF));
    }
    row.resize(static_cast<size_t>(rowBytes), '\0');
    bmp += row;
  }
  return bmp;
}

}  // namespace testbitmaps

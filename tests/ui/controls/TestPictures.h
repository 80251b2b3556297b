#pragma once

// Picture files made by the control tests, so fixtures need no binary files:
// animated GIFs with chosen frame colours and delays, icon files with chosen
// entry sizes, and 32-bit BMPs with alpha.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testpictures {

// The bytes of a GIF of `size` x `size` pixels with one frame per entry of
// `frames`: each frame is filled with palette index 0 (red) or 1 (blue) and
// carries its delay in hundredths of a second.
struct GifFrame {
  int colourIndex;
  int delay;
};

inline std::string MakeGif(int size, const std::vector<GifFrame>& frames) {
  std::string gif = "GIF89a";
  auto put16 = [&gif](int v) {
    gif.push_back(static_cast<char>(v & 0xFF));
    gif.push_back(static_cast<char>((v >> 8) & 0xFF));
  };
  put16(size);
  put16(size);
  gif += '\xF1';  // global colour table of 4 entries
  gif += '\0';
  gif += '\0';
  const unsigned char palette[12] = {0xE5, 0x48, 0x4D, 0x1E, 0x5A, 0xA8, 0x2B, 0xAE, 0x66, 0, 0, 0};
  gif.append(reinterpret_cast<const char*>(palette), sizeof(palette));
  for (const GifFrame& frame : frames) {
    gif += "\x21\xF9\x04";  // graphic control extension
    gif += '\0';
    put16(frame.delay);
    gif += '\0';
    gif += '\0';
    gif += '\x2C';  // image descriptor: whole picture, no local table
    put16(0);
    put16(0);
    put16(size);
    put16(size);
    gif += '\0';
    // Image data with a minimum code size of 2 (3-bit codes: clear 4, end 5).
    // A clear code before every pixel keeps the table empty and the codes 3
    // bits wide, so no compression is needed.
    gif += '\x02';
    std::string data;
    unsigned bits = 0;
    int bitCount = 0;
    auto code = [&](unsigned c) {
      bits |= c << bitCount;
      bitCount += 3;
      while (bitCount >= 8) {
        data.push_back(static_cast<char>(bits & 0xFF));
        bits >>= 8;
        bitCount -= 8;
      }
    };
    for (int i = 0; i < size * size; ++i) {
      code(4);
      code(static_cast<unsigned>(frame.colourIndex));
    }
    code(5);
    if (bitCount > 0) data.push_back(static_cast<char>(bits & 0xFF));
    for (size_t at = 0; at < data.size(); at += 255) {
      const size_t length = std::min<size_t>(255, data.size() - at);
      gif.push_back(static_cast<char>(length));
      gif.append(data, at, length);
    }
    gif += '\0';
  }
  gif += '\x3B';
  return gif;
}

// The bytes of an .ico file with one opaque square entry per (side, colour).
inline std::string MakeIco(const std::vector<std::pair<int, uint32_t>>& entries) {
  std::string ico;
  auto put = [](std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  std::vector<std::string> images;
  for (const auto& [side, colour] : entries) {
    std::string image;
    put(image, 40, 4);
    put(image, static_cast<uint32_t>(side), 4);
    put(image, static_cast<uint32_t>(side * 2), 4);  // colour rows and mask rows
    put(image, 1, 2);
    put(image, 32, 2);
    for (int i = 0; i < 6; ++i) put(image, 0, 4);
    for (int i = 0; i < side * side; ++i) put(image, 0xFF000000u | colour, 4);
    const int maskRow = ((side + 31) / 32) * 4;
    image.append(static_cast<size_t>(maskRow * side), '\0');  // all opaque
    images.push_back(image);
  }
  put(ico, 0, 2);
  put(ico, 1, 2);
  put(ico, static_cast<uint32_t>(entries.size()), 2);
  uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const int side = entries[i].first;
    ico.push_back(static_cast<char>(side >= 256 ? 0 : side));
    ico.push_back(static_cast<char>(side >= 256 ? 0 : side));
    put(ico, 0, 2);
    put(ico, 1, 2);
    put(ico, 32, 2);
    put(ico, static_cast<uint32_t>(images[i].size()), 4);
    put(ico, offset, 4);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const std::string& image : images) ico += image;
  return ico;
}

// A 32-bit BMP with straight (not premultiplied) alpha; argb(x, y) gives 0xAARRGGBB.
template <typename ArgbOf>
std::string MakeBmp32(int width, int height, ArgbOf argb) {
  std::string bmp;
  auto put = [&bmp](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  const uint32_t pixelBytes = static_cast<uint32_t>(width * height * 4);
  bmp += "BM";
  put(14 + 40 + pixelBytes, 4);
  put(0, 4);
  put(14 + 40, 4);
  put(40, 4);
  put(static_cast<uint32_t>(width), 4);
  put(static_cast<uint32_t>(height), 4);  // bottom-up rows
  put(1, 2);
  put(32, 2);
  put(0, 4);  // BI_RGB
  put(pixelBytes, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) put(argb(x, y), 4);
  }
  return bmp;
}

}  // namespace testpictures

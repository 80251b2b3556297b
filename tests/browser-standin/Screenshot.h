#pragma once
// Saves what the screen shows of a window as a PNG file in the folder named by
// QUILLORA_SCREENSHOT_DIR (tools/test.sh sets it). Copies from the screen, so
// child windows (an embedded control's) appear as a person sees them.

#include <windows.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/ScopedHandle.h"

namespace browsertest {
namespace screenshot_detail {

inline void PutBigEndian(std::string* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

inline void PutChunk(std::string* png, const char* type, const std::string& data) {
  PutBigEndian(png, static_cast<uint32_t>(data.size()));
  const std::string typed = std::string(type, 4) + data;
  png->append(typed);
  PutBigEndian(png, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()),
                                                 static_cast<uInt>(typed.size()))));
}

// An 8-bit RGB PNG of top-down BGRA pixels.
inline std::string EncodePng(const std::vector<uint8_t>& bgra, int width, int height) {
  std::string raw;
  raw.reserve(static_cast<size_t>(height) * (1 + static_cast<size_t>(width) * 3));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    const uint8_t* row = &bgra[static_cast<size_t>(y) * width * 4];
    for (int x = 0; x < width; ++x) {
      raw.push_back(static_cast<char>(row[x * 4 + 2]));
      raw.push_back(static_cast<char>(row[x * 4 + 1]));
      raw.push_back(static_cast<char>(row[x * 4 + 0]));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), 6) != Z_OK) {
    return std::string();
  }
  packed.resize(packedSize);
  std::string header;
  PutBigEndian(&header, static_cast<uint32_t>(width));
  PutBigEndian(&header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter set, no interlace
  std::string png("\x89PNG\r\n\x1a\n", 8);
  PutChunk(&png, "IHDR", header);
  PutChunk(&png, "IDAT", packed);
  PutChunk(&png, "IEND", std::string());
  return png;
}

}  // namespace screenshot_detail

// Saves the window's screen area as <name>.png; returns the file's path, or
// an empty text when no folder is configured or the capture failed.
inline std::wstring SaveWindowScreenshot(HWND window, const std::wstring& name) {
  wchar_t folder[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"QUILLORA_SCREENSHOT_DIR", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  RECT area;
  if (!GetWindowRect(window, &area)) return std::wstring();
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return std::wstring();
  WindowDC screen(nullptr);
  OwnedMemoryDC memory(CreateCompatibleDC(screen.Get()));
  OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
  if (!memory || !bitmap) return std::wstring();
  {
    SelectObjectScope selected(memory.Get(), bitmap.Get());
    if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY)) return std::wstring();
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  if (GetDIBits(memory.Get(), bitmap.Get(), 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) !=
      height) {
    return std::wstring();
  }
  const std::string png = screenshot_detail::EncodePng(pixels, width, height);
  if (png.empty()) return std::wstring();
  const std::wstring path = std::wstring(folder) + L"\\" + name + L".png";
  OwnedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file || !WriteFile(file.Get(), png.data(), static_cast<DWORD>(png.size()), &written, nullptr) ||
      written != png.size()) {
    return std::wstring();
  }
  return path;
}

}  // namespace browsertest

// Screenshot helper of the window tests: reads pixels back from windows,
// bitmaps or the screen and writes them as PNG through stb's writer.
#ifdef _WIN32
#include "tests/support/Screenshot.h"

#include <cstdlib>
#include <vector>

#include "core/base/ScopedHandle.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WINDOWS_UTF8
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace testshots {
namespace {

std::string ToUtf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length > 0 ? length : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

// Reads a bitmap as top-down 32-bit BGRA rows.
bool ReadBitmap(HBITMAP bitmap, std::vector<uint8_t>& pixels, int& width, int& height) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0) return false;
  width = info.bmWidth;
  height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof(header.bmiHeader);
  header.bmiHeader.biWidth = width;
  header.bmiHeader.biHeight = -height;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  pixels.assign(static_cast<size_t>(width) * height * 4, 0);
  WindowDC screen(nullptr);
  return GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &header, DIB_RGB_COLORS) ==
         height;
}

bool AllPixelsBlack(const std::vector<uint8_t>& pixels) {
  for (size_t i = 0; i < pixels.size(); i += 4) {
    if (pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0) return false;
  }
  return true;
}

// Copies `area` of a device context into a new bitmap and reads it as top-down 32-bit BGRA rows.
bool ReadFromDc(HDC source, const RECT& area, std::vector<uint8_t>& pixels, int& width, int& height) {
  width = area.right - area.left;
  height = area.bottom - area.top;
  if (source == nullptr || width <= 0 || height <= 0) return false;
  OwnedMemoryDC memory(CreateCompatibleDC(source));
  OwnedBitmap bitmap(CreateCompatibleBitmap(source, width, height));
  if (!memory || !bitmap) return false;
  {
    SelectObjectScope select(memory.Get(), bitmap.Get());
    if (!BitBlt(memory.Get(), 0, 0, width, height, source, area.left, area.top, SRCCOPY | CAPTUREBLT)) return false;
  }
  return ReadBitmap(bitmap.Get(), pixels, width, height);
}

// The client area of a window as top-down 32-bit BGRA rows: printed by the
// window itself (the window manager paints its tree for WM_PRINTCLIENT,
// layered or not), else read from what is shown. A layered window's picture
// lives in the composed screen, not in its DC.
bool ReadWindow(HWND window, std::vector<uint8_t>& pixels, int& width, int& height) {
  RECT client{};
  if (!IsWindow(window) || !GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return false;
  WindowDC windowDc(window);
  OwnedMemoryDC memory(CreateCompatibleDC(windowDc.Get()));
  OwnedBitmap bitmap(CreateCompatibleBitmap(windowDc.Get(), client.right, client.bottom));
  if (memory && bitmap) {
    bool printed = false;
    {
      SelectObjectScope select(memory.Get(), bitmap.Get());
      printed = PrintWindow(window, memory.Get(), PW_CLIENTONLY) != FALSE;
    }
    if (printed && ReadBitmap(bitmap.Get(), pixels, width, height) && !AllPixelsBlack(pixels)) return true;
  }
  if ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0) {
    return ReadFromDc(windowDc.Get(), client, pixels, width, height);
  }
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const RECT area{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
  WindowDC screen(nullptr);
  return ReadFromDc(screen.Get(), area, pixels, width, height);
}

}  // namespace

std::wstring ScreenshotFolder() {
  std::wstring folder;
  const DWORD needed = GetEnvironmentVariableW(L"QUILLORA_SCREENSHOT_DIR", nullptr, 0);
  if (needed > 1) {
    folder.resize(needed);
    folder.resize(GetEnvironmentVariableW(L"QUILLORA_SCREENSHOT_DIR", folder.data(), needed));
  }
  if (folder.empty()) {
    CreateDirectoryW(L"build", nullptr);
    folder = L"build\\screenshots";
  }
  if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  CreateDirectoryW(folder.c_str(), nullptr);  // an existing folder is fine
  return folder;
}

std::wstring ScreenshotPath(const std::wstring& fileName) { return ScreenshotFolder() + fileName; }

bool SavePixelsPng(const std::wstring& fileName, const uint8_t* bgra, int width, int height, int stride,
                   bool premultiplied, bool opaque) {
  if (bgra == nullptr || width <= 0 || height <= 0 || stride < width * 4) return false;
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = bgra + static_cast<size_t>(y) * stride;
    uint8_t* out = rgba.data() + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, in += 4, out += 4) {
      const uint8_t alpha = opaque ? 255 : in[3];
      uint8_t b = in[0], g = in[1], r = in[2];
      if (premultiplied && !opaque && alpha != 0 && alpha != 255) {
        b = static_cast<uint8_t>(b * 255 / alpha > 255 ? 255 : b * 255 / alpha);
        g = static_cast<uint8_t>(g * 255 / alpha > 255 ? 255 : g * 255 / alpha);
        r = static_cast<uint8_t>(r * 255 / alpha > 255 ? 255 : r * 255 / alpha);
      }
      out[0] = r;
      out[1] = g;
      out[2] = b;
      out[3] = alpha;
    }
  }
  const std::string path = ToUtf8(ScreenshotPath(fileName));
  return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

bool SaveBitmapPng(const std::wstring& fileName, HBITMAP bitmap, bool premultipliedAlpha) {
  std::vector<uint8_t> pixels;
  int width = 0, height = 0;
  if (!ReadBitmap(bitmap, pixels, width, height)) return false;
  return SavePixelsPng(fileName, pixels.data(), width, height, width * 4, premultipliedAlpha, !premultipliedAlpha);
}

uint32_t Picture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFFu;
  return pixels[static_cast<size_t>(y) * width + x];
}

namespace {

// Saves BGRA rows opaque and hands them to the test as `saved` when asked.
bool SaveAndKeep(const std::wstring& fileName, const std::vector<uint8_t>& pixels, int width, int height,
                 Picture* saved) {
  if (saved != nullptr) {
    saved->width = width;
    saved->height = height;
    saved->pixels.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < saved->pixels.size(); ++i) {
      saved->pixels[i] = static_cast<uint32_t>(pixels[i * 4]) | static_cast<uint32_t>(pixels[i * 4 + 1]) << 8 |
                         static_cast<uint32_t>(pixels[i * 4 + 2]) << 16;
    }
  }
  return SavePixelsPng(fileName, pixels.data(), width, height, width * 4, false, true);
}

}  // namespace

bool SaveWindowPng(const std::wstring& fileName, HWND window, Picture* saved) {
  std::vector<uint8_t> pixels;
  int width = 0, height = 0;
  return ReadWindow(window, pixels, width, height) && SaveAndKeep(fileName, pixels, width, height, saved);
}

bool SaveScreenAreaPng(const std::wstring& fileName, const RECT& screenArea, Picture* saved) {
  std::vector<uint8_t> pixels;
  int width = 0, height = 0;
  WindowDC screen(nullptr);
  return ReadFromDc(screen.Get(), screenArea, pixels, width, height) &&
         SaveAndKeep(fileName, pixels, width, height, saved);
}

}  // namespace testshots
#endif

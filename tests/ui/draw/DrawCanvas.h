#pragma once
// A 32-bit top-down DIB section selected into a memory DC, for drawing tests
// that read pixels back, plus a few test images built pixel by pixel.
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/base/ScopedHandle.h"
#include "tests/support/Screenshot.h"
#include "ui/draw/UIImageInfo.h"

class DrawCanvas {
 public:
  DrawCanvas(int width, int height, uint32_t fill = 0xFF000000) : m_width(width), m_height(height) {
    m_dc.Reset(::CreateCompatibleDC(nullptr));
    m_bitmap.Reset(MakeDib(width, height, &m_bits));
    m_select = ::SelectObject(m_dc.Get(), m_bitmap.Get());
    Fill(fill);
  }
  ~DrawCanvas() { ::SelectObject(m_dc.Get(), m_select); }
  DrawCanvas(const DrawCanvas&) = delete;
  DrawCanvas& operator=(const DrawCanvas&) = delete;

  HDC dc() const { return m_dc.Get(); }
  int width() const { return m_width; }
  int height() const { return m_height; }
  // The pixel word 0xAARRGGBB at (x, y).
  uint32_t At(int x, int y) const {
    ::GdiFlush();
    return m_bits[static_cast<size_t>(y) * m_width + x];
  }
  // Red, green, blue and alpha bytes of a pixel.
  static int R(uint32_t p) { return static_cast<int>((p >> 16) & 0xFF); }
  static int G(uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
  static int B(uint32_t p) { return static_cast<int>(p & 0xFF); }
  static int A(uint32_t p) { return static_cast<int>(p >> 24); }
  void Fill(uint32_t value) {
    ::GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = value;
  }
  // Saves the canvas in the screenshot folder (opaque).
  bool Save(const std::wstring& name) const {
    ::GdiFlush();
    return testshots::SavePixelsPng(name, reinterpret_cast<const uint8_t*>(m_bits), m_width, m_height, m_width * 4,
                                    false, true);
  }

  // A top-down 32-bit DIB section.
  static HBITMAP MakeDib(int width, int height, uint32_t** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    *bits = static_cast<uint32_t*>(pixels);
    return bitmap;
  }

 private:
  int m_width;
  int m_height;
  OwnedMemoryDC m_dc;
  OwnedBitmap m_bitmap;
  uint32_t* m_bits = nullptr;
  HGDIOBJ m_select = nullptr;
};

// An image record whose pixels come from a function of (x, y) (premultiplied
// words 0xAARRGGBB); alpha is the record's alpha flag.
template <typename PixelFn>
Trellis::UIImageInfo* MakeTestImage(int width, int height, bool alpha, PixelFn pixel) {
  auto* image = new Trellis::UIImageInfo;
  uint32_t* bits = nullptr;
  image->hBitmap.Reset(DrawCanvas::MakeDib(width, height, &bits));
  image->pBits = reinterpret_cast<BYTE*>(bits);
  image->nX = width;
  image->nY = height;
  image->bAlpha = alpha ? 1 : 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) bits[y * width + x] = pixel(x, y);
  }
  return image;
}

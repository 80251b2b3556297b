#pragma once

// Saves pictures of what a test shows as PNG files in the screenshot folder:
// the folder named by QUILLORA_SCREENSHOT_DIR (a Windows path that
// tools/test.sh exports), else build\screenshots under the current folder.
// Windows tests only; every function returns false (and writes nothing) when
// the picture cannot be read or the file cannot be written.
#ifdef _WIN32
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testshots {

// The screenshot folder with a trailing backslash, created when missing.
std::wstring ScreenshotFolder();

// The full path a picture of this file name (say L"ui-sample-tree.png") is saved under.
std::wstring ScreenshotPath(const std::wstring& fileName);

// Saves 32-bit BGRA pixels, top row first, `stride` bytes apart. Premultiplied
// pixels (as layered windows and the drawing engine keep them) are divided by
// their alpha first; `opaque` writes every pixel with full alpha instead.
bool SavePixelsPng(const std::wstring& fileName, const uint8_t* bgra, int width, int height, int stride,
                   bool premultiplied, bool opaque);

// Saves any bitmap (a DIB section or a device bitmap) read back as 32-bit
// pixels. Its alpha is kept only when `premultipliedAlpha` is set; otherwise
// the picture is saved opaque (GDI leaves the alpha of what it draws at 0).
bool SaveBitmapPng(const std::wstring& fileName, HBITMAP bitmap, bool premultipliedAlpha = false);

// Saves the client area of a window, layered windows included: the window
// prints itself into a memory bitmap (WM_PRINTCLIENT, which the window
// manager answers with its tree); when that gives nothing, what is shown is
// read back (from the window's DC, or from the screen for a layered window).
// `saved`, when given, receives the picture as it was saved, so the test
// checks the pixels it shows.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
  // The pixel at (x, y); 0xFFFFFFFF outside the picture (no colour of it).
  uint32_t At(int x, int y) const;
};
bool SaveWindowPng(const std::wstring& fileName, HWND window, Picture* saved = nullptr);

// Saves a rectangle of the screen in screen coordinates (a window together
// with its drop shadow, say); `saved` as for SaveWindowPng.
bool SaveScreenAreaPng(const std::wstring& fileName, const RECT& screenArea, Picture* saved = nullptr);

}  // namespace testshots
#endif

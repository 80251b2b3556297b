// Image loading: bytes from a colour name, a resource, the skin folder or
// archive, or a path of its own, decoded into a premultiplied top-down DIB.
#include <cstring>
#include <cwchar>
#include <mutex>
#include <new>
#include <set>
#include <string>

#include "core/base/BenchMemory.h"
#include "core/base/BenchReport.h"
#include "core/base/DebugTrace.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/portable/ColorMath.h"
#include "ui/draw/portable/ImageDescription.h"
#include "ui/skin/SkinFile.h"
#include "ui/window/WindowManager.h"

#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_IMPLEMENTATION
#ifdef __GNUC__
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb/stb_image.h>
#ifdef __GNUC__
#pragma GCC diagnostic pop
#endif

namespace Trellis {

namespace {

// Images beyond this are refused before reading (a skin never holds one).
constexpr size_t kMaxImageBytes = 64u * 1024u * 1024u;
// Decoded images beyond this many pixels are refused (a DIB of 256 MiB).
constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;

bool TypeIs(const UIChar* type, const wchar_t* name) { return type != nullptr && std::wcscmp(type, name) == 0; }

// A resource of the program as bytes; false when missing or empty.
bool ReadResource(UIResourceRef name, const UIChar* type, UIByteBuffer& bytes) {
  HINSTANCE module = CWindowManagerUI::GetResourceInstance();
  HRSRC resource = ::FindResourceW(module, name.AsResourceName(), type);
  if (resource == nullptr) return false;
  const DWORD size = ::SizeofResource(module, resource);
  HGLOBAL global = ::LoadResource(module, resource);
  if (global == nullptr || size == 0) return false;
  const void* data = ::LockResource(global);
  if (data == nullptr || !bytes.Allocate(size)) return false;
  std::memcpy(bytes.data(), data, size);
  return true;
}

// A new record for decoded RGBA pixels, premultiplied, with the mask cut out.
UIImageInfo* MakeImage(const unsigned char* rgba, int width, int height, DWORD mask) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
  void* pixels = nullptr;
  OwnedBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap || pixels == nullptr) {
    DebugTrace(L"CDrawEngine::LoadImage: CreateDIBSection failed");
    return nullptr;
  }
  auto* image = new UIImageInfo;
  image->pBits = static_cast<BYTE*>(pixels);
  image->bAlpha = ColorPremultiplyRgba(rgba, image->pBits, static_cast<size_t>(width) * height, mask) ? 1 : 0;
  image->hBitmap = std::move(bitmap);
  image->nX = width;
  image->nY = height;
  return image;
}

// For a benchmark: the decoded pixels' bytes, and the decodes of a file that
// was decoded before in this process (one copy per window manager, or a
// control that loads its own).
void CountDecode(UIResourceRef name, const UIChar* type, int width, int height) {
  if (!BenchReportEnabled()) return;
  static std::mutex lock;
  static std::set<std::wstring> decoded;
  std::wstring key = name.IsNumber() ? L"#" + std::to_wstring(name.GetNumber()) : std::wstring(name.GetName());
  if (type != nullptr) key += L"|" + std::wstring(type);
  const long long bytes = static_cast<long long>(width) * height * 4;
  bool again = false;
  {
    std::lock_guard<std::mutex> hold(lock);
    again = !decoded.insert(key).second;
  }
  BenchAddCount("images.decoded", 1);
  BenchAddCount("images.decoded_bytes", bytes);
  if (again) {
    BenchAddCount("images.decoded_again", 1);
    BenchAddCount("images.decoded_again_bytes", bytes);
  }
}

}  // namespace

UIImageInfo* CDrawEngine::LoadImage(UIResourceRef name, const UIChar* type, DWORD mask) {
  if (TypeIs(type, L"*COLOR*")) {
    // The colour is the name's hexadecimal text; a number has lost it (the
    // window manager never turns a colour's name into one).
    if (name.IsNumber()) return nullptr;
    const uint32_t argb = ParseHexColor(name.GetName());
    const unsigned char rgba[4] = {static_cast<unsigned char>(argb >> 16), static_cast<unsigned char>(argb >> 8),
                                   static_cast<unsigned char>(argb), static_cast<unsigned char>(argb >> 24)};
    return MakeImage(rgba, 1, 1, mask);
  }

  const UIChar* traceName = name.IsNumber() ? L"(resource number)" : name.GetName();
  UIByteBuffer bytes;
  bool read = false;
  if (type != nullptr && type[0] != 0) {
    read = ReadResource(name, type, bytes);
  } else if (!name.IsNumber() && name.GetName()[0] != 0) {
    read = ReadSkinFile(name.GetName(), kMaxImageBytes, bytes) == nullptr;
  }
  // Last, the name as a path of its own; a resource number is never a path.
  if (!read && !name.IsNumber() && name.GetName()[0] != 0) {
    read = ReadWholeFile(name.GetName(), kMaxImageBytes, bytes) == nullptr;
  }
  if (!read || bytes.size() == 0) {
    DebugTrace(L"CDrawEngine::LoadImage: cannot read: %.300ls", traceName);
    return nullptr;
  }
  if (bytes.size() > 0x7FFFFFFF) return nullptr;

  const auto* encoded = reinterpret_cast<const stbi_uc*>(bytes.data());
  int width = 0, height = 0, channels = 0;
  // Check the size first so a hostile header cannot make the decoder ask for
  // a huge buffer.
  if (!stbi_info_from_memory(encoded, static_cast<int>(bytes.size()), &width, &height, &channels) ||
      width < 1 || height < 1 || static_cast<long long>(width) * height > kMaxImagePixels) {
    DebugTrace(L"CDrawEngine::LoadImage: not a readable image: %.300ls", traceName);
    return nullptr;
  }
  unsigned char* rgba = stbi_load_from_memory(encoded, static_cast<int>(bytes.size()), &width, &height,
                                              &channels, 4);
  if (rgba == nullptr) {
    DebugTrace(L"CDrawEngine::LoadImage: decoding failed: %.300ls", traceName);
    return nullptr;
  }
  UIImageInfo* image = MakeImage(rgba, width, height, mask);
  stbi_image_free(rgba);
  if (image != nullptr) CountDecode(name, type, width, height);
  return image;
}

void CDrawEngine::FreeImage(UIImageInfo* image, bool deleteRecord) {
  if (image == nullptr) return;
  image->hBitmap.Reset();
  image->pBits = nullptr;
  image->pSrcBits.reset();
  if (deleteRecord) delete image;
}

bool UIImageInfo::SaveSourceBits() {
  if (pBits == nullptr || nX < 1 || nY < 1) return false;
  const size_t bytes = static_cast<size_t>(nX) * static_cast<size_t>(nY) * 4;
  pSrcBits.reset(new (std::nothrow) BYTE[bytes]);
  if (!pSrcBits) return false;
  std::memcpy(pSrcBits.get(), pBits, bytes);
  return true;
}

}  // namespace Trellis

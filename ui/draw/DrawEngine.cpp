// CDrawEngine: colour conversion and the HSL setting, bitmaps, fills,
// gradients, lines and image drawing.
//
// Sections: --- Platform entry points --- --- Colours and HSL ---
// --- Bitmaps --- --- Fills and gradients --- --- Lines and frames ---
// --- Images ---
#include "ui/draw/DrawEngine.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "core/base/DebugTrace.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/draw/portable/ColorMath.h"

namespace Trellis {

// --- Platform entry points ---

namespace {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// "AlphaBlend" and "GradientFill" of msimg32, looked up once. The library
// stays loaded for the life of the process.
struct Msimg32Entries {
  AlphaBlendFn alphaBlend = nullptr;
  GradientFillFn gradientFill = nullptr;
};

const Msimg32Entries& Msimg32() {
  static Msimg32Entries entries;
  static std::once_flag once;
  std::call_once(once, [] {
    HMODULE module = ::GetModuleHandleW(L"msimg32.dll");
    if (module == nullptr) module = ::LoadLibraryW(L"msimg32.dll");  // kept for the process
    if (module == nullptr) return;
    entries.alphaBlend = reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(::GetProcAddress(module, "AlphaBlend")));
    entries.gradientFill =
        reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(::GetProcAddress(module, "GradientFill")));
  });
  return entries;
}

BOOL BlendPiece(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend) {
  AlphaBlendFn alphaBlend = Msimg32().alphaBlend;
  if (alphaBlend != nullptr) return alphaBlend(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, blend);
  return CDrawEngine::AlphaBlendFallback(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, blend) ? TRUE : FALSE;
}

COLORREF ToColorRef(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

bool Meets(const CUIRect& a, const CUIRect& b) {
  RECT out;
  return ::IntersectRect(&out, AsRECT(&a), AsRECT(&b)) != FALSE;
}

struct HslSetting {
  bool enabled = false;
  short hue = 180;
  short saturation = 100;
  short luminance = 100;
};
HslSetting& Hsl() {
  static HslSetting setting;
  return setting;
}

}  // namespace

// --- Colours and HSL ---

void CDrawEngine::RgbToHsl(DWORD argb, float* hue, float* saturation, float* luminance) {
  ColorRgbToHsl(argb, hue, saturation, luminance);
}

void CDrawEngine::HslToRgb(DWORD* argb, float hue, float saturation, float luminance) {
  *argb = ColorHslToRgb(*argb, hue, saturation, luminance);
}

DWORD CDrawEngine::AdjustColor(DWORD argb, short hue, short saturation, short luminance) {
  return ColorAdjust(argb, hue, saturation, luminance);
}

void CDrawEngine::AdjustImage(bool enable, UIImageInfo* image, short hue, short saturation, short luminance) {
  if (image == nullptr || !image->hBitmap || !image->bUseHSL || image->pBits == nullptr || !image->pSrcBits) return;
  const size_t count = static_cast<size_t>(image->nX) * static_cast<size_t>(image->nY);
  if (!enable || ColorAdjustIsNeutral(hue, saturation, luminance)) {
    std::memcpy(image->pBits, image->pSrcBits.get(), count * 4);
    return;
  }
  ColorAdjustPixels(image->pSrcBits.get(), image->pBits, count, hue, saturation, luminance);
}

void CDrawEngine::SetHsl(bool enable, short hue, short saturation, short luminance) {
  Hsl() = HslSetting{enable, hue, saturation, luminance};
}

bool CDrawEngine::IsHslEnabled() { return Hsl().enabled; }

void CDrawEngine::GetHsl(short* hue, short* saturation, short* luminance) {
  if (hue != nullptr) *hue = Hsl().hue;
  if (saturation != nullptr) *saturation = Hsl().saturation;
  if (luminance != nullptr) *luminance = Hsl().luminance;
}

DWORD CDrawEngine::MixColors(DWORD a, double wa, DWORD b, double wb) { return ColorMix(a, wa, b, wb); }

// --- Bitmaps ---

OwnedBitmap CDrawEngine::CreateARGB32Bitmap(HDC dc, int cx, int cy, BYTE** bits) {
  if (bits != nullptr) *bits = nullptr;
  if (cx < 1 || cy < 1) return OwnedBitmap();
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = cx;
  info.bmiHeader.biHeight = cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(cx) * static_cast<DWORD>(cy) * 4;
  void* pixels = nullptr;
  OwnedBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap || pixels == nullptr) {
    DebugTrace(L"CDrawEngine::CreateARGB32Bitmap: CreateDIBSection failed");
    return OwnedBitmap();
  }
  if (bits != nullptr) *bits = static_cast<BYTE*>(pixels);
  return bitmap;
}

// --- Fills and gradients ---

void CDrawEngine::FillColor(HDC dc, const CUIRect& rc, DWORD color) {
  if (dc == nullptr || color <= 0x00FFFFFF) return;
  if (color >= 0xFF000000) {
    const COLORREF old = ::SetBkColor(dc, ToColorRef(color));
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, AsRECT(&rc), nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
    return;
  }
  // One premultiplied pixel stretched over the rectangle: AlphaBlend with
  // per-pixel alpha expects colour channels already scaled by alpha.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 1;
  info.bmiHeader.biHeight = 1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  OwnedBitmap bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (!bitmap || pixels == nullptr) return;
  *static_cast<DWORD*>(pixels) = ColorPremultiplyArgb(color);
  DrawImage(dc, bitmap.Get(), rc, rc, CUIRect(0, 0, 1, 1), CUIRect(), true, 255);
}

namespace {

// Fills rc of dc with the gradient (no alpha): GradientFill, or bands.
void PaintGradient(HDC dc, const CUIRect& rc, DWORD color1, DWORD color2, bool vertical, int steps) {
  GradientFillFn gradientFill = Msimg32().gradientFill;
  if (gradientFill != nullptr) {
    TRIVERTEX vertices[2] = {};
    const DWORD colors[2] = {color1, color2};
    const LONG xs[2] = {rc.left, rc.right};
    const LONG ys[2] = {rc.top, rc.bottom};
    for (int i = 0; i < 2; ++i) {
      vertices[i].x = xs[i];
      vertices[i].y = ys[i];
      vertices[i].Red = static_cast<COLOR16>(((colors[i] >> 16) & 0xFF) << 8);
      vertices[i].Green = static_cast<COLOR16>(((colors[i] >> 8) & 0xFF) << 8);
      vertices[i].Blue = static_cast<COLOR16>((colors[i] & 0xFF) << 8);
      vertices[i].Alpha = 0xFF00;
    }
    GRADIENT_RECT gradient = {0, 1};
    gradientFill(dc, vertices, 2, &gradient, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    return;
  }
  int bands = 2, shift = 1;
  if (steps >= 64) {
    bands = 64, shift = 6;
  } else if (steps >= 32) {
    bands = 32, shift = 5;
  } else if (steps >= 16) {
    bands = 16, shift = 4;
  } else if (steps >= 8) {
    bands = 8, shift = 3;
  } else if (steps > 3) {
    bands = 4, shift = 2;
  }
  const long long extent = vertical ? rc.GetHeight() : rc.GetWidth();
  for (int i = 0; i < bands; ++i) {
    DWORD color = 0;
    for (int channel = 0; channel <= 16; channel += 8) {
      const DWORD c1 = (color1 >> channel) & 0xFF;
      const DWORD c2 = (color2 >> channel) & 0xFF;
      color |= (((c1 * i + c2 * (bands - i)) >> shift) & 0xFF) << channel;
    }
    const long from = static_cast<long>((extent * i) >> shift);
    const long to = static_cast<long>((extent * (i + 1)) >> shift);
    if (to - from < 1) continue;
    // Measured from the bottom (vertical) or the right edge.
    CUIRect band = vertical ? CUIRect(rc.left, rc.bottom - to, rc.right, rc.bottom - from)
                            : CUIRect(rc.right - to, rc.top, rc.right - from, rc.bottom);
    OwnedBrush brush(::CreateSolidBrush(ToColorRef(color)));
    if (brush) ::FillRect(dc, AsRECT(&band), brush.Get());
  }
}

}  // namespace

void CDrawEngine::DrawGradient(HDC dc, const CUIRect& rc, DWORD color1, DWORD color2, bool vertical, int steps) {
  if (dc == nullptr) return;
  const DWORD alpha = ((color1 >> 24) + (color2 >> 24)) >> 1;
  if (alpha == 0) return;
  if (alpha >= 255) {
    PaintGradient(dc, rc, color1, color2, vertical, steps);
    return;
  }
  const int cx = rc.GetWidth();
  const int cy = rc.GetHeight();
  if (cx < 1 || cy < 1) return;
  OwnedMemoryDC memory(::CreateCompatibleDC(dc));
  OwnedBitmap bitmap(::CreateCompatibleBitmap(dc, cx, cy));
  if (!memory || !bitmap) return;
  {
    SelectObjectScope select(memory.Get(), bitmap.Get());
    PaintGradient(memory.Get(), CUIRect(0, 0, cx, cy), color1, color2, vertical, steps);
    // The bitmap's own alpha bytes mean nothing: blend by the constant alpha only.
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
    BlendPiece(dc, rc.left, rc.top, cx, cy, memory.Get(), 0, 0, cx, cy, blend);
  }
}

// --- Lines and frames ---

namespace {

// A pen of the colour's red, green and blue, selected for the scope. Alpha
// plays no part in lines and frames: colour 0 is a black pen (the carets
// drawn on layered windows are), unlike fills where alpha 0 is no colour.
class PenScope {
 public:
  PenScope(HDC dc, int size, DWORD color, int style) {
    if (dc == nullptr) return;
    LOGPEN logPen = {static_cast<UINT>(style), {size, 0}, ToColorRef(color)};
    m_pen.Reset(::CreatePenIndirect(&logPen));
    if (m_pen) m_select.emplace(dc, m_pen.Get());
  }
  bool ok() const { return m_select.has_value(); }

 private:
  OwnedPen m_pen;
  std::optional<SelectObjectScope> m_select;
};

}  // namespace

void CDrawEngine::DrawLine(HDC dc, const CUIRect& rc, int size, DWORD color, int style) {
  PenScope pen(dc, size, color, style);
  if (!pen.ok()) return;
  POINT previous;
  ::MoveToEx(dc, rc.left, rc.top, &previous);
  ::LineTo(dc, rc.right, rc.bottom);
  ::MoveToEx(dc, previous.x, previous.y, nullptr);
}

void CDrawEngine::DrawRect(HDC dc, const CUIRect& rc, int size, DWORD color, int style) {
  PenScope pen(dc, size, color, style | PS_INSIDEFRAME);
  if (!pen.ok()) return;
  SelectObjectScope brush(dc, ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
}

void CDrawEngine::DrawRoundRect(HDC dc, const CUIRect& rc, int size, int width, int height, DWORD color,
                                int style) {
  PenScope pen(dc, size, color, style | PS_INSIDEFRAME);
  if (!pen.ok()) return;
  SelectObjectScope brush(dc, ::GetStockObject(NULL_BRUSH));
  ::RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, width, height);
}

// --- Images ---

namespace {

// Draws one piece of the image: blended or copied, stretched when the sizes
// differ. Pieces with no area are skipped (a negative size would mirror).
class PieceDrawer {
 public:
  PieceDrawer(HDC dst, HDC src, bool blend, BYTE fade) : m_dst(dst), m_src(src), m_blend(blend), m_fade(fade) {}

  void Draw(const CUIRect& dest, const CUIRect& source) const {
    const int dw = dest.GetWidth(), dh = dest.GetHeight();
    const int sw = source.GetWidth(), sh = source.GetHeight();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (m_blend) {
      BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_fade, AC_SRC_ALPHA};
      BlendPiece(m_dst, dest.left, dest.top, dw, dh, m_src, source.left, source.top, sw, sh, blend);
    } else if (dw == sw && dh == sh) {
      ::BitBlt(m_dst, dest.left, dest.top, dw, dh, m_src, source.left, source.top, SRCCOPY);
    } else {
      ::StretchBlt(m_dst, dest.left, dest.top, dw, dh, m_src, source.left, source.top, sw, sh, SRCCOPY);
    }
  }

  // The centre: stretched, or tiles of the source size laid over dest, the
  // last row and column cut (source cut to match). A tile size below 1 would
  // never advance: such a centre is not tiled.
  void DrawCentre(const CUIRect& dest, const CUIRect& source, bool xtiled, bool ytiled) const {
    const int tileW = source.GetWidth();
    const int tileH = source.GetHeight();
    if ((!xtiled && !ytiled) || tileW <= 0 || tileH <= 0) {
      if (!xtiled && !ytiled) Draw(dest, source);
      return;
    }
    const int dw = dest.GetWidth(), dh = dest.GetHeight();
    if (dw <= 0 || dh <= 0) return;
    const int stepW = xtiled ? tileW : dw;
    const int stepH = ytiled ? tileH : dh;
    for (int y = 0; y < dh; y += stepH) {
      const int pieceH = std::min(stepH, dh - y);
      const int sourceH = ytiled ? pieceH : tileH;
      for (int x = 0; x < dw; x += stepW) {
        const int pieceW = std::min(stepW, dw - x);
        const int sourceW = xtiled ? pieceW : tileW;
        Draw(CUIRect(dest.left + x, dest.top + y, dest.left + x + pieceW, dest.top + y + pieceH),
             CUIRect(source.left, source.top, source.left + sourceW, source.top + sourceH));
      }
    }
  }

 private:
  HDC m_dst;
  HDC m_src;
  bool m_blend;
  BYTE m_fade;
};

}  // namespace

void CDrawEngine::DrawImage(HDC dc, HBITMAP bitmap, const CUIRect& rc, const CUIRect& rcPaint,
                            const CUIRect& rcBmpPart, const CUIRect& rcCorners, bool alpha, BYTE fade, bool hole,
                            bool xtiled, bool ytiled) {
  if (dc == nullptr || bitmap == nullptr) return;
  // One memory DC per thread serves every image drawn on it: making a DC for
  // each of the hundreds of pictures of a repaint costs more than the copy.
  static thread_local OwnedMemoryDC cached;
  if (!cached) cached.Reset(::CreateCompatibleDC(nullptr));
  OwnedMemoryDC own;  // used when the cached DC is busy (a nested draw) or missing
  HDC memory = cached.Get();
  static thread_local bool cachedBusy = false;
  if (memory == nullptr || cachedBusy) {
    own.Reset(::CreateCompatibleDC(dc));
    memory = own.Get();
  }
  if (memory == nullptr) return;
  const bool usingCached = memory == cached.Get();
  if (usingCached) cachedBusy = true;
  SelectObjectScope select(memory, bitmap);
  const CUIRect& c = rcCorners;
  const CUIRect& s = rcBmpPart;
  // Averaging (HALFTONE) only matters when a picture shrinks; enlarging looks
  // the same without it and costs half as much.
  const bool shrinks = rc.GetWidth() < s.GetWidth() || rc.GetHeight() < s.GetHeight();
  const int oldMode = ::SetStretchBltMode(dc, shrinks ? HALFTONE : COLORONCOLOR);
  const bool blend = alpha || fade < 255;
  PieceDrawer drawer(dc, memory, blend, fade);

  if (!blend && c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0 && rc.GetWidth() == s.GetWidth() &&
      rc.GetHeight() == s.GetHeight()) {
    // Same size, no corners: copy only what lies in the paint rectangle.
    RECT part;
    if (::IntersectRect(&part, AsRECT(&rc), AsRECT(&rcPaint))) {
      ::BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top, memory,
               s.left + (part.left - rc.left), s.top + (part.top - rc.top), SRCCOPY);
    }
  } else {
    if (!hole) {
      const CUIRect dest(rc.left + c.left, rc.top + c.top, rc.right - c.right, rc.bottom - c.bottom);
      const CUIRect source(s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom);
      if (Meets(dest, rcPaint)) drawer.DrawCentre(dest, source, xtiled, ytiled);
    }
    struct Piece {
      bool present;
      CUIRect dest;
      CUIRect source;
    };
    const Piece pieces[8] = {
        {c.left > 0 && c.top > 0, {rc.left, rc.top, rc.left + c.left, rc.top + c.top},
         {s.left, s.top, s.left + c.left, s.top + c.top}},
        {c.top > 0, {rc.left + c.left, rc.top, rc.right - c.right, rc.top + c.top},
         {s.left + c.left, s.top, s.right - c.right, s.top + c.top}},
        {c.right > 0 && c.top > 0, {rc.right - c.right, rc.top, rc.right, rc.top + c.top},
         {s.right - c.right, s.top, s.right, s.top + c.top}},
        {c.left > 0, {rc.left, rc.top + c.top, rc.left + c.left, rc.bottom - c.bottom},
         {s.left, s.top + c.top, s.left + c.left, s.bottom - c.bottom}},
        {c.right > 0, {rc.right - c.right, rc.top + c.top, rc.right, rc.bottom - c.bottom},
         {s.right - c.right, s.top + c.top, s.right, s.bottom - c.bottom}},
        {c.left > 0 && c.bottom > 0, {rc.left, rc.bottom - c.bottom, rc.left + c.left, rc.bottom},
         {s.left, s.bottom - c.bottom, s.left + c.left, s.bottom}},
        {c.bottom > 0, {rc.left + c.left, rc.bottom - c.bottom, rc.right - c.right, rc.bottom},
         {s.left + c.left, s.bottom - c.bottom, s.right - c.right, s.bottom}},
        {c.right > 0 && c.bottom > 0, {rc.right - c.right, rc.bottom - c.bottom, rc.right, rc.bottom},
         {s.right - c.right, s.bottom - c.bottom, s.right, s.bottom}},
    };
    for (const Piece& piece : pieces) {
      if (piece.present && Meets(piece.dest, rcPaint)) drawer.Draw(piece.dest, piece.source);
    }
  }
  ::SetStretchBltMode(dc, oldMode);
  if (usingCached) cachedBusy = false;
}

bool CDrawEngine::AlphaBlendFallback(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw,
                                     int sh, BLENDFUNCTION blend) {
  if (dw <= 0 || dh <= 0) return false;
  OwnedMemoryDC sourceDc(::CreateCompatibleDC(dst));
  OwnedMemoryDC targetDc(::CreateCompatibleDC(dst));
  if (!sourceDc || !targetDc) return false;
  BYTE* sourceBits = nullptr;
  BYTE* targetBits = nullptr;
  OwnedBitmap sourceBitmap = CreateARGB32Bitmap(dst, dw, dh, &sourceBits);
  OwnedBitmap targetBitmap = CreateARGB32Bitmap(dst, dw, dh, &targetBits);
  if (!sourceBitmap || !targetBitmap) return false;
  SelectObjectScope selectSource(sourceDc.Get(), sourceBitmap.Get());
  SelectObjectScope selectTarget(targetDc.Get(), targetBitmap.Get());
  ::StretchBlt(sourceDc.Get(), 0, 0, dw, dh, src, sx, sy, sw, sh, SRCCOPY);
  ::BitBlt(targetDc.Get(), 0, 0, dw, dh, dst, dx, dy, SRCCOPY);
  ::GdiFlush();
  const DWORD* in = reinterpret_cast<const DWORD*>(sourceBits);
  DWORD* out = reinterpret_cast<DWORD*>(targetBits);
  const size_t count = static_cast<size_t>(dw) * static_cast<size_t>(dh);
  const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  for (size_t i = 0; i < count; ++i) {
    const double sourceAlpha = perPixel ? static_cast<double>(in[i] >> 24) : 255.0;
    double x = blend.SourceConstantAlpha * sourceAlpha / 255.0 / 255.0;
    if (x < 0) x = 0;
    out[i] = MixColors(in[i], x, out[i], 1.0 - x);
  }
  ::BitBlt(dst, dx, dy, dw, dh, targetDc.Get(), 0, 0, SRCCOPY);
  return true;
}

}  // namespace Trellis

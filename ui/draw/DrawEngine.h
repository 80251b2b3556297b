#pragma once
// CDrawEngine: the framework's stateless drawing operations over a device
// context (colour fills, gradients, lines and frames, plain and markup text,
// images with nine-grid corners, tiling, hole and fade), image loading into
// UIImageInfo records, the framework-wide hue/saturation/luminance shift, and
// copying a window's painted content into a bitmap. Every operation is static;
// UI thread only (the HSL setting is plain process state).
//
// Colours are ARGB words 0xAARRGGBB; a platform COLORREF is made from their
// red, green and blue bytes. A fill colour with alpha 0 draws nothing.

#include <windows.h>

#include "core/base/ScopedHandle.h"
#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIResourceRef.h"
#include "ui/base/portable/UIString.h"
#include "ui/draw/UIImageInfo.h"
#include "ui/draw/portable/UIImageDrawInfo.h"

#ifdef LoadImage
#undef LoadImage  // the Win32 macro would rename CDrawEngine::LoadImage
#endif

namespace Trellis {

class CWindowManagerUI;
class CControlUI;
class CImageAttribute;

class CDrawEngine {
 public:
  // --- Colour conversion and the HSL shift ---
  // Hue in degrees, saturation and luminance 0..1 of the colour's RGB bytes.
  static void RgbToHsl(DWORD argb, float* hue, float* saturation, float* luminance);
  // Replaces the RGB bytes of *argb by the HSL colour; keeps alpha.
  static void HslToRgb(DWORD* argb, float hue, float saturation, float luminance);
  // The colour shifted by hue (neutral 180), saturation and luminance (percent,
  // neutral 100); a neutral setting returns the colour unchanged.
  static DWORD AdjustColor(DWORD argb, short hue, short saturation, short luminance);
  // Rewrites an HSL-adjustable image's pixels from its saved copy, shifted
  // (or copied back unchanged when disabled or neutral). Does nothing for an
  // image without a saved copy.
  static void AdjustImage(bool enable, UIImageInfo* image, short hue, short saturation, short luminance);
  // The framework-wide shift that controls' colours and HSL images follow.
  // Stores the setting only; callers repaint.
  static void SetHsl(bool enable, short hue, short saturation, short luminance);
  static bool IsHslEnabled();
  static void GetHsl(short* hue, short* saturation, short* luminance);

  // --- Bitmaps ---
  // A 32-bpp BI_RGB DIB section of positive height (bottom-up); *bits receives
  // its pixels. Empty on failure or for a size below 1.
  static OwnedBitmap CreateARGB32Bitmap(HDC dc, int cx, int cy, BYTE** bits);

  // --- Fills, gradients, lines ---
  // Fills with the colour, blending premultiplied when alpha is below 255;
  // alpha 0 draws nothing.
  static void FillColor(HDC dc, const CUIRect& rc, DWORD color);
  // Gradient from color1 to color2 (top to bottom when vertical) at the mean of
  // the two alphas; a mean of 0 draws nothing. steps only matters for the
  // banded fallback.
  static void DrawGradient(HDC dc, const CUIRect& rc, DWORD color1, DWORD color2, bool vertical, int steps);
  // Line from (left, top) to (right, bottom). Alpha 0 draws nothing.
  static void DrawLine(HDC dc, const CUIRect& rc, int size, DWORD color, int style = PS_SOLID);
  // Frame inside the rectangle (PS_INSIDEFRAME), not filled. Alpha 0 draws nothing.
  static void DrawRect(HDC dc, const CUIRect& rc, int size, DWORD color, int style = PS_SOLID);
  // Rounded frame inside the rectangle, not filled. Alpha 0 draws nothing.
  static void DrawRoundRect(HDC dc, const CUIRect& rc, int size, int width, int height, DWORD color,
                            int style = PS_SOLID);

  // --- Text ---
  // DrawTextW of the text (with %{n} texts of the manager put in) in the
  // manager's font and the colour, transparent background, DT_NOPREFIX added.
  // Nothing without text or manager. With DT_CALCRECT rc receives the size.
  static void DrawPlainText(HDC dc, CWindowManagerUI* manager, CUIRect& rc, const UIChar* text, DWORD color,
                            int font, UINT style);
  // Markup text (tags b, i, u, a, c, f, i-image, n, p, r, s, v, x, y); links
  // and linkTexts hold linkCount entries on entry (the capacity) and receive
  // the links found; linkCount receives their number. With DT_CALCRECT only
  // measures: rc's bottom and right receive the extent.
  static void DrawMarkupText(HDC dc, CWindowManagerUI* manager, CUIRect& rc, const UIChar* text, DWORD color,
                             CUIRect* links, CUIString* linkTexts, int& linkCount, int font, UINT style);

  // --- Images ---
  // Draws the source part of the bitmap into rc, limited to the pieces that
  // meet rcPaint: nine-grid with the corner widths, centre stretched or tiled,
  // hole leaves the centre out, blended when alpha or fade < 255.
  static void DrawImage(HDC dc, HBITMAP bitmap, const CUIRect& rc, const CUIRect& rcPaint, const CUIRect& rcBmpPart,
                        const CUIRect& rcCorners, bool alpha, BYTE fade = 255, bool hole = false,
                        bool xtiled = false, bool ytiled = false);
  // Loads the described image through the manager on first use (a failed load
  // is not retried until the record is cleared) and, with a DC, draws it.
  // True when the image is loaded; true without a manager (nothing done).
  static bool DrawImageString(HDC dc, CWindowManagerUI* manager, const CUIRect& rc, const CUIRect& rcPaint,
                              UIImageDrawInfo& info);
  // Draws a loaded image attribute into rc (its destination relative to rc).
  // False without manager or DC, for an empty description or an image not
  // loaded (see CImageAttribute::EnsureLoaded).
  static bool DrawImageAttribute(HDC dc, CWindowManagerUI* manager, const CUIRect& rc, const CUIRect& rcPaint,
                                 CImageAttribute& image);
  // What AlphaBlend does, in plain memory, for systems whose msimg32 lacks it.
  // False when a DC, DIB or buffer cannot be made.
  static bool AlphaBlendFallback(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh,
                                 BLENDFUNCTION blend);
  // Per RGB channel a * wa + b * wb, truncated; the alpha byte is 0.
  static DWORD MixColors(DWORD a, double wa, DWORD b, double wb);

  // --- Loading ---
  // Reads and decodes an image: "*COLOR*" type = a 1x1 image of the colour
  // named; another type = a resource of the program; no type = the skin
  // folder, the skin archive, then the name as a path of its own (a numeric
  // id is never read as a path). Pixels become premultiplied BGRA; pixels equal
  // to mask become 0. The caller owns the record (FreeImage); null on failure.
  static UIImageInfo* LoadImage(UIResourceRef name, const UIChar* type = nullptr, DWORD mask = 0);
  // Deletes the bitmap and the saved copy; deletes the record when asked.
  static void FreeImage(UIImageInfo* image, bool deleteRecord = true);

  // A new 32-bit DIB (positive height) of rc's size holding the window's
  // painted content (painted afresh up to stop, when given), with color filled
  // over it when its alpha is not 0. The caller owns it; empty on failure.
  static OwnedBitmap RenderToBitmap(CWindowManagerUI* manager, const CUIRect& rc, CControlUI* stop = nullptr,
                                    DWORD color = 0);
};

// A clip selected into a DC for the life of the record: rectangle (or rounded
// rectangle) AND the clip that was in force before. The destructor selects the
// outer clip again.
class CDrawClip {
 public:
  CDrawClip() = default;
  ~CDrawClip();
  CDrawClip(const CDrawClip&) = delete;
  CDrawClip& operator=(const CDrawClip&) = delete;

  // Saves the current clip box as the outer region and selects rc AND it.
  static void CreateRectClip(HDC dc, const CUIRect& rc, CDrawClip& clip);
  // As above with the rounded rectangle (bounds rcItem, corner width and
  // height) also ANDed in.
  static void CreateRoundRectClip(HDC dc, const CUIRect& rc, const CUIRect& rcItem, int width, int height,
                                  CDrawClip& clip);
  // Select the saved outer clip / this clip again (to paint outside a while).
  static void SelectOuterClip(HDC dc, CDrawClip& clip);
  static void SelectInnerClip(HDC dc, CDrawClip& clip);

 private:
  CUIRect m_rcItem;        // the clip rectangle
  HDC m_hDC = nullptr;     // borrowed: the DC the clip is selected into
  OwnedRegion m_hRgn;      // this clip's region
  OwnedRegion m_hOldRgn;   // the clip box in force before
};

}  // namespace Trellis

// CControlUI painting: the paint entry point with its stop control, the
// rounded clip, and the five stages (background colour, background image,
// status image, text, border) that derived controls override one by one.
#include "ui/base/UIGeometryWin.h"
#include "ui/control/ControlUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/ImageAttribute.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

bool CControlUI::Paint(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  if (pStopControl == this) return false;
  if (!IntersectRects(&m_rcPaint, rcPaint, m_rcItem)) return true;
  if (paintListeners.HasDelegates() && !paintListeners.Invoke(this)) return true;
  if (!PaintContent(hDC, rcPaint, pStopControl)) return false;
  if (m_pCover != nullptr) return m_pCover->Paint(hDC, rcPaint, nullptr);
  return true;
}

bool CControlUI::PaintContent(HDC hDC, const CUIRect&, CControlUI*) {
  if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
    // The clip is restored when the record goes out of scope, so siblings
    // painted later are not clipped to these corners.
    CDrawClip roundClip;
    CDrawClip::CreateRoundRectClip(hDC, m_rcPaint, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy, roundClip);
    PaintStages(hDC);
  } else {
    PaintStages(hDC);
  }
  return true;
}

void CControlUI::PaintStages(HDC hDC) {
  PaintBkColor(hDC);
  PaintBkImage(hDC);
  PaintStatusImage(hDC);
  PaintText(hDC);
  PaintBorder(hDC);
}

void CControlUI::PaintBkColor(HDC hDC) {
  // Colours 2 and 3 only shade a background that colour 1 starts.
  if (m_dwBackColor == 0) return;
  const DWORD color1 = ApplyHslToColor(m_dwBackColor);
  if (m_dwBackColor2 == 0) {
    // An opaque colour needs only the part being painted; a translucent one
    // is blended over the whole position (the clip keeps it in the paint area).
    CDrawEngine::FillColor(hDC, m_dwBackColor >= 0xFF000000u ? m_rcPaint : m_rcItem, color1);
    return;
  }
  const DWORD color2 = ApplyHslToColor(m_dwBackColor2);
  if (m_dwBackColor3 != 0) {
    const DWORD color3 = ApplyHslToColor(m_dwBackColor3);
    const UICoord mid = static_cast<UICoord>((static_cast<int64_t>(m_rcItem.top) + m_rcItem.bottom) / 2);
    CDrawEngine::DrawGradient(hDC, CUIRect(m_rcItem.left, m_rcItem.top, m_rcItem.right, mid), color1, color2, true, 8);
    CDrawEngine::DrawGradient(hDC, CUIRect(m_rcItem.left, mid, m_rcItem.right, m_rcItem.bottom), color2, color3, true,
                              8);
    return;
  }
  CDrawEngine::DrawGradient(hDC, m_rcItem, color1, color2, true, 16);
}

void CControlUI::PaintBkImage(HDC hDC) {
  if (m_diBk.sDrawString.IsEmpty()) return;
  DrawImage(hDC, m_diBk);
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hDC) {
  // Colour 0 means no border (it is not black): nothing is drawn without one.
  const DWORD chosen = (m_bFocused && m_dwFocusBorderColor != 0) ? m_dwFocusBorderColor : m_dwBorderColor;
  if (chosen == 0) return;
  const DWORD color = ApplyHslToColor(chosen);
  const int L = m_rcBorderSize.left;
  const int T = m_rcBorderSize.top;
  const int R = m_rcBorderSize.right;
  const int B = m_rcBorderSize.bottom;
  if (L < 1 && T < 1 && R < 1 && B < 1) return;

  if (L >= 1) {
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
      CDrawEngine::DrawRoundRect(hDC, m_rcItem, L, m_cxyBorderRound.cx, m_cxyBorderRound.cy, color, m_nBorderStyle);
      return;
    }
    if (T == L && R == L && B == L) {
      CDrawEngine::DrawRect(hDC, m_rcItem, L, color, m_nBorderStyle);
      return;
    }
  }
  // Per-side lines, each centred on its coordinate. With a left border the
  // right and bottom lines sit at right - R/2 and bottom - B/2, so one pixel
  // wide they lie just outside the control; without one, a one-pixel right
  // or bottom line is moved in to the last pixel inside it.
  const bool inside = L < 1;
  const CUIRect& rc = m_rcItem;
  const int left = L > 0 ? L : 0;
  const int right = R > 0 ? R : 0;
  if (L >= 1) {
    const UICoord x = UICoordAdd(rc.left, L / 2);
    CDrawEngine::DrawLine(hDC, CUIRect(x, rc.top, x, rc.bottom), L, color, m_nBorderStyle);
  }
  if (T > 0) {
    const UICoord y = UICoordAdd(rc.top, T / 2);
    CDrawEngine::DrawLine(hDC, CUIRect(UICoordAdd(rc.left, left), y, UICoordSubtract(rc.right, right), y), T, color,
                          m_nBorderStyle);
  }
  if (R > 0) {
    const int inward = (R == 1 && inside) ? 2 : R;
    const UICoord x = UICoordSubtract(rc.right, inward / 2);
    CDrawEngine::DrawLine(hDC, CUIRect(x, rc.top, x, rc.bottom), R, color, m_nBorderStyle);
  }
  if (B > 0) {
    const int inward = (B == 1 && inside) ? 2 : B;
    const UICoord y = UICoordSubtract(rc.bottom, inward / 2);
    CDrawEngine::DrawLine(hDC, CUIRect(UICoordAdd(rc.left, left), y, UICoordSubtract(rc.right, right), y), B, color,
                          m_nBorderStyle);
  }
}

void CControlUI::PostPaint(HDC, const CUIRect&) {
  if (postPaintListeners.HasDelegates()) postPaintListeners.Invoke(this);
}

DWORD CControlUI::ApplyHslToColor(DWORD color) const {
  if (!m_bColorHSL) return color;
  short hue = 180;
  short saturation = 100;
  short luminance = 100;
  CDrawEngine::GetHsl(&hue, &saturation, &luminance);
  return CDrawEngine::AdjustColor(color, hue, saturation, luminance);
}

bool CControlUI::DrawImage(HDC hDC, UIImageDrawInfo& image) {
  return CDrawEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, image);
}

bool CControlUI::DrawImageAttribute(HDC hDC, CImageAttribute& image, const CUIRect& rc) {
  if (m_pManager == nullptr || !image.EnsureLoaded(m_pManager)) return false;
  if (RectIsEmpty(rc)) return CDrawEngine::DrawImageAttribute(hDC, m_pManager, m_rcItem, m_rcPaint, image);
  CImageAttribute copy(image);
  copy.SetDest(rc);
  return CDrawEngine::DrawImageAttribute(hDC, m_pManager, m_rcItem, m_rcPaint, copy);
}

}  // namespace Trellis

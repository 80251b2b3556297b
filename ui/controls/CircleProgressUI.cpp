// The circle progress: attributes, the private indicator copy, and the ring
// painting through the GDI+ flat interface.
#include "ui/controls/CircleProgressUI.h"

#include <algorithm>
#include <cstring>

#include "core/base/DebugTrace.h"
#include "ui/base/portable/UIChar.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/draw/UIImageInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

CCircleProgressUI::CCircleProgressUI() = default;

CCircleProgressUI::~CCircleProgressUI() = default;

const UIChar* CCircleProgressUI::GetClassName() const { return UI_TEXT("CircleProgress"); }

void* CCircleProgressUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("CircleProgress")) == 0) return this;
  return CProgressUI::GetInterface(name);
}

void CCircleProgressUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (UITextCompare(name, UI_TEXT("circular")) == 0) SetCircular(ParseAttributeBool(value));
  else if (UITextCompare(name, UI_TEXT("clockwise")) == 0) SetClockwise(ParseAttributeBool(value));
  else if (UITextCompare(name, UI_TEXT("enablecircleeffect")) == 0) SetCircleEffect(ParseAttributeBool(value));
  else if (UITextCompare(name, UI_TEXT("circlewidth")) == 0) SetCircleWidth(ParseAttributeInt(value));
  else if (UITextCompare(name, UI_TEXT("bgcolor")) == 0) SetBackColor(ParseAttributeColor(value));
  else if (UITextCompare(name, UI_TEXT("fgcolor")) == 0) SetForeColor(ParseAttributeColor(value));
  else if (UITextCompare(name, UI_TEXT("gradientcolor1")) == 0) SetGradientColor1(ParseAttributeColor(value));
  else if (UITextCompare(name, UI_TEXT("gradientcolor2")) == 0) SetGradientColor2(ParseAttributeColor(value));
  else if (UITextCompare(name, UI_TEXT("indicator")) == 0) SetIndicator(value);
  else CProgressUI::SetAttribute(name, value);
}

void CCircleProgressUI::SetCircular(bool circular) {
  m_bCircular = circular;
  Invalidate();
}

void CCircleProgressUI::SetClockwise(bool clockwise) {
  if (m_bClockwise == clockwise) return;
  m_bClockwise = clockwise;
  if (m_indicator) GdipImageRotateFlip(m_indicator.Get(), Rotate180FlipNone);
}

void CCircleProgressUI::SetCircleWidth(int width) {
  m_nCircleWidth = width < 0 ? 0 : width;
  Invalidate();
}

void CCircleProgressUI::SetBackColor(DWORD color) {
  m_dwBackColor = color;
  Invalidate();
}
void CCircleProgressUI::SetForeColor(DWORD color) {
  m_dwForeColor = color;
  Invalidate();
}
void CCircleProgressUI::SetGradientColor1(DWORD color) {
  m_dwGradientColor1 = color;
  Invalidate();
}
void CCircleProgressUI::SetGradientColor2(DWORD color) {
  m_dwGradientColor2 = color;
  Invalidate();
}
void CCircleProgressUI::SetCircleEffect(bool effect) { m_bCircleEffect = effect; }

void CCircleProgressUI::SetIndicator(const UIChar* name) {
  if (name == nullptr) name = UI_TEXT("");
  if (m_sIndicatorName.EqualsText(name)) return;
  m_sIndicatorName = name;
  m_indicator.Reset();
  m_bIndicatorTried = false;
  Invalidate();
}

CUISize CCircleProgressUI::GetIndicatorSize() const {
  if (!m_indicator) return CUISize();
  UINT width = 0, height = 0;
  GdipGetImageWidth(m_indicator.Get(), &width);
  GdipGetImageHeight(m_indicator.Get(), &height);
  return CUISize(static_cast<UICoord>(width), static_cast<UICoord>(height));
}

bool CCircleProgressUI::MakeIndicator() {
  m_indicator.Reset();
  if (m_pManager == nullptr || m_sIndicatorName.IsEmpty() || !CGdiplusSession::Ensure()) return false;
  const UIImageInfo* image = m_pManager->GetOrAddImage(m_sIndicatorName.GetText());
  if (image == nullptr || image->pBits == nullptr || image->nX <= 0 || image->nY <= 0) {
    DebugTrace(L"Trellis: circle progress indicator could not be loaded");
    return false;
  }
  // The manager's pixels are premultiplied BGRA and shared with every other
  // user of the picture: copy them into a bitmap of our own in the matching
  // premultiplied format, so the rotation below changes only the copy.
  GdipBitmapPtr copy;
  if (GdipCreateBitmapFromScan0(image->nX, image->nY, 0, PixelFormat32bppPARGB, nullptr, copy.Out()) != Ok) return false;
  BitmapData data = {};
  const GpRect all(0, 0, image->nX, image->nY);
  if (GdipBitmapLockBits(copy.Get(), &all, ImageLockModeWrite, PixelFormat32bppPARGB, &data) != Ok) return false;
  const size_t rowBytes = static_cast<size_t>(image->nX) * 4;
  for (int y = 0; y < image->nY; ++y) {
    std::memcpy(static_cast<BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                image->pBits + static_cast<size_t>(y) * rowBytes, rowBytes);
  }
  GdipBitmapUnlockBits(copy.Get(), &data);
  GdipImageRotateFlip(copy.Get(), m_bClockwise ? Rotate90FlipNone : Rotate270FlipNone);
  m_indicator = std::move(copy);
  return true;
}

void CCircleProgressUI::PaintBkColor(HDC hDC) {
  CControlUI::PaintBkColor(hDC);
  if (!m_bCircular || hDC == nullptr || m_pManager == nullptr) return;
  RepairBounds();
  PaintRing(hDC);
}

void CCircleProgressUI::PaintRing(HDC hDC) {
  if (!CGdiplusSession::Ensure()) return;
  if (!m_bIndicatorTried && !m_sIndicatorName.IsEmpty()) {
    m_bIndicatorTried = true;
    MakeIndicator();
  }
  GdipGraphicsPtr graphics;
  if (GdipCreateFromHDC(hDC, graphics.Out()) != Ok) return;
  GdipSetSmoothingMode(graphics.Get(), SmoothingModeAntiAlias);

  const int width = m_rcItem.right - m_rcItem.left;
  const int height = m_rcItem.bottom - m_rcItem.top;
  const int cx = m_rcItem.left + width / 2;
  const int cy = m_rcItem.top + height / 2;
  const int side = std::min(width, height);
  const GpRectF outer(static_cast<REAL>(cx - side / 2), static_cast<REAL>(cy - side / 2), static_cast<REAL>(side),
                      static_cast<REAL>(side));
  const CUISize indicator = GetIndicatorSize();
  const int inset = m_indicator ? indicator.cx / 2 : m_nCircleWidth / 2;
  const REAL arcX = outer.X + inset + 1;
  const REAL arcY = outer.Y + inset + 1;
  const REAL arcSide = static_cast<REAL>(side - 2 * inset - 2);
  if (arcSide <= 0) return;

  const int64_t range = static_cast<int64_t>(m_nMax) - m_nMin;
  const int64_t share = static_cast<int64_t>(m_nValue) - m_nMin;
  const int64_t sweepDegrees = range > 0 ? (m_bClockwise ? share : -share) * 360 / range : 0;
  const REAL sweep = static_cast<REAL>(sweepDegrees);
  const REAL penWidth = static_cast<REAL>(m_nCircleWidth);

  GdipPenPtr backPen;
  if (GdipCreatePen1(m_dwBackColor, penWidth, UnitPixel, backPen.Out()) == Ok) {
    GdipDrawArc(graphics.Get(), backPen.Get(), arcX, arcY, arcSide, arcSide, 270.0f, 360.0f);
  }

  GdipPenPtr forePen;
  GdipLineBrushPtr gradient;
  if (m_bCircleEffect) {
    if (GdipCreateLineBrushFromRect(&outer, m_dwGradientColor1, m_dwGradientColor2, LinearGradientModeVertical,
                                    WrapModeTile, gradient.Out()) == Ok) {
      const REAL factors[3] = {0.0f, 0.9f, 0.0f};
      const REAL positions[3] = {0.0f, 0.5f, 1.0f};
      GdipSetLineBlend(gradient.Get(), factors, positions, 3);
      GdipCreatePen2(gradient.Get(), penWidth, UnitPixel, forePen.Out());
    }
  } else {
    GdipCreatePen1(m_dwForeColor, penWidth, UnitPixel, forePen.Out());
  }
  if (forePen && sweepDegrees != 0) {
    GdipDrawArc(graphics.Get(), forePen.Get(), arcX, arcY, arcSide, arcSide, 270.0f, sweep);
  }

  if (!m_indicator) return;
  // Turn the drawing space about the centre so the picture, placed on top of
  // the ring, lands on the end of the arc.
  GdipTranslateWorldTransform(graphics.Get(), static_cast<REAL>(-cx), static_cast<REAL>(-cy), MatrixOrderAppend);
  GdipRotateWorldTransform(graphics.Get(), sweep, MatrixOrderAppend);
  GdipTranslateWorldTransform(graphics.Get(), static_cast<REAL>(cx), static_cast<REAL>(cy), MatrixOrderAppend);
  const int x = cx - indicator.cx / 2;
  const int y = static_cast<int>(arcY + 0.5f) - indicator.cy / 2;
  GdipDrawImageRectI(graphics.Get(), m_indicator.Get(), x, y, indicator.cx, indicator.cy);
}

}  // namespace Trellis

// Sections: identity and attributes; size estimate; painting; GDI+ effects.
#include "ui/controls/LabelUI.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "core/base/DebugTrace.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/controls/GdiplusSession.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

bool Contains(const UIChar* text, const UIChar* word) { return text != nullptr && wcsstr(text, word) != nullptr; }

}  // namespace

// --- Identity and attributes ---

CLabelUI::CLabelUI() = default;

CLabelUI::~CLabelUI() = default;

const UIChar* CLabelUI::GetClassName() const { return UI_TEXT("Label"); }

void* CLabelUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("Label")) == 0) return this;
  return CControlUI::GetInterface(name);
}

void CLabelUI::SetText(const UIChar* text) {
  const bool changed = m_sText.DiffersFromText(text != nullptr ? text : UI_TEXT(""));
  CControlUI::SetText(text);
  if (!changed) return;
  m_bNeedEstimateSize = true;
  // The width follows the text only when the parent lays the label out again.
  if (m_bAutoCalcWidth) RequestParentLayout();
}

void CLabelUI::SetFixedWidth(int cx) {
  m_bNeedEstimateSize = true;
  CControlUI::SetFixedWidth(cx);
}

void CLabelUI::SetFixedHeight(int cy) {
  m_bNeedEstimateSize = true;
  CControlUI::SetFixedHeight(cy);
}

void CLabelUI::HandleEvent(UIEvent& event) {
  if (event.Type == kUIEventSetFocus) {
    m_bFocused = true;
    return;
  }
  if (event.Type == kUIEventKillFocus) {
    m_bFocused = false;
    return;
  }
  CControlUI::HandleEvent(event);
}

bool CLabelUI::IsAutoCalcWidth() const { return m_bAutoCalcWidth; }

void CLabelUI::SetAutoCalcWidth(bool autoCalcWidth) { m_bAutoCalcWidth = autoCalcWidth; }

void CLabelUI::SetTextStyle(UINT style) {
  m_uTextStyle = style;
  m_bNeedEstimateSize = true;
  Invalidate();
}

void CLabelUI::SetMultiLine(bool multiLine) {
  if (multiLine) {
    m_uTextStyle &= ~static_cast<UINT>(DT_SINGLELINE);
    m_uTextStyle |= DT_WORDBREAK;
  } else {
    m_uTextStyle |= DT_SINGLELINE;
  }
  m_bNeedEstimateSize = true;
  Invalidate();
}

void CLabelUI::SetFont(int id) {
  m_iFont = id;
  m_bNeedEstimateSize = true;
  Invalidate();
}

void CLabelUI::SetTextColor(DWORD color) {
  m_dwTextColor = color;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
  m_dwDisabledTextColor = color;
  Invalidate();
}

void CLabelUI::SetTextPadding(CUIRect padding) {
  m_rcTextPadding = padding;
  m_bNeedEstimateSize = true;
  Invalidate();
}

void CLabelUI::SetShowHtml(bool showHtml) {
  if (m_bShowHtml == showHtml) return;
  m_bShowHtml = showHtml;
  m_bNeedEstimateSize = true;
  Invalidate();
}

void CLabelUI::SetEnabledEffect(bool enable) {
  m_bEnableEffect = enable;
  Invalidate();
}

void CLabelUI::SetEnabledLuminous(bool enable) {
  m_bEnableLuminous = enable;
  Invalidate();
}

void CLabelUI::SetLuminousFuzzy(float fuzzy) {
  if (!(fuzzy >= 0.0001f)) return;  // also refuses NaN
  m_fLuminousFuzzy = fuzzy;
  Invalidate();
}

void CLabelUI::SetEnabledStroke(bool enable) {
  m_bEnableStroke = enable;
  Invalidate();
}

void CLabelUI::SetEnabledShadow(bool enable) {
  m_bEnableShadow = enable;
  Invalidate();
}

void CLabelUI::SetGradientAngle(int angle) {
  m_nGradientAngle = angle;
  Invalidate();
}

void CLabelUI::SetGradientLength(int length) {
  m_nGradientLength = length;
  Invalidate();
}

void CLabelUI::SetTextColor1(DWORD color) {
  m_dwTextColor1 = color;
  Invalidate();
}

void CLabelUI::ClearTextColor1() {
  m_dwTextColor1 = kUseOtherColor;
  Invalidate();
}

void CLabelUI::SetTextShadowColorA(DWORD color) {
  m_dwTextShadowColorA = color;
  Invalidate();
}

void CLabelUI::SetTextShadowColorB(DWORD color) {
  m_dwTextShadowColorB = color;
  Invalidate();
}

void CLabelUI::ClearTextShadowColorB() {
  m_dwTextShadowColorB = kUseOtherColor;
  Invalidate();
}

void CLabelUI::SetStrokeColor(DWORD color) {
  m_dwStrokeColor = color;
  Invalidate();
}

bool CLabelUI::SetShadowOffset(int distance, int angle) {
  if (angle < -180 || angle > 180) return false;
  const double radians = angle * 3.14159265358979323846 / 180.0;
  m_fShadowOffsetX = static_cast<float>(distance * std::cos(radians));
  m_fShadowOffsetY = static_cast<float>(distance * std::sin(radians));
  Invalidate();
  return true;
}

void CLabelUI::SetAttribute(const UIChar* name, const UIChar* value) {
  const auto is = [name](const UIChar* candidate) { return UITextCompare(name, candidate) == 0; };
  if (is(UI_TEXT("align"))) {
    // Tested in this order, so a value naming both left and right ends right-aligned.
    if (Contains(value, UI_TEXT("left"))) m_uTextStyle &= ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
    if (Contains(value, UI_TEXT("center"))) {
      m_uTextStyle &= ~static_cast<UINT>(DT_RIGHT);
      m_uTextStyle |= DT_CENTER;
    }
    if (Contains(value, UI_TEXT("right"))) {
      m_uTextStyle &= ~static_cast<UINT>(DT_CENTER);
      m_uTextStyle |= DT_RIGHT;
    }
    Invalidate();
  } else if (is(UI_TEXT("valign"))) {
    if (Contains(value, UI_TEXT("top"))) m_uTextStyle &= ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM);
    if (Contains(value, UI_TEXT("vcenter"))) {
      m_uTextStyle &= ~static_cast<UINT>(DT_BOTTOM);
      m_uTextStyle |= DT_VCENTER;
    }
    if (Contains(value, UI_TEXT("bottom"))) {
      m_uTextStyle &= ~static_cast<UINT>(DT_VCENTER);
      m_uTextStyle |= DT_BOTTOM;
    }
    Invalidate();
  } else if (is(UI_TEXT("endellipsis"))) {
    if (ParseAttributeBool(value)) {
      m_uTextStyle |= DT_END_ELLIPSIS;
    } else {
      m_uTextStyle &= ~static_cast<UINT>(DT_END_ELLIPSIS);
    }
    Invalidate();
  } else if (is(UI_TEXT("font"))) {
    SetFont(ParseAttributeInt(value));
  } else if (is(UI_TEXT("textcolor"))) {
    SetTextColor(ParseAttributeColor(value));
  } else if (is(UI_TEXT("disabledtextcolor"))) {
    SetDisabledTextColor(ParseAttributeColor(value));
  } else if (is(UI_TEXT("textpadding"))) {
    SetTextPadding(ParseAttributeRect(value));
  } else if (is(UI_TEXT("multiline"))) {
    SetMultiLine(ParseAttributeBool(value));
  } else if (is(UI_TEXT("showhtml"))) {
    SetShowHtml(ParseAttributeBool(value));
  } else if (is(UI_TEXT("autocalcwidth"))) {
    SetAutoCalcWidth(ParseAttributeBool(value));
  } else if (is(UI_TEXT("enabledeffect"))) {
    SetEnabledEffect(ParseAttributeBool(value));
  } else if (is(UI_TEXT("enabledluminous"))) {
    SetEnabledLuminous(ParseAttributeBool(value));
  } else if (is(UI_TEXT("luminousfuzzy"))) {
    SetLuminousFuzzy(static_cast<float>(ParseAttributeDouble(value)));
  } else if (is(UI_TEXT("gradientangle"))) {
    SetGradientAngle(ParseAttributeInt(value));
  } else if (is(UI_TEXT("gradientlength"))) {
    SetGradientLength(ParseAttributeInt(value));
  } else if (is(UI_TEXT("enabledstroke"))) {
    SetEnabledStroke(ParseAttributeBool(value));
  } else if (is(UI_TEXT("enabledshadow"))) {
    SetEnabledShadow(ParseAttributeBool(value));
  } else if (is(UI_TEXT("shadowoffset"))) {
    int32_t values[2] = {0, 0};
    ParseAttributeIntList(value, values, 2);
    SetShadowOffset(values[0], values[1]);
  } else if (is(UI_TEXT("textcolor1"))) {
    SetTextColor1(ParseAttributeColor(value));
  } else if (is(UI_TEXT("textshadowcolora"))) {
    SetTextShadowColorA(ParseAttributeColor(value));
  } else if (is(UI_TEXT("textshadowcolorb"))) {
    SetTextShadowColorB(ParseAttributeColor(value));
  } else if (is(UI_TEXT("strokecolor"))) {
    SetStrokeColor(ParseAttributeColor(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

// --- Size estimate ---

int CLabelUI::GetFontHeight() const {
  if (m_pManager == nullptr) return 0;
  const UIFontInfo* font = m_pManager->GetFontInfo(m_iFont);
  return font != nullptr ? font->tm.tmHeight : 0;
}

void CLabelUI::UpdateAutoCalcWidth() {
  if (m_pManager == nullptr) return;
  CUIRect measured;
  // The whole text is measured: an ellipsis style would cut it to the empty
  // measuring rectangle and leave the label as wide as "...".
  const UINT measureStyle =
      (m_uTextStyle & ~static_cast<UINT>(DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) | DT_CALCRECT;
  CDrawEngine::DrawPlainText(m_pManager->GetPaintDC(), m_pManager, measured, m_sText.GetText(), 0, m_iFont,
                             measureStyle);
  const int width = measured.GetWidth() + m_rcTextPadding.left + m_rcTextPadding.right;
  // Storing an unchanged width would ask the parent for a layout on every
  // layout pass, which never ends.
  if (width != m_cxyFixed.cx) SetFixedWidth(width);
}

CUISize CLabelUI::EstimateSize(CUISize available) {
  if (m_bAutoCalcWidth) UpdateAutoCalcWidth();
  if (m_cxyFixed.cx > 0 && m_cxyFixed.cy > 0) return m_cxyFixed;
  const bool availableChanged = available.cx != m_szAvailableLast.cx || available.cy != m_szAvailableLast.cy;
  if (!m_bNeedEstimateSize && !(IsMultiLine() && availableChanged)) return m_cxyFixedLast;
  if (m_pManager == nullptr) return m_cxyFixed;
  m_bNeedEstimateSize = false;
  m_szAvailableLast = available;
  const UINT measureStyle = (m_uTextStyle & ~static_cast<UINT>(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
  HDC dc = m_pManager->GetPaintDC();
  CUISize result;
  if (!IsMultiLine()) {
    result.cy = m_cxyFixed.cy;
    if (result.cy == 0) result.cy = GetFontHeight() + m_rcTextPadding.top + m_rcTextPadding.bottom + 8;
    result.cx = m_cxyFixed.cx;
    if (result.cx == 0) {
      CUIRect rc(0, 0, 9999, result.cy);
      if (m_bShowHtml) {
        int links = 0;
        CDrawEngine::DrawMarkupText(dc, m_pManager, rc, m_sText.GetText(), 0, nullptr, nullptr, links, m_iFont,
                                    measureStyle);
      } else {
        CDrawEngine::DrawPlainText(dc, m_pManager, rc, m_sText.GetText(), 0, m_iFont, measureStyle);
      }
      result.cx = rc.GetWidth() + m_rcTextPadding.left + m_rcTextPadding.right;
    }
  } else {
    result.cx = m_cxyFixed.cx > 0 ? m_cxyFixed.cx : available.cx;
    CUIRect rc(m_rcTextPadding.left, 0, result.cx - m_rcTextPadding.right, 9999);
    if (rc.right <= rc.left) {
      // No room for a line: nothing is measured (the measuring rectangle
      // would come back untouched, 9999 pixels tall). The next layout with
      // room measures again, as the available size then differs.
      rc.bottom = 0;
    } else if (m_bShowHtml) {
      int links = 0;
      CDrawEngine::DrawMarkupText(dc, m_pManager, rc, m_sText.GetText(), 0, nullptr, nullptr, links, m_iFont,
                                  measureStyle);
    } else {
      CDrawEngine::DrawPlainText(dc, m_pManager, rc, m_sText.GetText(), 0, m_iFont, measureStyle);
    }
    result.cy = rc.GetHeight() + m_rcTextPadding.top + m_rcTextPadding.bottom;
  }
  m_cxyFixedLast = result;
  return result;
}

// --- Painting ---

void CLabelUI::ApplyDefaultColors() {
  if (m_pManager == nullptr) return;
  if (m_dwTextColor == 0) m_dwTextColor = m_pManager->GetDefaultFontColor();
  if (m_dwDisabledTextColor == 0) m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
}

CUIRect CLabelUI::GetTextRect() const {
  return CUIRect(m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
                 m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom);
}

void CLabelUI::DrawLabelText(HDC hDC, CUIRect rc, DWORD color) {
  if (m_bShowHtml) {
    int links = 0;
    CDrawEngine::DrawMarkupText(hDC, m_pManager, rc, m_sText.GetText(), color, nullptr, nullptr, links, m_iFont,
                                m_uTextStyle);
  } else {
    CDrawEngine::DrawPlainText(hDC, m_pManager, rc, m_sText.GetText(), color, m_iFont, m_uTextStyle);
  }
}

void CLabelUI::PaintText(HDC hDC) {
  ApplyDefaultColors();
  if (m_sText.IsEmpty()) return;
  const CUIRect rc = GetTextRect();
  if (m_bEnableEffect && PaintTextWithEffects(hDC, rc)) return;
  DrawLabelText(hDC, rc, IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor);
}

// --- GDI+ effects ---

namespace {

}  // namespace

bool CLabelUI::PaintTextWithEffects(HDC hDC, const CUIRect& rc) {
  if (m_pManager == nullptr || rc.GetWidth() <= 0 || rc.GetHeight() <= 0) return false;
  if (!CGdiplusSession::Ensure()) return false;

  // Every object is made before anything is drawn, so a failure leaves the
  // DC untouched for the plain drawing.
  LOGFONTW lf = {};
  HFONT windowFont = m_pManager->GetFontHandle(m_iFont);
  if (windowFont == nullptr || ::GetObjectW(windowFont, sizeof(lf), &lf) == 0) {
    HGDIOBJ current = ::GetCurrentObject(hDC, OBJ_FONT);
    if (current == nullptr || ::GetObjectW(current, sizeof(lf), &lf) == 0) return false;
  }
  GpStatus status = Ok;
  GdipFontPtr font;
  if ((status = GdipCreateFontFromLogfontW(hDC, &lf, font.Out())) != Ok) {
    DebugTrace(L"Trellis: label effects fall back to plain text: font failed, status %d", static_cast<int>(status));
    return false;
  }
  GdipGraphicsPtr graphics;
  if ((status = GdipCreateFromHDC(hDC, graphics.Out())) != Ok) {
    DebugTrace(L"Trellis: label effects fall back to plain text: graphics failed, status %d", static_cast<int>(status));
    return false;
  }
  GdipSetTextRenderingHint(graphics.Get(), TextRenderingHintAntiAlias);
  GdipStringFormatPtr format;
  if ((status = GdipCreateStringFormat(0, LANG_NEUTRAL, format.Out())) != Ok) {
    DebugTrace(L"Trellis: label effects fall back to plain text: string format failed, status %d",
               static_cast<int>(status));
    return false;
  }
  GdipSetStringFormatLineAlign(format.Get(), (m_uTextStyle & DT_VCENTER) != 0   ? StringAlignmentCenter
                                             : (m_uTextStyle & DT_BOTTOM) != 0 ? StringAlignmentFar
                                                                               : StringAlignmentNear);
  GdipSetStringFormatAlign(format.Get(), (m_uTextStyle & DT_CENTER) != 0  ? StringAlignmentCenter
                                         : (m_uTextStyle & DT_RIGHT) != 0 ? StringAlignmentFar
                                                                          : StringAlignmentNear);

  const float width = static_cast<float>(rc.GetWidth());
  const float height = static_cast<float>(rc.GetHeight());
  const RectF layout(static_cast<float>(rc.left), static_cast<float>(rc.top), width, height);
  const RectF shadowLayout(layout.X + m_fShadowOffsetX, layout.Y + m_fShadowOffsetY, width, height);
  const PointF gradientFrom(static_cast<float>(m_nGradientAngle), 0.0f);
  const PointF gradientTo(0.0f, m_nGradientLength != 0 ? static_cast<float>(m_nGradientLength) : height);

  GdipLineBrushPtr textBrush;
  const DWORD textColor2 = HasTextColor1() ? m_dwTextColor1 : m_dwTextColor;
  if ((status = GdipCreateLineBrush(&gradientFrom, &gradientTo, m_dwTextColor, textColor2, WrapModeTile,
                                    textBrush.Out())) != Ok) {
    DebugTrace(L"Trellis: label effects fall back to plain text: text brush failed, status %d",
               static_cast<int>(status));
    return false;
  }
  const DWORD shadowColorB = HasTextShadowColorB() ? m_dwTextShadowColorB : m_dwTextShadowColorA;
  const bool drawShadow = m_bEnableShadow && (m_dwTextShadowColorA != 0 || shadowColorB != 0);
  GdipLineBrushPtr shadowBrush;
  if (drawShadow && (status = GdipCreateLineBrush(&gradientFrom, &gradientTo, m_dwTextShadowColorA, shadowColorB,
                                                  WrapModeTile, shadowBrush.Out())) != Ok) {
    DebugTrace(L"Trellis: label effects fall back to plain text: shadow brush failed, status %d",
               static_cast<int>(status));
    return false;
  }
  const bool drawStroke = m_bEnableStroke && m_dwStrokeColor != 0;
  GdipLineBrushPtr strokeBrush;
  const PointF strokeTo(0.0f, height + 2.0f);
  if (drawStroke && (status = GdipCreateLineBrush(&gradientFrom, &strokeTo, m_dwStrokeColor, m_dwStrokeColor,
                                                  WrapModeTile, strokeBrush.Out())) != Ok) {
    DebugTrace(L"Trellis: label effects fall back to plain text: stroke brush failed, status %d",
               static_cast<int>(status));
    return false;
  }

  const wchar_t* text = m_sText.GetText();
  const int length = m_sText.GetLength();

  // The glow: the text drawn into a bitmap of the text rectangle's size,
  // shrunk by the fuzziness and enlarged back, so it comes out blurred.
  GdipBitmapPtr glow;
  if (m_bEnableLuminous) {
    const int cx = rc.GetWidth();
    const int cy = rc.GetHeight();
    const int smallCx = std::max(1, static_cast<int>(cx / m_fLuminousFuzzy));
    const int smallCy = std::max(1, static_cast<int>(cy / m_fLuminousFuzzy));
    GdipBitmapPtr shrunk;
    GdipGraphicsPtr glowGraphics;
    GdipGraphicsPtr shrunkGraphics;
    if ((status = GdipCreateBitmapFromScan0(cx, cy, 0, PixelFormat32bppARGB, nullptr, glow.Out())) != Ok ||
        (status = GdipCreateBitmapFromScan0(smallCx, smallCy, 0, PixelFormat32bppARGB, nullptr, shrunk.Out())) !=
            Ok ||
        (status = GdipGetImageGraphicsContext(glow.Get(), glowGraphics.Out())) != Ok ||
        (status = GdipGetImageGraphicsContext(shrunk.Get(), shrunkGraphics.Out())) != Ok) {
      DebugTrace(L"Trellis: label effects fall back to plain text: glow bitmap failed, status %d",
                 static_cast<int>(status));
      return false;
    }
    GdipSetSmoothingMode(glowGraphics.Get(), SmoothingModeAntiAlias);
    GdipSetTextRenderingHint(glowGraphics.Get(), TextRenderingHintAntiAlias);
    GdipSetCompositingQuality(glowGraphics.Get(), CompositingQualityHighQuality);
    const RectF local(0.0f, 0.0f, width, height);
    GdipDrawString(glowGraphics.Get(), text, length, font.Get(), &local, format.Get(), textBrush.Get());
    GdipSetInterpolationMode(shrunkGraphics.Get(), InterpolationModeHighQualityBicubic);
    GdipSetPixelOffsetMode(shrunkGraphics.Get(), PixelOffsetModeHalf);
    GdipDrawImageRectI(shrunkGraphics.Get(), glow.Get(), 0, 0, smallCx, smallCy);
    GdipGraphicsClear(glowGraphics.Get(), 0);
    GdipSetInterpolationMode(glowGraphics.Get(), InterpolationModeHighQualityBicubic);
    GdipSetPixelOffsetMode(glowGraphics.Get(), PixelOffsetModeHalf);
    GdipDrawImageRect(glowGraphics.Get(), shrunk.Get(), m_fShadowOffsetX, m_fShadowOffsetY, width, height);
  }

  if (glow) GdipDrawImageI(graphics.Get(), glow.Get(), rc.left, rc.top);
  if (drawStroke) {
    static const float kMoves[4][2] = {{-1.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {0.0f, 1.0f}};
    for (const auto& move : kMoves) {
      const RectF moved(layout.X + move[0], layout.Y + move[1], width, height);
      GdipDrawString(graphics.Get(), text, length, font.Get(), &moved, format.Get(), strokeBrush.Get());
    }
  }
  if (drawShadow) {
    GdipDrawString(graphics.Get(), text, length, font.Get(), &shadowLayout, format.Get(), shadowBrush.Get());
  }
  GdipDrawString(graphics.Get(), text, length, font.Get(), &layout, format.Get(), textBrush.Get());
  return true;
}

}  // namespace Trellis

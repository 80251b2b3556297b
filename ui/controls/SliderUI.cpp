// The slider: value from the pointer, thumb placement, drag, wheel and hover
// handling, and the thumb images.
#include "ui/controls/SliderUI.h"

#include <climits>

#include "ui/base/UIGeometryWin.h"
#include "ui/base/portable/UIChar.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Inside(const CUIRect& rc, CUIPoint point) { return ::PtInRect(AsRECT(&rc), POINT{point.x, point.y}) != FALSE; }

int ClampToInt(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

CSliderUI::CSliderUI() { m_uTextStyle = DT_SINGLELINE | DT_CENTER; }

CSliderUI::~CSliderUI() = default;

const UIChar* CSliderUI::GetClassName() const { return UI_TEXT("Slider"); }

void* CSliderUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("Slider")) == 0) return this;
  return CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetControlFlags() const { return IsEnabled() ? (kUIFlagTabStop | kUIFlagSetCursor) : 0; }

void CSliderUI::SetEnabled(bool enabled) {
  CProgressUI::SetEnabled(enabled);
  if (!enabled) m_uButtonState = 0;
}

void CSliderUI::SetValue(int value) {
  if (IsCaptured()) return;
  CProgressUI::SetValue(value);
}

void CSliderUI::SetThumbSize(int width, int height) {
  m_cxyThumb.cx = width;
  m_cxyThumb.cy = height;
}

void CSliderUI::SetStep(int step) { m_nStep = step; }
void CSliderUI::SetSendMove(bool sendMove) { m_bSendMove = sendMove; }
void CSliderUI::SetImmediate(bool immediate) { m_bImmediate = immediate; }

void CSliderUI::SetThumbImage(const UIChar* description) {
  if (ReplaceImage(m_diThumb, description)) Invalidate();
}
void CSliderUI::SetThumbHotImage(const UIChar* description) {
  if (ReplaceImage(m_diThumbHot, description)) Invalidate();
}
void CSliderUI::SetThumbPushedImage(const UIChar* description) {
  if (ReplaceImage(m_diThumbPushed, description)) Invalidate();
}

// --- Geometry ---

int CSliderUI::ValueAtPoint(CUIPoint point) const {
  // Products and the range in 64 bits: a range near the full 32-bit span
  // times a few hundred pixels does not fit in 32.
  const int64_t range = static_cast<int64_t>(m_nMax) - m_nMin;
  if (range <= 0) return m_nMin;
  const CUIRect& rc = m_rcItem;
  const int64_t tw = m_cxyThumb.cx, th = m_cxyThumb.cy;
  if (m_bHorizontal) {
    if (point.x >= rc.right - tw / 2) return m_nMax;
    if (point.x <= rc.left + tw / 2) return m_nMin;
    const int64_t track = static_cast<int64_t>(rc.right) - rc.left - tw;
    if (track <= 0) return m_nMin;
    return ClampToInt(m_nMin + range * (point.x - tw / 2 - rc.left) / track);
  }
  if (point.y >= rc.bottom - th / 2) return m_nMin;
  if (point.y <= rc.top + th / 2) return m_nMax;
  const int64_t track = static_cast<int64_t>(rc.bottom) - rc.top - th;
  if (track <= 0) return m_nMin;
  return ClampToInt(m_nMin + range * (rc.bottom - th / 2 - point.y) / track);
}

CUIRect CSliderUI::ComputeThumbRect() const {
  const CUIRect& rc = m_rcItem;
  const int64_t range = static_cast<int64_t>(m_nMax) - m_nMin;
  const int64_t offset = static_cast<int64_t>(m_nValue) - m_nMin;
  const int tw = m_cxyThumb.cx, th = m_cxyThumb.cy;
  if (m_bHorizontal) {
    const int64_t track = static_cast<int64_t>(rc.right) - rc.left - tw;
    const int left = rc.left + (range > 0 ? ClampToInt(offset * track / range) : 0);
    const int top = (rc.top + rc.bottom - th) / 2;
    return CUIRect(left, top, left + tw, top + th);
  }
  const int64_t track = static_cast<int64_t>(rc.bottom) - rc.top - th;
  const int left = (rc.left + rc.right - tw) / 2;
  const int bottom = rc.bottom - (range > 0 ? ClampToInt(track * offset / range) : 0);
  return CUIRect(left, bottom - th, left + tw, bottom);
}

// --- Events ---

void CSliderUI::EndCapture() {
  if (!IsCaptured()) return;
  m_uButtonState &= ~static_cast<UINT>(kUIStateCaptured);
  Invalidate();
}

void CSliderUI::SetHot(bool hot) {
  const UINT before = m_uButtonState;
  if (hot) m_uButtonState |= kUIStateHot;
  else m_uButtonState &= ~static_cast<UINT>(kUIStateHot);
  if (before != m_uButtonState) Invalidate();
}

void CSliderUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    if (m_pParent != nullptr) m_pParent->HandleEvent(event);
    else CLabelUI::HandleEvent(event);
    return;
  }
  switch (event.Type) {
    case kUIEventButtonDown:
    case kUIEventDoubleClick: {
      if (!IsEnabled()) return;
      m_uButtonState |= kUIStateCaptured;
      const int value = ValueAtPoint(event.ptMouse);
      if (value == m_nValue || value < m_nMin || value > m_nMax) return;
      m_nValue = value;
      Invalidate();
      return;
    }
    case kUIEventButtonUp: {
      if (!IsCaptured()) return;
      // The drag ends here whatever the point: a value outside the bounds
      // (an empty range) is not stored, but must not keep the thumb held.
      m_uButtonState &= ~static_cast<UINT>(kUIStateCaptured);
      const int value = ValueAtPoint(event.ptMouse);
      const bool valid = value >= m_nMin && value <= m_nMax;
      if (valid) m_nValue = value;
      Invalidate();
      if (valid && m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("valuechanged"));
      return;
    }
    case kUIEventKillFocus:
      // The button-up may never come (another window took the mouse): a
      // drag ends with the focus so later SetValue calls are not ignored.
      EndCapture();
      CLabelUI::HandleEvent(event);
      return;
    case kUIEventContextMenu:
      return;
    case kUIEventScrollWheel: {
      if (!IsEnabled()) return;
      if (event.wParam == SB_LINEUP || event.wParam == SB_LINEDOWN) {
        const int64_t step = event.wParam == SB_LINEUP ? m_nStep : -static_cast<int64_t>(m_nStep);
        SetValue(ClampToInt(static_cast<int64_t>(m_nValue) + step));
        if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("valuechanged"));
        return;
      }
      break;
    }
    case kUIEventMouseMove:
      if (!IsCaptured()) return;
      m_nValue = ValueAtPoint(event.ptMouse);
      if (m_bSendMove && m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("movevaluechanged"));
      Invalidate();
      return;
    case kUIEventSetCursor:
      if (IsEnabled() && Inside(ComputeThumbRect(), event.ptMouse)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
      }
      break;
    case kUIEventMouseEnter:
      if (IsEnabled() && Inside(m_rcItem, event.ptMouse)) SetHot(true);
      return;
    case kUIEventMouseLeave:
      if (Inside(m_rcItem, event.ptMouse)) {
        if (m_pManager != nullptr) m_pManager->AddMouseLeaveListener(this);
        return;
      }
      if (IsEnabled()) SetHot(false);
      if (m_pManager != nullptr) m_pManager->RemoveMouseLeaveListener(this);
      return;
    default:
      break;
  }
  CControlUI::HandleEvent(event);
}

void CSliderUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (UITextCompare(name, UI_TEXT("thumbimage")) == 0) {
    SetThumbImage(value);
  } else if (UITextCompare(name, UI_TEXT("thumbhotimage")) == 0) {
    SetThumbHotImage(value);
  } else if (UITextCompare(name, UI_TEXT("thumbpushedimage")) == 0) {
    SetThumbPushedImage(value);
  } else if (UITextCompare(name, UI_TEXT("thumbsize")) == 0) {
    int32_t size[2] = {0, 0};
    ParseAttributeIntList(value, size, 2);
    SetThumbSize(size[0], size[1]);
  } else if (UITextCompare(name, UI_TEXT("step")) == 0) {
    SetStep(ParseAttributeInt(value));
  } else if (UITextCompare(name, UI_TEXT("sendmove")) == 0) {
    SetSendMove(ParseAttributeBool(value));
  } else if (UITextCompare(name, UI_TEXT("imm")) == 0) {
    SetImmediate(ParseAttributeBool(value));
  } else {
    CProgressUI::SetAttribute(name, value);
  }
}

// --- Painting ---

void CSliderUI::PaintStatusImage(HDC hDC) {
  CProgressUI::PaintStatusImage(hDC);
  CUIRect thumb = ComputeThumbRect();
  thumb = CUIRect(thumb.left - m_rcItem.left, thumb.top - m_rcItem.top, thumb.right - m_rcItem.left,
                  thumb.bottom - m_rcItem.top);
  // The chosen state's picture, else the plain thumb when that one cannot be drawn.
  UIImageDrawInfo* chosen = IsCaptured() ? &m_diThumbPushed : IsHot() ? &m_diThumbHot : nullptr;
  for (UIImageDrawInfo* image : {chosen, &m_diThumb}) {
    if (image == nullptr || image->sDrawString.IsEmpty()) continue;
    if (!DrawImage(nullptr, *image)) continue;
    image->rcDest = thumb;
    DrawImage(hDC, *image);
    return;
  }
}

}  // namespace Trellis

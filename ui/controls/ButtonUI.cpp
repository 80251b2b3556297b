// Sections: identity and attributes; events; painting.
#include "ui/controls/ButtonUI.h"

#include <algorithm>

#include "ui/base/UIGeometryWin.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/UIImageInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool IsInside(const CUIRect& rc, CUIPoint pt) {
  const POINT point = {pt.x, pt.y};
  return ::PtInRect(AsRECT(&rc), point) != FALSE;
}

}  // namespace

// --- Identity and attributes ---

CButtonUI::CButtonUI() { m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

CButtonUI::~CButtonUI() {
  if (m_pLifeGuard != nullptr) m_pLifeGuard->MarkDestroyed();
}

const UIChar* CButtonUI::GetClassName() const { return UI_TEXT("Button"); }

void* CButtonUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("Button")) == 0) return this;
  return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
  return (IsEnabled() ? kUIFlagSetCursor : 0u) | (IsKeyboardEnabled() ? kUIFlagTabStop : 0u);
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  // The handler may delete this button: nothing may follow the notification.
  if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("click"));
  return true;
}

void CButtonUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!enabled) m_uButtonState = 0;
}

void CButtonUI::SetFadeDelta(int delta) { m_uFadeDelta = static_cast<BYTE>(delta <= 0 ? 0 : std::min(delta, 255)); }

void CButtonUI::SetImageRecord(UIImageDrawInfo& record, const UIChar* description) {
  if (record.sDrawString.EqualsText(description != nullptr ? description : UI_TEXT("")) &&
      record.pImageInfo != nullptr) {
    return;
  }
  record.Clear();
  record.sDrawString.AssignText(description);
  Invalidate();
}

void CButtonUI::SetNormalImage(const UIChar* description) { SetImageRecord(m_diNormal, description); }
void CButtonUI::SetHotImage(const UIChar* description) { SetImageRecord(m_diHot, description); }
void CButtonUI::SetHotForeImage(const UIChar* description) { SetImageRecord(m_diHotFore, description); }
void CButtonUI::SetPushedImage(const UIChar* description) { SetImageRecord(m_diPushed, description); }
void CButtonUI::SetFocusedImage(const UIChar* description) { SetImageRecord(m_diFocused, description); }
void CButtonUI::SetDisabledImage(const UIChar* description) { SetImageRecord(m_diDisabled, description); }
void CButtonUI::SetForeImage(const UIChar* description) { SetImageRecord(m_diFore, description); }

void CButtonUI::SetFiveStatusImage(const UIChar* description) {
  for (UIImageDrawInfo* record : {&m_diNormal, &m_diPushed, &m_diHot, &m_diFocused, &m_diDisabled}) {
    record->Clear();
    record->sDrawString.AssignText(description);
  }
  m_bFiveStatusPending = true;
  ApplyFiveStatusFrames();
  Invalidate();
}

void CButtonUI::ApplyFiveStatusFrames() {
  if (!m_bFiveStatusPending || m_pManager == nullptr) return;
  UIImageDrawInfo* frames[5] = {&m_diNormal, &m_diPushed, &m_diHot, &m_diFocused, &m_diDisabled};
  for (UIImageDrawInfo* record : frames) DrawImage(nullptr, *record);  // loads and parses
  if (m_diNormal.pImageInfo == nullptr) return;
  m_bFiveStatusPending = false;
  const int frameWidth = m_diNormal.pImageInfo->nX / 5;
  const int height = m_diNormal.pImageInfo->nY;
  for (int i = 0; i < 5; ++i) frames[i]->rcSource = CUIRect(i * frameWidth, 0, (i + 1) * frameWidth, height);
  if (m_bFloat && m_cxyFixed.cx == 0 && m_cxyFixed.cy == 0) {
    SetFixedWidth(frameWidth);
    SetFixedHeight(height);
  }
}

void CButtonUI::SetAttribute(const UIChar* name, const UIChar* value) {
  const auto is = [name](const UIChar* candidate) { return UITextCompare(name, candidate) == 0; };
  if (is(UI_TEXT("normalimage"))) {
    SetNormalImage(value);
  } else if (is(UI_TEXT("hotimage"))) {
    SetHotImage(value);
  } else if (is(UI_TEXT("pushedimage"))) {
    SetPushedImage(value);
  } else if (is(UI_TEXT("focusedimage"))) {
    SetFocusedImage(value);
  } else if (is(UI_TEXT("disabledimage"))) {
    SetDisabledImage(value);
  } else if (is(UI_TEXT("foreimage"))) {
    SetForeImage(value);
  } else if (is(UI_TEXT("hotforeimage"))) {
    SetHotForeImage(value);
  } else if (is(UI_TEXT("fivestatusimage"))) {
    SetFiveStatusImage(value);
  } else if (is(UI_TEXT("fadedelta"))) {
    SetFadeDelta(ParseAttributeInt(value));
  } else if (is(UI_TEXT("hotbkcolor"))) {
    SetHotBkColor(ParseAttributeColor(value));
  } else if (is(UI_TEXT("hottextcolor"))) {
    SetHotTextColor(ParseAttributeColor(value));
  } else if (is(UI_TEXT("pushedtextcolor"))) {
    SetPushedTextColor(ParseAttributeColor(value));
  } else if (is(UI_TEXT("focusedtextcolor"))) {
    SetFocusedTextColor(ParseAttributeColor(value));
  } else {
    CLabelUI::SetAttribute(name, value);
  }
}

CUISize CButtonUI::EstimateSize(CUISize available) {
  if (m_bAutoCalcWidth) UpdateAutoCalcWidth();
  if (m_cxyFixed.cy > 0) return CControlUI::EstimateSize(available);
  return CUISize(m_cxyFixed.cx, GetFontHeight() + 8);
}

// --- Events ---

void CButtonUI::HandleEvent(UIEvent& event) {
  if (ForwardMouseEventWhileDisabled(event)) return;
  switch (event.Type) {
    case kUIEventSetFocus:
    case kUIEventKillFocus:
      Invalidate();
      CLabelUI::HandleEvent(event);
      return;
    case kUIEventKeyDown:
      if (IsKeyboardEnabled() && IsEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
        Activate();  // may delete this button
        return;
      }
      break;  // other keys (arrows, pages) are for the container
    case kUIEventButtonDown:
    case kUIEventDoubleClick:
      if (IsInside(m_rcItem, event.ptMouse) && IsEnabled()) {
        m_uButtonState |= kUIStatePushed | kUIStateCaptured;
        Invalidate();
      }
      return;
    case kUIEventMouseMove:
      if ((m_uButtonState & kUIStateCaptured) != 0) {
        if (IsInside(m_rcItem, event.ptMouse)) {
          m_uButtonState |= kUIStatePushed;
        } else {
          m_uButtonState &= ~static_cast<UINT>(kUIStatePushed);
        }
        Invalidate();
        return;
      }
      break;
    case kUIEventButtonUp:
      if ((m_uButtonState & kUIStateCaptured) != 0) {
        const bool click = IsInside(m_rcItem, event.ptMouse) && IsEnabled();
        // The state is settled and the repaint asked for before "click": the
        // handler may delete this button or rebuild the tree.
        m_uButtonState &= ~static_cast<UINT>(kUIStatePushed | kUIStateCaptured);
        Invalidate();
        if (click) Activate();
        return;
      }
      break;
    case kUIEventContextMenu:
      if (IsContextMenuUsed()) {
        // A disabled button that uses the menu sends none, and no one else
        // sends one for it either.
        if (IsEnabled() && m_pManager != nullptr) {
          m_pManager->SendNotify(this, UI_TEXT("menu"), event.wParam, event.lParam);
        }
        return;
      }
      break;
    case kUIEventMouseEnter:
      if (IsInside(m_rcItem, event.ptMouse) && IsEnabled()) {
        if ((m_uButtonState & kUIStateHot) == 0) {
          m_uButtonState |= kUIStateHot;
          Invalidate();
          if (m_uFadeDelta != 0 && m_pManager != nullptr) {
            m_pManager->SetControlTimer(this, kFadeTimerId, kFadeIntervalMs);
          }
        }
        return;
      }
      break;
    case kUIEventMouseLeave:
      if (IsInside(m_rcItem, event.ptMouse)) {
        // The pointer is still over the button (a child window took the
        // mouse): stay hot and hear about the next hover change.
        if (m_pManager != nullptr) m_pManager->AddMouseLeaveListener(this);
        return;
      }
      if (IsEnabled()) {
        m_uButtonState &= ~static_cast<UINT>(kUIStateHot);
        Invalidate();
      }
      if (m_pManager != nullptr) {
        m_pManager->RemoveMouseLeaveListener(this);
        if (m_uFadeDelta != 0) m_pManager->SetControlTimer(this, kFadeTimerId, kFadeIntervalMs);
      }
      return;
    case kUIEventSetCursor:
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      return;
    case kUIEventTimer:
      if (event.wParam == kFadeTimerId) {
        bool done = false;
        if ((m_uButtonState & kUIStateHot) != 0) {
          if (m_uFadeDelta >= m_uFadeAlphaStep) {
            m_uFadeAlphaStep = 0;
            done = true;
          } else {
            m_uFadeAlphaStep = static_cast<BYTE>(m_uFadeAlphaStep - m_uFadeDelta);
          }
        } else {
          if (m_uFadeAlphaStep >= 255 - m_uFadeDelta) {
            m_uFadeAlphaStep = 255;
            done = true;
          } else {
            m_uFadeAlphaStep = static_cast<BYTE>(m_uFadeAlphaStep + m_uFadeDelta);
          }
        }
        if (done && m_pManager != nullptr) m_pManager->KillControlTimer(this, kFadeTimerId);
        Invalidate();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

// --- Painting ---

UINT CButtonUI::CurrentState() const {
  UINT state = m_uButtonState & ~static_cast<UINT>(kUIStateFocused | kUIStateDisabled);
  if (IsFocused()) state |= kUIStateFocused;
  if (!IsEnabled()) state |= kUIStateDisabled;
  return state;
}

bool CButtonUI::DrawImageAtAlpha(HDC hDC, UIImageDrawInfo& record, BYTE alpha) {
  if (!DrawImage(nullptr, record)) return false;  // loads and parses the description once
  const BYTE own = record.uFade;
  record.uFade = static_cast<BYTE>(own * alpha / 255);
  const bool drawn = DrawImage(hDC, record);
  record.uFade = own;
  return drawn;
}

void CButtonUI::PaintStatusImage(HDC hDC) {
  m_uButtonState = CurrentState();
  PaintButtonStatusImage(hDC, m_uButtonState);
}

void CButtonUI::PaintButtonStatusImage(HDC hDC, UINT state) {
  ApplyFiveStatusFrames();
  bool done = false;
  if ((state & kUIStateDisabled) != 0) {
    done = !m_diDisabled.sDrawString.IsEmpty() && DrawImage(hDC, m_diDisabled);
  } else if ((state & kUIStatePushed) != 0) {
    done = (!m_diPushed.sDrawString.IsEmpty() && DrawImage(hDC, m_diPushed)) || DrawImage(hDC, m_diNormal);
  } else if ((state & kUIStateHot) != 0) {
    if (m_uFadeDelta != 0) {
      if (m_uFadeAlphaStep != 0) DrawImageAtAlpha(hDC, m_diNormal, m_uFadeAlphaStep);
      DrawImageAtAlpha(hDC, m_diHot, static_cast<BYTE>(255 - m_uFadeAlphaStep));
    } else if (m_diHot.sDrawString.IsEmpty() || !DrawImage(hDC, m_diHot)) {
      DrawImage(hDC, m_diNormal);
    }
    if (!m_diHotFore.sDrawString.IsEmpty() && DrawImage(hDC, m_diHotFore)) return;
    if (m_dwHotBkColor != 0) {
      CDrawEngine::FillColor(hDC, m_rcPaint, ApplyHslToColor(m_dwHotBkColor));
      return;
    }
    done = true;
  } else if ((state & kUIStateFocused) != 0) {
    done = !m_diFocused.sDrawString.IsEmpty() && DrawImage(hDC, m_diFocused);
  }
  if (!done) {
    if (m_uFadeDelta != 0 && m_uFadeAlphaStep < 255) {
      DrawImageAtAlpha(hDC, m_diHot, static_cast<BYTE>(255 - m_uFadeAlphaStep));
      DrawImageAtAlpha(hDC, m_diNormal, m_uFadeAlphaStep);
    } else {
      DrawImage(hDC, m_diNormal);
    }
  }
  if (!m_diFore.sDrawString.IsEmpty()) DrawImage(hDC, m_diFore);
}

void CButtonUI::PaintText(HDC hDC) { PaintButtonText(hDC, CurrentState()); }

void CButtonUI::PaintButtonText(HDC hDC, UINT state) {
  ApplyDefaultColors();
  if (m_sText.IsEmpty()) return;
  DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  if ((state & kUIStatePushed) != 0 && m_dwPushedTextColor != 0) {
    color = m_dwPushedTextColor;
  } else if ((state & kUIStateHot) != 0 && m_dwHotTextColor != 0) {
    color = m_dwHotTextColor;
  } else if ((state & kUIStateFocused) != 0 && m_dwFocusedTextColor != 0) {
    color = m_dwFocusedTextColor;
  }
  DrawLabelText(hDC, GetTextRect(), color);
}

}  // namespace Trellis

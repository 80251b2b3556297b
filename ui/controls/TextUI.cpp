#include "ui/controls/TextUI.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

CTextUI::CTextUI() {
  m_uTextStyle = DT_WORDBREAK;
  m_rcTextPadding.left = 2;
  m_rcTextPadding.right = 2;
}

CTextUI::~CTextUI() = default;

const UIChar* CTextUI::GetClassName() const { return UI_TEXT("Text"); }

void* CTextUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("Text")) == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CTextUI::SetText(const UIChar* text) {
  const bool changed = m_sText.DiffersFromText(text != nullptr ? text : UI_TEXT(""));
  CLabelUI::SetText(text);
  if (!changed) return;
  m_nLinks = 0;
  m_nHoverLink = -1;
}

UINT CTextUI::GetControlFlags() const { return IsEnabled() && m_nLinks > 0 ? kUIFlagSetCursor : 0u; }

CUIRect CTextUI::GetLinkRect(int index) const {
  return index >= 0 && index < m_nLinks ? m_rcLinks[index] : CUIRect();
}

CUIString CTextUI::GetLinkContent(int index) const {
  return index >= 0 && index < m_nLinks ? m_sLinks[index] : CUIString();
}

int CTextUI::HitTestLink(CUIPoint point) const {
  const POINT pt = {point.x, point.y};
  for (int i = 0; i < m_nLinks; ++i) {
    if (::PtInRect(AsRECT(&m_rcLinks[i]), pt)) return i;
  }
  return -1;
}

void CTextUI::HandleEvent(UIEvent& event) {
  if (ForwardMouseEventWhileDisabled(event)) return;
  switch (event.Type) {
    case kUIEventSetCursor:
      if (HitTestLink(event.ptMouse) >= 0) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
      }
      break;
    case kUIEventButtonDown:
    case kUIEventDoubleClick:
      if (IsEnabled() && HitTestLink(event.ptMouse) >= 0) {
        Invalidate();
        return;
      }
      break;
    case kUIEventButtonUp:
      if (IsEnabled()) {
        const int hit = HitTestLink(event.ptMouse);
        if (hit >= 0) {
          // Last: the handler may delete this control.
          if (m_pManager != nullptr) {
            m_pManager->SendNotify(this, UI_TEXT("link"), static_cast<WPARAM>(hit), 0);
          }
          return;
        }
      }
      break;
    case kUIEventContextMenu:
      return;
    case kUIEventMouseMove:
      if (IsEnabled() && m_nLinks > 0) {
        const int hit = HitTestLink(event.ptMouse);
        if (hit != m_nHoverLink) {
          m_nHoverLink = hit;
          Invalidate();
        }
        return;
      }
      break;
    case kUIEventMouseLeave:
      if (IsEnabled() && m_nLinks > 0 && m_nHoverLink >= 0) {
        const POINT pt = {event.ptMouse.x, event.ptMouse.y};
        if (m_nHoverLink < m_nLinks && ::PtInRect(AsRECT(&m_rcLinks[m_nHoverLink]), pt)) {
          if (m_pManager != nullptr) m_pManager->AddMouseLeaveListener(this);
        } else {
          m_nHoverLink = -1;
          Invalidate();
          if (m_pManager != nullptr) m_pManager->RemoveMouseLeaveListener(this);
        }
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::HandleEvent(event);
}

void CTextUI::PaintText(HDC hDC) {
  if (m_sText.IsEmpty()) {
    m_nLinks = 0;
    return;
  }
  ApplyDefaultColors();
  const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  CUIRect rc = GetTextRect();
  if (m_bShowHtml) {
    int count = kMaxLinkRects;
    CDrawEngine::DrawMarkupText(hDC, m_pManager, rc, m_sText.GetText(), color, m_rcLinks, m_sLinks, count, m_iFont,
                                m_uTextStyle);
    m_nLinks = count;
  } else {
    CDrawEngine::DrawPlainText(hDC, m_pManager, rc, m_sText.GetText(), color, m_iFont, m_uTextStyle);
    m_nLinks = 0;
  }
}

}  // namespace Trellis

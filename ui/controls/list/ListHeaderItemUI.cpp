#include "ui/controls/list/ListHeaderItemUI.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/controls/HotState.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

bool Contains(const UIChar* text, const UIChar* word) { return CUIString(text).FindText(word) >= 0; }

bool IsInside(const CUIRect& rc, CUIPoint pt) {
  POINT p = {pt.x, pt.y};
  return ::PtInRect(AsRECT(&rc), p) != FALSE;
}

}  // namespace

CListHeaderItemUI::CListHeaderItemUI() { SetMinWidth(16); }

const UIChar* CListHeaderItemUI::GetClassName() const { return UI_TEXT("ListHeaderItem"); }

void* CListHeaderItemUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("ListHeaderItem"))) return static_cast<CListHeaderItemUI*>(this);
  return CControlUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetControlFlags() const { return (IsEnabled() && m_iSepWidth != 0) ? static_cast<UINT>(kUIFlagSetCursor) : 0u; }

void CListHeaderItemUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!IsEnabled()) m_uButtonState = 0;
}

CUIRect CListHeaderItemUI::GetThumbRect() const {
  if (m_iSepWidth >= 0) return CUIRect(m_rcItem.right - m_iSepWidth, m_rcItem.top, m_rcItem.right, m_rcItem.bottom);
  return CUIRect(m_rcItem.left, m_rcItem.top, m_rcItem.left - m_iSepWidth, m_rcItem.bottom);
}

void CListHeaderItemUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    if (m_pParent != nullptr) {
      m_pParent->HandleEvent(event);
    } else {
      CControlUI::HandleEvent(event);
    }
    return;
  }
  if (event.Type == kUIEventSetFocus || event.Type == kUIEventKillFocus) Invalidate();
  switch (event.Type) {
    case kUIEventMouseMove: {
      if ((m_uButtonState & kUIStateCaptured) == 0) return;
      const int width = m_rcItem.GetWidth();
      const int moved = event.ptMouse.x - m_ptLastMouse.x;
      const int wanted = m_iSepWidth >= 0 ? width + moved : width - moved;
      // The column never gets narrower than its minimum: the drag stops
      // there, and the anchor follows so the separator stays under the
      // point where the width stopped.
      const int newWidth = wanted < GetMinWidth() ? GetMinWidth() : wanted;
      if (newWidth == width) return;
      const int applied = newWidth - width;
      m_ptLastMouse.x += m_iSepWidth >= 0 ? applied : -applied;
      m_ptLastMouse.y = event.ptMouse.y;
      SetFixedWidth(newWidth);
      if (m_pParent != nullptr) m_pParent->RequestParentLayout();
      return;
    }
    case kUIEventButtonDown:
    case kUIEventDoubleClick: {
      if (!IsEnabled()) return;
      if (m_bDragable && IsInside(GetThumbRect(), event.ptMouse)) {
        m_uButtonState |= kUIStateCaptured;
        m_ptLastMouse = event.ptMouse;
        return;
      }
      if (IsInside(GetThumbRect(), event.ptMouse)) return;
      m_uButtonState |= kUIStatePushed;
      if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("headerclick"));
      Invalidate();
      return;
    }
    case kUIEventButtonUp:
      if ((m_uButtonState & kUIStateCaptured) != 0) {
        m_uButtonState &= ~static_cast<UINT>(kUIStateCaptured);
        if (m_pParent != nullptr) m_pParent->RequestParentLayout();
      } else if ((m_uButtonState & kUIStatePushed) != 0) {
        m_uButtonState &= ~static_cast<UINT>(kUIStatePushed);
        Invalidate();
      }
      return;
    case kUIEventSetCursor:
      if (IsEnabled() && m_bDragable && IsInside(GetThumbRect(), event.ptMouse)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
        return;
      }
      break;
    case kUIEventMouseEnter:
    case kUIEventMouseLeave:
      TrackHotState(*this, event, m_uButtonState);
      return;
    default:
      break;
  }
  CControlUI::HandleEvent(event);
}

void CListHeaderItemUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (Is(name, UI_TEXT("dragable"))) {
    SetDragable(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("sepwidth"))) {
    SetSepWidth(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("align"))) {
    if (Contains(value, UI_TEXT("left"))) m_uTextStyle &= ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
    if (Contains(value, UI_TEXT("center"))) {
      m_uTextStyle &= ~static_cast<UINT>(DT_RIGHT);
      m_uTextStyle |= DT_CENTER;
    }
    if (Contains(value, UI_TEXT("right"))) {
      m_uTextStyle &= ~static_cast<UINT>(DT_CENTER);
      m_uTextStyle |= DT_RIGHT;
    }
  } else if (Is(name, UI_TEXT("valign"))) {
    if (Contains(value, UI_TEXT("top"))) m_uTextStyle &= ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM);
    if (Contains(value, UI_TEXT("vcenter"))) {
      m_uTextStyle &= ~static_cast<UINT>(DT_BOTTOM);
      m_uTextStyle |= DT_VCENTER;
    }
    if (Contains(value, UI_TEXT("bottom"))) {
      m_uTextStyle &= ~static_cast<UINT>(DT_VCENTER);
      m_uTextStyle |= DT_BOTTOM;
    }
  } else if (Is(name, UI_TEXT("endellipsis"))) {
    if (ParseAttributeBool(value)) {
      m_uTextStyle |= DT_END_ELLIPSIS;
    } else {
      m_uTextStyle &= ~static_cast<UINT>(DT_END_ELLIPSIS);
    }
  } else if (Is(name, UI_TEXT("multiline"))) {
    if (ParseAttributeBool(value)) {
      m_uTextStyle &= ~static_cast<UINT>(DT_SINGLELINE);
      m_uTextStyle |= DT_WORDBREAK;
    } else {
      m_uTextStyle |= DT_SINGLELINE;
    }
  } else if (Is(name, UI_TEXT("font"))) {
    SetFont(ParseAttributeInt(value));
  } else if (Is(name, UI_TEXT("textcolor"))) {
    SetTextColor(ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("textpadding"))) {
    SetTextPadding(ParseAttributeRect(value));
  } else if (Is(name, UI_TEXT("showhtml"))) {
    SetShowHtml(ParseAttributeBool(value));
  } else if (Is(name, UI_TEXT("normalimage"))) {
    SetNormalImage(value);
  } else if (Is(name, UI_TEXT("hotimage"))) {
    SetHotImage(value);
  } else if (Is(name, UI_TEXT("pushedimage"))) {
    SetPushedImage(value);
  } else if (Is(name, UI_TEXT("focusedimage"))) {
    SetFocusedImage(value);
  } else if (Is(name, UI_TEXT("sepimage"))) {
    SetSepImage(value);
  } else if (Is(name, UI_TEXT("sepcolor"))) {
    SetSepColor(ParseAttributeColor(value));
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

CUISize CListHeaderItemUI::EstimateSize(CUISize available) {
  if (m_cxyFixed.cy != 0) return CControlUI::EstimateSize(available);
  const UIFontInfo* font = m_pManager != nullptr ? m_pManager->GetDefaultFontInfo() : nullptr;
  return CUISize(m_cxyFixed.cx, (font != nullptr ? font->tm.tmHeight : 0) + 8);
}

void CListHeaderItemUI::PaintStatusImage(HDC hDC) {
  if (IsFocused()) {
    m_uButtonState |= kUIStateFocused;
  } else {
    m_uButtonState &= ~static_cast<UINT>(kUIStateFocused);
  }
  static const CStateImages::Slot kOrder[] = {CStateImages::kPushed, CStateImages::kHot, CStateImages::kFocused};
  m_images.Draw(*this, hDC, CStateImages::Choose(m_uButtonState, kOrder, 3));
  if (m_iSepWidth > 0) {
    const CUIRect band = GetThumbRect();
    m_diSep.rcDest = CUIRect(band.left - m_rcItem.left, band.top - m_rcItem.top, band.right - m_rcItem.left,
                             band.bottom - m_rcItem.top);
    if (!DrawImage(hDC, m_diSep) && m_dwSepColor != 0) {
      const int x = band.left + m_iSepWidth / 2;
      CDrawEngine::DrawLine(hDC, CUIRect(x, band.top, x, band.bottom), m_iSepWidth, ApplyHslToColor(m_dwSepColor));
    }
  }
}

void CListHeaderItemUI::PaintText(HDC hDC) {
  if (m_dwTextColor == 0 && m_pManager != nullptr) m_dwTextColor = m_pManager->GetDefaultFontColor();
  if (m_sText.IsEmpty()) return;
  CUIRect rc = m_rcItem;
  rc.left += m_rcTextPadding.left;
  rc.top += m_rcTextPadding.top;
  rc.right -= m_rcTextPadding.right;
  rc.bottom -= m_rcTextPadding.bottom;
  if (m_bShowHtml) {
    int links = 0;
    CDrawEngine::DrawMarkupText(hDC, m_pManager, rc, m_sText.GetText(), m_dwTextColor, nullptr, nullptr, links,
                                m_iFont, m_uTextStyle);
  } else {
    CDrawEngine::DrawPlainText(hDC, m_pManager, rc, m_sText.GetText(), m_dwTextColor, m_iFont, m_uTextStyle);
  }
}

// --- Setters ---

void CListHeaderItemUI::SetDragable(bool dragable) {
  m_bDragable = dragable;
  if (!dragable) m_uButtonState &= ~static_cast<UINT>(kUIStateCaptured);
}

void CListHeaderItemUI::SetSepWidth(int width) { m_iSepWidth = width; }

void CListHeaderItemUI::SetTextColor(DWORD color) {
  m_dwTextColor = color;
  Invalidate();
}

void CListHeaderItemUI::SetSepColor(DWORD color) {
  m_dwSepColor = color;
  Invalidate();
}

void CListHeaderItemUI::SetFont(int font) { m_iFont = font; }

void CListHeaderItemUI::SetTextPadding(CUIRect padding) {
  m_rcTextPadding = padding;
  Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool showHtml) {
  if (m_bShowHtml == showHtml) return;
  m_bShowHtml = showHtml;
  Invalidate();
}

void CListHeaderItemUI::SetImage(UIImageDrawInfo& image, const UIChar* description) {
  if (image.sDrawString.EqualsText(description != nullptr ? description : UI_TEXT("")) && image.bLoaded) return;
  image.Clear();
  image.sDrawString.AssignText(description);
  Invalidate();
}

void CListHeaderItemUI::SetNormalImage(const UIChar* description) {
  if (m_images.Set(CStateImages::kNormal, description)) Invalidate();
}
void CListHeaderItemUI::SetHotImage(const UIChar* description) {
  if (m_images.Set(CStateImages::kHot, description)) Invalidate();
}
void CListHeaderItemUI::SetPushedImage(const UIChar* description) {
  if (m_images.Set(CStateImages::kPushed, description)) Invalidate();
}
void CListHeaderItemUI::SetFocusedImage(const UIChar* description) {
  if (m_images.Set(CStateImages::kFocused, description)) Invalidate();
}
void CListHeaderItemUI::SetSepImage(const UIChar* description) { SetImage(m_diSep, description); }

}  // namespace Trellis

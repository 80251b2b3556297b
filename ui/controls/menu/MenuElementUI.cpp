#include "ui/controls/menu/MenuElementUI.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/controls/menu/MenuWnd.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/UIImageInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool IsMenuElement(CControlUI* control) {
  return control != nullptr && control->GetInterface(UI_TEXT("MenuElement")) != nullptr;
}

bool IsTrue(const UIChar* value) { return value != nullptr && UITextCompare(value, UI_TEXT("true")) == 0; }

CUIRect Intersect(const CUIRect& a, const CUIRect& b) {
  CUIRect rc(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
             a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
  return rc;
}

}  // namespace

CMenuElementUI::CMenuElementUI() {
  m_cxyFixed = CUISize(130, 30);
}

CMenuElementUI::~CMenuElementUI() {
  // Deleted with its sub-menu open: the sub-items come back now, before the
  // container deletes them, and the window forgets this item.
  if (m_pSubMenuWnd != nullptr) m_pSubMenuWnd->OwnerGone();
}

const UIChar* CMenuElementUI::GetClassName() const { return UI_TEXT("MenuElementUI"); }

void* CMenuElementUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompareNoCase(name, UI_TEXT("MenuElement")) == 0) return this;
  return CListContainerElementUI::GetInterface(name);
}

// --- Children ---

bool CMenuElementUI::AddItem(CControlUI* control) { return AddItemAt(control, GetCount()); }

bool CMenuElementUI::AddItemAt(CControlUI* control, int index) {
  if (!CListContainerElementUI::AddItemAt(control, index)) return false;
  if (IsMenuElement(control)) control->SetInheritedVisible(false);
  return true;
}

int CMenuElementUI::GetSubItemCount() const {
  int count = 0;
  for (int i = 0; i < GetCount(); ++i) {
    if (IsMenuElement(GetItemAt(i))) ++count;
  }
  return count;
}

int CMenuElementUI::ShowSubItems() {
  int count = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!IsMenuElement(child)) continue;
    child->SetVisible(true);
    child->SetInheritedVisible(true);
    ++count;
  }
  return count;
}

void CMenuElementUI::ClearPushed() {
  m_uButtonState &= ~static_cast<UINT>(kUIStatePushed);
  Invalidate();
}

HWND CMenuElementUI::GetPaintWindow() const {
  return m_pManager != nullptr ? m_pManager->GetPaintWindow() : nullptr;
}

// --- Layout and hit tests: sub-items left out ---

void CMenuElementUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  const CUIRect area(m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top, m_rcItem.right - m_rcInset.right,
                     m_rcItem.bottom - m_rcInset.bottom);
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (IsMenuElement(child) || !child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
    } else {
      child->SetPos(area, false);
    }
  }
}

void CMenuElementUI::Move(CUISize offset, bool invalidate) {
  CControlUI::Move(offset, invalidate);
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!IsMenuElement(child) && child->IsVisible()) child->Move(offset, false);
  }
}

CControlUI* CMenuElementUI::FindControl(UIFindControlProc proc, void* data, UINT flags) {
  if ((flags & kUIFindHitTest) == 0) return CListContainerElementUI::FindControl(proc, data, flags);
  if (!PassesFindFilters(proc, data, flags)) return nullptr;
  const bool meFirst = (flags & kUIFindMeFirst) != 0;
  const bool offerSelf = IsMouseEnabled();
  if (meFirst && offerSelf) {
    if (CControlUI* found = proc(this, data)) return found;
  }
  if (IsMouseChildEnabled()) {
    const int count = GetCount();
    const bool lastFirst = (flags & kUIFindTopFirst) != 0;
    for (int n = 0; n < count; ++n) {
      CControlUI* child = GetItemAt(lastFirst ? count - 1 - n : n);
      if (IsMenuElement(child)) continue;
      if (CControlUI* found = child->FindControl(proc, data, flags)) return found;
    }
  }
  if (meFirst || !offerSelf) return nullptr;
  return proc(this, data);
}

// --- Setters ---

void CMenuElementUI::SetIcon(const UIChar* description) { m_icon.SetDescription(description); }

void CMenuElementUI::SetIconSize(int width, int height) {
  m_nIconWidth = width;
  m_nIconHeight = height;
}

void CMenuElementUI::SetCheckItem(bool checkItem) { m_bCheckItem = checkItem; }

void CMenuElementUI::SetShowExpandArrow(bool show) { m_bShowExpandArrow = show; }

void CMenuElementUI::SetLineColor(DWORD color) { m_dwLineColor = color; }

void CMenuElementUI::SetLinePadding(CUIRect padding) { m_rcLinePadding = padding; }

void CMenuElementUI::MakeSeparator() {
  m_bDrawLine = true;
  if (m_cxyFixed.cy == 0 || m_cxyFixed.cy == 30) m_cxyFixed.cy = 6;
  SetMouseChildEnabled(false);
  SetMouseEnabled(false);
  SetEnabled(false);
}

// --- Check state ---

bool CMenuElementUI::IsChecked() const {
  if (!m_bCheckItem) return false;
  const CMenuCheckMap* map = CMenuWnd::GetMenuObserver().GetCheckMap();
  if (map == nullptr || map->empty()) return false;
  const auto found = map->find(m_sName.GetText());
  return found != map->end() && found->second;
}

void CMenuElementUI::SetChecked(bool checked) {
  if (!m_bCheckItem) return;
  CMenuCheckMap* map = CMenuWnd::GetMenuObserver().GetCheckMap();
  if (map == nullptr) return;
  (*map)[m_sName.GetText()] = checked;
}

// --- Attributes ---

void CMenuElementUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (UITextCompare(name, UI_TEXT("icon")) == 0) {
    SetIcon(value);
  } else if (UITextCompare(name, UI_TEXT("iconsize")) == 0) {
    int32_t size[2] = {0, 0};
    ParseAttributeIntList(value, size, 2);
    SetIconSize(size[0], size[1]);
  } else if (UITextCompare(name, UI_TEXT("checkitem")) == 0) {
    SetCheckItem(IsTrue(value));
  } else if (UITextCompare(name, UI_TEXT("ischeck")) == 0) {
    // Only a first state: one kept in the map survives re-opening the menu.
    const CMenuCheckMap* map = CMenuWnd::GetMenuObserver().GetCheckMap();
    if (map != nullptr && map->find(m_sName.GetText()) == map->end()) SetChecked(IsTrue(value));
  } else if (UITextCompare(name, UI_TEXT("linetype")) == 0) {
    if (IsTrue(value)) MakeSeparator();
  } else if (UITextCompare(name, UI_TEXT("expand")) == 0) {
    SetShowExpandArrow(IsTrue(value));
  } else if (UITextCompare(name, UI_TEXT("linecolor")) == 0) {
    SetLineColor(ParseAttributeColor(value));
  } else if (UITextCompare(name, UI_TEXT("linepadding")) == 0) {
    SetLinePadding(ParseAttributeRect(value));
  } else if (UITextCompare(name, UI_TEXT("height")) == 0) {
    SetFixedHeight(ParseAttributeInt(value));
  } else {
    CListContainerElementUI::SetAttribute(name, value);
  }
}

// --- Events ---

void CMenuElementUI::OpenSubMenu() {
  if (m_pSubMenuWnd != nullptr) return;
  CMenuWnd* window = new CMenuWnd();
  m_pSubMenuWnd = window;
  CMenuWnd::GetMenuObserver().Broadcast(2, GetPaintWindow());
  if (!window->Init(this, UIResourceRef(UI_TEXT("")), 0, 0, nullptr, nullptr, 6)) {
    m_pSubMenuWnd = nullptr;
    delete window;  // no window was made, so no last message will delete it
  }
}

void CMenuElementUI::OpenOrCloseSubMenus(bool select) {
  if (m_pSubMenuWnd != nullptr) return;
  if (ShowSubItems() > 0) {
    if (select && m_pOwner != nullptr) m_pOwner->SelectItem(m_iIndex, true, true);
    OpenSubMenu();
  } else {
    CMenuWnd::GetMenuObserver().Broadcast(2, GetPaintWindow());
    if (select && m_pOwner != nullptr) m_pOwner->SelectItem(m_iIndex, true, true);
  }
}

void CMenuElementUI::Choose() {
  if (!IsEnabled() || m_pSubMenuWnd != nullptr) return;
  if (ShowSubItems() > 0) {
    OpenSubMenu();
    return;
  }
  SetChecked(!IsChecked());
  ObserverImpl& observer = CMenuWnd::GetMenuObserver();
  CWindowManagerUI* owner = observer.GetManager();
  const HWND window = GetPaintWindow();
  if (owner != nullptr) {
    CMenuWnd::SetClickedItemName(m_sName.GetText());
    ::PostMessageW(owner->GetPaintWindow(), WM_APP_MENU_CLICK, 0, IsChecked() ? 1 : 0);
  }
  observer.Broadcast(1, window);
}

void CMenuElementUI::HandleEvent(UIEvent& event) {
  switch (event.Type) {
    case kUIEventMouseEnter:
      CListContainerElementUI::HandleEvent(event);
      OpenOrCloseSubMenus(true);
      return;
    case kUIEventButtonUp:
      if (!IsEnabled()) return;  // a disabled item ignores the release
      CListContainerElementUI::HandleEvent(event);
      Choose();
      return;
    case kUIEventKeyDown:
      if (event.chKey == VK_RIGHT) {
        OpenOrCloseSubMenus(true);
        return;
      }
      break;
    default:
      break;
  }
  CListContainerElementUI::HandleEvent(event);
}

// --- Size and painting ---

CUISize CMenuElementUI::EstimateSize(CUISize available) {
  CUISize size;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (child == nullptr || !child->IsVisible()) continue;
    const CUISize childSize = child->EstimateSize(available);
    size.cy += childSize.cy;
    if (childSize.cx > size.cx) size.cx = childSize.cx;
  }
  if (size.cy == 0 && m_pOwner != nullptr && m_pManager != nullptr) {
    const UIListInfo* info = m_pOwner->GetListInfo();
    const CUIRect padding = info->rcTextPadding;
    const int width = available.cx > m_cxyFixed.cx ? available.cx : m_cxyFixed.cx;
    CUIRect rc(0, 0, width - padding.left - padding.right, 9999);
    const UINT style = DT_CALCRECT | info->uTextStyle;
    if (info->bShowHtml) {
      int links = 0;
      CDrawEngine::DrawMarkupText(m_pManager->GetPaintDC(), m_pManager, rc, m_sText.GetText(), 0, nullptr, nullptr,
                                  links, info->iFont, style);
    } else {
      CDrawEngine::DrawPlainText(m_pManager->GetPaintDC(), m_pManager, rc, m_sText.GetText(), 0, info->iFont, style);
    }
    size.cx = rc.GetWidth() + padding.left + padding.right + 20;
    size.cy = rc.GetHeight() + padding.top + padding.bottom;
  }
  if (m_cxyFixed.cy != 0) size.cy = m_cxyFixed.cy;
  if (size.cx < m_cxyFixed.cx) size.cx = m_cxyFixed.cx;
  // Stored as they are: the setters would ask the parent for a new layout,
  // and the layout that asks for this estimate would then never settle.
  m_cxyFixed = size;
  return size;
}

void CMenuElementUI::DrawItemText(HDC hDC, const CUIRect& rcItem) {
  if (m_sText.IsEmpty() || m_pOwner == nullptr) return;
  const UIListInfo* info = m_pOwner->GetListInfo();
  DWORD color = info->dwTextColor;
  if ((m_uButtonState & kUIStateHot) != 0) color = info->dwHotTextColor;
  if (IsSelected()) color = info->dwSelectedTextColor;
  if (!IsEnabled()) color = info->dwDisabledTextColor;
  CUIRect rc(rcItem.left + info->rcTextPadding.left, rcItem.top + info->rcTextPadding.top,
             rcItem.right - info->rcTextPadding.right, rcItem.bottom - info->rcTextPadding.bottom);
  const UINT style = info->uTextStyle | DT_SINGLELINE;
  if (info->bShowHtml) {
    int links = 0;
    CDrawEngine::DrawMarkupText(hDC, m_pManager, rc, m_sText.GetText(), color, nullptr, nullptr, links, info->iFont,
                                style);
  } else {
    CDrawEngine::DrawPlainText(hDC, m_pManager, rc, m_sText.GetText(), color, info->iFont, style);
  }
}

bool CMenuElementUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  const CUIRect paint = Intersect(rcPaint, m_rcItem);
  if (paint.left >= paint.right || paint.top >= paint.bottom) return true;
  if (m_bDrawLine) {
    const int y = m_rcItem.top + m_cxyFixed.cy / 2;
    const CUIRect line(m_rcItem.left + m_rcLinePadding.left, y, m_rcItem.right - m_rcLinePadding.right, y);
    CDrawEngine::DrawLine(hDC, line, 1, m_dwLineColor);
    return true;
  }
  DrawItemBk(hDC, m_rcItem);
  DrawItemText(hDC, m_rcItem);
  if (m_pManager != nullptr && m_icon.IsUsable() && (!m_bCheckItem || IsChecked())) {
    // The icon is centred in a 26-pixel column; for a check item it is the check mark.
    const int left = m_rcItem.left + (26 - m_nIconWidth) / 2;
    const int top = m_rcItem.top + (m_cxyFixed.cy - m_nIconHeight) / 2;
    const CUIRect rc(left, top, left + m_nIconWidth, top + m_nIconHeight);
    if (m_icon.EnsureLoaded(m_pManager)) CDrawEngine::DrawImageAttribute(hDC, m_pManager, rc, paint, m_icon);
  }
  if (m_bShowExpandArrow && m_pManager != nullptr) {
    if (!m_expandArrow.IsUsable()) {
      const UIChar* fallback = m_pManager->GetDefaultAttributeList(UI_TEXT("ExpandIcon"));
      if (fallback != nullptr) m_expandArrow.SetDescription(fallback);
    }
    if (m_expandArrow.IsUsable() && m_expandArrow.EnsureLoaded(m_pManager) &&
        m_expandArrow.GetLoadedImage() != nullptr) {
      const UIImageInfo* image = m_expandArrow.GetLoadedImage();
      const int left = m_rcItem.left + m_cxyFixed.cx - 20 + (20 - image->nX) / 2;
      const int top = m_rcItem.top + (m_cxyFixed.cy - image->nY) / 2;
      const CUIRect rc(left, top, left + image->nX, top + image->nY);
      CDrawEngine::DrawImageAttribute(hDC, m_pManager, rc, paint, m_expandArrow);
    }
  }
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (child == nullptr || IsMenuElement(child) || !child->IsVisible()) continue;
    if (!child->Paint(hDC, paint, pStopControl)) return false;
  }
  return true;
}

}  // namespace Trellis

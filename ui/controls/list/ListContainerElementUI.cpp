#include "ui/controls/list/ListContainerElementUI.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

}  // namespace

CListContainerElementUI::CListContainerElementUI() = default;

CListContainerElementUI::~CListContainerElementUI() {
  if (m_pLifeGuard != nullptr) m_pLifeGuard->MarkDestroyed();
}

// --- IListItemUI ---

int CListContainerElementUI::GetIndex() const { return m_iIndex; }
void CListContainerElementUI::SetIndex(int index) { m_iIndex = index; }
int CListContainerElementUI::GetDrawIndex() const { return m_iDrawIndex; }
void CListContainerElementUI::SetDrawIndex(int index) { m_iDrawIndex = index; }
IListOwnerUI* CListContainerElementUI::GetOwner() { return m_pOwner; }

void CListContainerElementUI::SetOwner(CControlUI* owner) {
  if (owner == nullptr) return;
  m_pOwner = static_cast<IListOwnerUI*>(owner->GetInterface(UI_TEXT("IListOwner")));
}

bool CListContainerElementUI::IsSelected() const { return m_bSelected; }

bool CListContainerElementUI::Select(bool select, bool takeFocus) {
  // A disabled item cannot be selected, but it can always be deselected.
  if (select && !IsEnabled()) return false;
  if (m_bSelected == select) return true;
  m_bSelected = select;
  if (select && m_pOwner != nullptr) {
    CListItemLifeGuard guard(this, &m_pLifeGuard);
    const bool accepted = m_pOwner->SelectItem(m_iIndex, takeFocus, true);
    if (guard.IsGone()) return accepted;
    if (!accepted) m_bSelected = false;
    InvalidateItem();
    return accepted;
  }
  InvalidateItem();
  return true;
}

bool CListContainerElementUI::IsExpanded() const { return m_bExpanded; }

bool CListContainerElementUI::Expand(bool expand) {
  if (m_pOwner == nullptr) return false;
  if (m_bExpanded == expand) return true;
  m_bExpanded = expand;
  if (!m_bExpandable) return true;
  CListItemLifeGuard guard(this, &m_pLifeGuard);
  if (!m_pOwner->ExpandItem(m_iIndex, expand)) {
    // A refused change leaves the item as it was.
    if (!guard.IsGone()) m_bExpanded = !expand;
    return false;
  }
  if (guard.IsGone()) return true;
  if (m_pManager != nullptr) m_pManager->SendNotify(this, expand ? UI_TEXT("itemexpand") : UI_TEXT("itemcollapse"));
  return true;
}

void CListContainerElementUI::DrawItemText(HDC, const CUIRect&) {}

// --- CControlUI ---

const UIChar* CListContainerElementUI::GetClassName() const { return UI_TEXT("ListContainerElement"); }

void* CListContainerElementUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("ListContainerElement"))) return static_cast<CListContainerElementUI*>(this);
  if (name != nullptr && Is(name, UI_TEXT("IListItem"))) return static_cast<IListItemUI*>(this);
  return CContainerUI::GetInterface(name);
}

UINT CListContainerElementUI::GetControlFlags() const { return 0; }

bool CListContainerElementUI::Activate() {
  if (!CContainerUI::Activate()) return false;
  if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("itemactivate"));
  return true;
}

void CListContainerElementUI::SetVisible(bool visible) {
  CContainerUI::SetVisible(visible);
  if (!IsVisible() && m_bSelected) {
    m_bSelected = false;
    if (m_pOwner != nullptr) m_pOwner->SelectItem(-1, false, true);
  }
}

void CListContainerElementUI::SetEnabled(bool enabled) {
  CContainerUI::SetEnabled(enabled);
  if (!IsEnabled()) m_uButtonState = 0;
}

void CListContainerElementUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    if (m_pOwner != nullptr) {
      m_pOwner->HandleItemEvent(event);
    } else {
      CContainerUI::HandleEvent(event);
    }
    return;
  }
  if (event.Type == kUIEventDoubleClick ||
      (event.Type == kUIEventKeyDown && event.chKey == VK_RETURN && IsKeyboardEnabled())) {
    if (IsEnabled()) {
      CListItemLifeGuard guard(this, &m_pLifeGuard);
      Activate();
      if (!guard.IsGone()) InvalidateItem();
    }
    if (event.Type == kUIEventDoubleClick || IsEnabled()) return;
  }
  if (event.Type == kUIEventButtonDown || event.Type == kUIEventRightButtonDown) {
    if (!IsEnabled()) return;
    CListItemLifeGuard guard(this, &m_pLifeGuard);
    if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("itemclick"));
    // An "itemclick" handler may rebuild the list: nothing touches an item
    // it deleted or took out.
    if (guard.IsGone()) return;
    Select(true, true);
    if (guard.IsGone()) return;
    InvalidateItem();
    return;
  }
  if (event.Type == kUIEventButtonUp || event.Type == kUIEventMouseMove) return;
  if (HandleListItemHot(this, event, m_uButtonState)) return;
  if (m_pOwner != nullptr) {
    m_pOwner->HandleItemEvent(event);
  } else {
    CControlUI::HandleEvent(event);
  }
}

void CListContainerElementUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (Is(name, UI_TEXT("selected"))) {
    Select(true, true);  // the value is not looked at
  } else if (Is(name, UI_TEXT("expandable"))) {
    m_bExpandable = ParseAttributeBool(value);
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

CUISize CListContainerElementUI::EstimateSize(CUISize) {
  int height = m_cxyFixed.cy;
  if (height == 0) {
    UIListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    height = info != nullptr ? info->iItemHeight : 0;
  }
  return CUISize(m_cxyFixed.cx, height);
}

bool CListContainerElementUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  DrawItemBk(hDC, m_rcItem);
  return CContainerUI::PaintContent(hDC, rcPaint, pStopControl);
}

// --- Helpers ---

void CListContainerElementUI::DrawItemBk(HDC hDC, const CUIRect&) {
  if (m_pOwner == nullptr) return;
  UIListInfo* info = m_pOwner->GetListInfo();
  if (info == nullptr) return;
  DrawListItemBk(this, hDC, *info, m_diBk, m_uButtonState, m_bSelected, m_iDrawIndex);
}

void CListContainerElementUI::InvalidateItem() { InvalidateListItem(this); }

}  // namespace Trellis

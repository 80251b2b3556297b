#include "ui/controls/list/ListElementUI.h"

#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

}  // namespace

CListElementUI::CListElementUI() = default;

CListElementUI::~CListElementUI() {
  if (m_pLifeGuard != nullptr) m_pLifeGuard->MarkDestroyed();
}

// --- IListItemUI ---

int CListElementUI::GetIndex() const { return m_iIndex; }
void CListElementUI::SetIndex(int index) { m_iIndex = index; }
int CListElementUI::GetDrawIndex() const { return m_iDrawIndex; }
void CListElementUI::SetDrawIndex(int index) { m_iDrawIndex = index; }
IListOwnerUI* CListElementUI::GetOwner() { return m_pOwner; }

void CListElementUI::SetOwner(CControlUI* owner) {
  if (owner == nullptr) return;
  m_pOwner = static_cast<IListOwnerUI*>(owner->GetInterface(UI_TEXT("IListOwner")));
}

bool CListElementUI::IsSelected() const { return m_bSelected; }

bool CListElementUI::Select(bool select, bool takeFocus) {
  // A disabled item cannot be selected, but it can always be deselected, so
  // the owner's selection and the item's flag never disagree for long.
  if (select && !IsEnabled()) return false;
  if (m_bSelected == select) return true;
  m_bSelected = select;
  if (select && m_pOwner != nullptr) {
    CListItemLifeGuard guard(this, &m_pLifeGuard);
    const bool accepted = m_pOwner->SelectItem(m_iIndex, takeFocus, true);
    // An "itemselect" handler may have deleted the item.
    if (guard.IsGone()) return accepted;
    if (!accepted) m_bSelected = false;
    InvalidateItem();
    return accepted;
  }
  InvalidateItem();
  return true;
}

bool CListElementUI::IsExpanded() const { return false; }
bool CListElementUI::Expand(bool) { return false; }
void CListElementUI::DrawItemText(HDC, const CUIRect&) {}

// --- CControlUI ---

const UIChar* CListElementUI::GetClassName() const { return UI_TEXT("ListElement"); }

void* CListElementUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("ListElement"))) return static_cast<CListElementUI*>(this);
  if (name != nullptr && Is(name, UI_TEXT("IListItem"))) return static_cast<IListItemUI*>(this);
  return CControlUI::GetInterface(name);
}

UINT CListElementUI::GetControlFlags() const { return 0; }

bool CListElementUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("itemactivate"));
  return true;
}

void CListElementUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  if (!IsVisible() && m_bSelected) {
    m_bSelected = false;
    if (m_pOwner != nullptr) m_pOwner->SelectItem(-1, false, true);
  }
}

void CListElementUI::SetEnabled(bool enabled) {
  CControlUI::SetEnabled(enabled);
  if (!IsEnabled()) m_uButtonState = 0;
}

void CListElementUI::HandleEvent(UIEvent& event) {
  if (IsMouseEnabled() || !IsMouseEventKind(event.Type)) {
    if (event.Type == kUIEventDoubleClick) {
      if (IsEnabled()) {
        CListItemLifeGuard guard(this, &m_pLifeGuard);
        Activate();
        if (!guard.IsGone()) InvalidateItem();
      }
      return;
    }
    if (event.Type == kUIEventKeyDown && event.chKey == VK_RETURN && IsKeyboardEnabled() && IsEnabled()) {
      CListItemLifeGuard guard(this, &m_pLifeGuard);
      Activate();
      if (!guard.IsGone()) InvalidateItem();
      return;
    }
  }
  if (m_pOwner != nullptr) {
    m_pOwner->HandleItemEvent(event);
  } else {
    CControlUI::HandleEvent(event);
  }
}

void CListElementUI::SetAttribute(const UIChar* name, const UIChar* value) {
  // The value is not looked at: "selected" with any value selects.
  if (Is(name, UI_TEXT("selected"))) {
    Select(true, true);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

bool CListElementUI::PaintContent(HDC hDC, const CUIRect&, CControlUI*) {
  DrawItemBk(hDC, m_rcItem);
  DrawItemText(hDC, m_rcItem);
  return true;
}

// --- Helpers ---

void CListElementUI::DrawItemBk(HDC hDC, const CUIRect&) {
  if (m_pOwner == nullptr) return;
  UIListInfo* info = m_pOwner->GetListInfo();
  if (info == nullptr) return;
  DrawListItemBk(this, hDC, *info, m_diBk, m_uButtonState, m_bSelected, m_iDrawIndex);
}

void CListElementUI::InvalidateItem() { InvalidateListItem(this); }

}  // namespace Trellis

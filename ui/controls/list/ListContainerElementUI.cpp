#include "ui/controls/list/ListContainerElementUI.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

}  // namespace

CListContainerElementUI::CListContainerElementUI() = default;

CListContainerElementUI::~CListContainerElementUI() = default;

// --- IListItemUI ---

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
    if (IsEnabled()) ActivateAndRepaint();
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

}  // namespace Trellis

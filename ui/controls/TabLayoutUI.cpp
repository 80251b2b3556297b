#include "ui/controls/TabLayoutUI.h"

#include <algorithm>

#include "ui/control/portable/AttributeText.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

CTabLayoutUI::CTabLayoutUI() = default;

const UIChar* CTabLayoutUI::GetClassName() const { return UI_TEXT("TabLayout"); }

void* CTabLayoutUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("TabLayout")) == 0) return this;
  return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::AddItem(CControlUI* control) {
  // The container's AddItem would come back through AddItemAt; an append is
  // an insertion at the end, handled there once.
  return AddItemAt(control, GetCount());
}

bool CTabLayoutUI::AddItemAt(CControlUI* control, int index) {
  if (!CContainerUI::AddItemAt(control, index)) return false;
  if (m_iCurSel == -1 && control->IsVisible()) {
    m_iCurSel = GetItemIndex(control);
  } else {
    control->SetVisible(false);
    if (m_iCurSel != -1 && index <= m_iCurSel) ++m_iCurSel;
  }
  return true;
}

bool CTabLayoutUI::RemoveItem(CControlUI* control, bool keep) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  return RemoveItemAt(index, keep);
}

bool CTabLayoutUI::RemoveItemAt(int index, bool keep) {
  // Qualified: the container's RemoveItem would come back here.
  if (!CContainerUI::RemoveItemAt(index, keep)) return false;
  if (index == m_iCurSel) {
    if (GetCount() > 0) {
      m_iCurSel = 0;
      GetItemAt(0)->SetVisible(true);
    } else {
      m_iCurSel = -1;
    }
    RequestParentLayout();
  } else if (index < m_iCurSel) {
    --m_iCurSel;
  }
  return true;
}

void CTabLayoutUI::RemoveAllItems() {
  m_iCurSel = -1;
  CContainerUI::RemoveAllItems();
  RequestParentLayout();
}

bool CTabLayoutUI::SelectItem(int index, bool notify) {
  if (index < 0 || index >= GetCount()) return false;
  if (index == m_iCurSel) return true;
  const int previous = m_iCurSel;
  m_iCurSel = index;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* page = GetItemAt(i);
    if (i == index) {
      page->SetVisible(true);
      page->SetFocus();
    } else {
      page->SetVisible(false);
    }
  }
  RequestParentLayout();
  if (m_pManager != nullptr) {
    m_pManager->FocusNextTabStop(true);
    // Last: the handler may rebuild the tree.
    if (notify) {
      m_pManager->SendNotify(this, UI_TEXT("tabselect"), static_cast<WPARAM>(index),
                             static_cast<LPARAM>(previous));
    }
  }
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control, bool notify) {
  const int index = GetItemIndex(control);
  if (index < 0) return false;
  return SelectItem(index, notify);
}

void CTabLayoutUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (UITextCompare(name, UI_TEXT("selectedid")) == 0) SelectItem(ParseAttributeInt(value), true);
  CContainerUI::SetAttribute(name, value);
}

void CTabLayoutUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  CUIRect area(m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top, m_rcItem.right - m_rcInset.right,
               m_rcItem.bottom - m_rcInset.bottom);
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    if (i != m_iCurSel) continue;
    const CUIRect padding = child->GetPadding();
    const int availableWidth = std::max<int>(0, area.GetWidth() - padding.left - padding.right);
    const int availableHeight = std::max<int>(0, area.GetHeight() - padding.top - padding.bottom);
    CUISize size = child->EstimateSize(CUISize(availableWidth, availableHeight));
    if (size.cx == 0) size.cx = availableWidth;
    if (size.cy == 0) size.cy = availableHeight;
    // The maximum wins over the minimum.
    size.cx = std::min<int>(std::max<int>(size.cx, child->GetMinWidth()), child->GetMaxWidth());
    size.cy = std::min<int>(std::max<int>(size.cy, child->GetMinHeight()), child->GetMaxHeight());
    const int left = area.left + padding.left;
    const int top = area.top + padding.top;
    child->SetPos(CUIRect(left, top, left + size.cx, top + size.cy), false);
  }
}

}  // namespace Trellis

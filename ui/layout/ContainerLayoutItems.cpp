#include "ui/layout/ContainerLayoutItems.h"

#include "ui/control/ScrollBarUI.h"

namespace Trellis {

int CContainerLayoutItems::GetItemCount() const { return m_container.GetCount(); }

UILayoutChild CContainerLayoutItems::GetItem(int index) const {
  UILayoutChild item;
  const CControlUI* child = m_container.GetItemAt(index);
  if (child == nullptr) {
    item.visible = false;
    return item;
  }
  item.padding = child->GetPadding();
  item.fixedWidth = child->GetFixedWidth();
  item.fixedHeight = child->GetFixedHeight();
  item.minWidth = child->GetMinWidth();
  item.minHeight = child->GetMinHeight();
  item.maxWidth = child->GetMaxWidth();
  item.maxHeight = child->GetMaxHeight();
  item.visible = child->IsVisible();
  item.floating = child->IsFloat();
  return item;
}

CUISize CContainerLayoutItems::EstimateItem(int index, CUISize available) {
  CControlUI* child = m_container.GetItemAt(index);
  return child != nullptr ? child->EstimateSize(available) : CUISize();
}

void CContainerLayoutItems::PlaceItem(int index, const CUIRect& rc) {
  if (CControlUI* child = m_container.GetItemAt(index)) child->SetPos(rc, false);
}

void CContainerLayoutItems::PlaceFloatingItem(int index) { m_container.SetFloatPos(index); }

UILayoutScroll ReadLayoutScroll(const CContainerUI& container) {
  UILayoutScroll scroll;
  if (const CScrollBarUI* bar = container.GetHorizontalScrollBar()) {
    scroll.hBarVisible = bar->IsVisible();
    scroll.hRange = bar->GetScrollRange();
    scroll.hPos = bar->GetScrollPos();
  }
  if (const CScrollBarUI* bar = container.GetVerticalScrollBar()) {
    scroll.vBarVisible = bar->IsVisible();
    scroll.vRange = bar->GetScrollRange();
    scroll.vPos = bar->GetScrollPos();
  }
  return scroll;
}

}  // namespace Trellis

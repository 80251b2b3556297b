#pragma once

// Adapts a container's children to the layout arithmetic (IUILayoutItems)
// and reads the container's area and scroll state for it.
#include "ui/control/ContainerUI.h"
#include "ui/layout/portable/LayoutItems.h"

namespace Trellis {

class CContainerLayoutItems : public IUILayoutItems {
 public:
  explicit CContainerLayoutItems(CContainerUI& container) : m_container(container) {}

  // IUILayoutItems:
  int GetItemCount() const override;
  UILayoutChild GetItem(int index) const override;
  CUISize EstimateItem(int index, CUISize available) override;
  // SetPos without invalidation (the container's own placement invalidates).
  void PlaceItem(int index, const CUIRect& rc) override;
  void PlaceFloatingItem(int index) override;

 private:
  CContainerUI& m_container;  // borrowed for the layout pass
};

// The state of the container's visible scroll bars.
UILayoutScroll ReadLayoutScroll(const CContainerUI& container);

}  // namespace Trellis

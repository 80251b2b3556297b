#pragma once

// What the layouts need to know of the children they place, without the
// controls themselves: the layout arithmetic works on this interface, so it
// runs (and is tested) without a window; ui/layout/ContainerLayoutItems.h
// adapts a container's children to it.
#include <cstdint>

#include "ui/base/portable/UIGeometry.h"

namespace Trellis {

// One child's sizing rules as a layout reads them.
struct UILayoutChild {
  CUIRect padding;         // margins left, top, right, bottom
  int32_t fixedWidth = 0;  // 0 = automatic
  int32_t fixedHeight = 0;
  int32_t minWidth = 0;
  int32_t minHeight = 0;
  int32_t maxWidth = 9999;   // already the larger of maximum and minimum
  int32_t maxHeight = 9999;
  bool visible = true;
  bool floating = false;
};

class IUILayoutItems {
 public:
  virtual int GetItemCount() const = 0;
  virtual UILayoutChild GetItem(int index) const = 0;
  // The child's size for the given limits (its EstimateSize).
  virtual CUISize EstimateItem(int index, CUISize available) = 0;
  // Places a non-floating child at rc (window coordinates), without invalidating.
  virtual void PlaceItem(int index, const CUIRect& rc) = 0;
  // Places a floating child by its own float placement.
  virtual void PlaceFloatingItem(int index) = 0;

 protected:
  ~IUILayoutItems() = default;
};

// The state of the container's scroll bars that the arithmetic reads.
struct UILayoutScroll {
  bool hBarVisible = false;
  int32_t hRange = 0;
  int32_t hPos = 0;
  bool vBarVisible = false;
  int32_t vRange = 0;
  int32_t vPos = 0;
};

}  // namespace Trellis

#pragma once

// The two passes of the stacking layouts: the vertical one stacks children
// top to bottom, the horizontal one left to right. Hidden children take no
// part; floating ones are placed by their own placement and take no space.
// Automatic children (no fixed size along the axis) share what the fixed
// ones leave; the last automatic child takes the rounding remainder.
#include "ui/layout/portable/LayoutItems.h"

namespace Trellis {

struct UIStackLayoutParams {
  CUIRect area;             // the position less the inset and the visible bars
  int32_t childPadding = 0; // space between neighbours
  uint32_t align = 0;       // across the axis: vertical layout 0 left / 1 centre / 2 right;
                            // horizontal layout 0 top / 4 centre / 8 bottom
  UILayoutScroll scroll;
};

// Places the children; returns the size the content needs (for the scroll bars).
CUISize LayOutVertical(IUILayoutItems& items, const UIStackLayoutParams& params);
CUISize LayOutHorizontal(IUILayoutItems& items, const UIStackLayoutParams& params);

}  // namespace Trellis

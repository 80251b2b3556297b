#pragma once

// The grid of the tile layout: equal cells of the item size, as many columns
// as fit (or as configured), the column gap spread over the spare width when
// none is set. Every child keeps the cell of its index among all children,
// so hidden and floating children leave their cells empty.
#include "ui/layout/portable/LayoutItems.h"

namespace Trellis {

struct UITileLayoutParams {
  CUIRect area;              // the position less the inset and the visible bars
  int32_t top = 0;           // position top + inset top (rows start here)
  CUISize itemSize;          // cell width and height
  int32_t columns = 0;       // configured columns; 0 = as many as fit
  int32_t columnGap = 0;     // the container's child padding
  int32_t rowGap = 0;        // "childvpadding"
  uint32_t align = 0;        // 0 left, 1 centre, 2 right within the cell
  uint32_t valign = 0;       // 0 top, 4 centre, 8 bottom within the cell
  UILayoutScroll scroll;
};

struct UITileLayoutResult {
  int32_t columns = 1;
  int32_t rows = 0;
  CUISize needed;            // the size the content needs (for the scroll bars)
};

UITileLayoutResult LayOutTile(IUILayoutItems& items, const UITileLayoutParams& params);

}  // namespace Trellis

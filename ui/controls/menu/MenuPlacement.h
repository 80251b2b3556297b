#pragma once

// Where menu windows go on the screen: the arithmetic only, in screen
// coordinates, with no window calls, so every edge case can be checked with
// made-up work areas.
#include "ui/base/portable/UIGeometry.h"

namespace Trellis {

class CMenuPlacement {
 public:
  // Alignment bits of a top-level menu relative to its base point.
  static constexpr unsigned kAlignLeft = 2;     // left edge at the point
  static constexpr unsigned kAlignTop = 4;      // top edge at the point
  static constexpr unsigned kAlignRight = 8;    // right edge at the point
  static constexpr unsigned kAlignBottom = 0x10;  // bottom edge at the point
  static constexpr unsigned kAlignDefault = kAlignLeft | kAlignTop;

  // The rectangle of a top-level menu of `size` at `point` by its alignment;
  // it is not moved into the work area (the opener chooses the alignment
  // that fits) and not shrunk.
  static CUIRect PlaceTopLevel(CUIPoint point, CUISize size, unsigned alignment);

  // The rectangle of a sub-menu `width` wide and `height` high beside its
  // parent menu window `parent`, level with the owner item whose screen top is
  // `ownerTop`. `reachRight` / `reachBottom` say that the chain of menus
  // already runs to the left of / above its parent, so this one continues that
  // way. Flips up at the work area's bottom and to the left at its right edge;
  // one pixel is added to the width for the border. Does not clip.
  static CUIRect PlaceSubMenu(UICoord ownerTop, UICoord width, UICoord height, const CUIRect& parent,
                              bool reachRight, bool reachBottom, const CUIRect& workArea);
};

}  // namespace Trellis

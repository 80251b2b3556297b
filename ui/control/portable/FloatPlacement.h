#pragma once

// The arithmetic of floating placement: a floating control is placed
// relative to its parent by four fractions of the parent's width and height
// plus its fixed position and size, and a placement given to it is turned
// back into those fixed values. Shared by the control base (covers) and the
// containers.
#include "ui/base/portable/UIGeometry.h"

namespace Trellis {

// Fractions of the parent's width (left, right) and height (top, bottom).
struct UIFloatPercent {
  double left = 0.0;
  double top = 0.0;
  double right = 0.0;
  double bottom = 0.0;
};

// The fixed placement values of a floating control.
struct UIFloatFixed {
  int32_t x = 0;       // fixed position x
  int32_t y = 0;       // fixed position y
  int32_t width = 0;   // fixed width
  int32_t height = 0;  // fixed height
};

// The rectangle, relative to the parent, of a floating child of a parent of
// the given width and height: (W*left + x, H*top + y, W*right + width + x,
// H*bottom + height + y), each product truncated toward zero.
CUIRect ComputeFloatRect(int32_t parentWidth, int32_t parentHeight, const UIFloatPercent& percent,
                         const UIFloatFixed& fixed);

// The fixed values that reproduce the relative rectangle rc inside a parent
// of the given size: x = rc.left - W*left, y = rc.top - H*top,
// width = rc.right - W*right - x, height = rc.bottom - H*bottom - y.
UIFloatFixed ComputeFloatFixed(const CUIRect& rc, int32_t parentWidth, int32_t parentHeight,
                               const UIFloatPercent& percent);

// Points inside a rectangle as the platform tests them: left and top
// inclusive, right and bottom exclusive.
bool RectContainsPoint(const CUIRect& rc, const CUIPoint& pt);
// True when the rectangle has no area (width or height 0 or below).
bool RectIsEmpty(const CUIRect& rc);
// The intersection into *out; false (and *out all zero) when it is empty, as
// the platform's IntersectRect does.
bool IntersectRects(CUIRect* out, const CUIRect& a, const CUIRect& b);
// The union of two rectangles where an empty one counts as nothing, as the
// platform's UnionRect does.
CUIRect UnionRects(const CUIRect& a, const CUIRect& b);

}  // namespace Trellis

#pragma once

#include <cstdint>

namespace Trellis {

// The coordinate type of the platform's RECT, SIZE and POINT (LONG, 32-bit on
// Windows), so the framework's geometry has their layout exactly; see
// ui/UIGeometryWin.h for the conversions.
#ifdef _WIN32
using UICoord = long;
#else
using UICoord = int32_t;
#endif
static_assert(sizeof(UICoord) == 4, "geometry is 32-bit");

// A rectangle with the layout of RECT. Nothing normalises it: an inverted
// rectangle has a negative width or height.
struct CUIRect {
  UICoord left;
  UICoord top;
  UICoord right;
  UICoord bottom;

  CUIRect() : left(0), top(0), right(0), bottom(0) {}
  CUIRect(UICoord l, UICoord t, UICoord r, UICoord b) : left(l), top(t), right(r), bottom(b) {}

  UICoord GetWidth() const { return right - left; }
  UICoord GetHeight() const { return bottom - top; }
  // Takes the smaller left/top and the larger right/bottom of both, with no
  // test for empty rectangles (a union with 0,0,0,0 stretches to the origin).
  void Union(const CUIRect& other) {
    if (other.left < left) left = other.left;
    if (other.top < top) top = other.top;
    if (other.right > right) right = other.right;
    if (other.bottom > bottom) bottom = other.bottom;
  }
  void Offset(UICoord dx, UICoord dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  // Moves the rectangle so that left and top are 0, keeping its size.
  void MoveToOrigin() { Offset(-left, -top); }
};

// A size with the layout of SIZE.
struct CUISize {
  UICoord cx;
  UICoord cy;

  CUISize() : cx(0), cy(0) {}
  CUISize(UICoord width, UICoord height) : cx(width), cy(height) {}
};

// A point with the layout of POINT.
struct CUIPoint {
  UICoord x;
  UICoord y;

  CUIPoint() : x(0), y(0) {}
  CUIPoint(UICoord px, UICoord py) : x(px), y(py) {}
};

}  // namespace Trellis

#pragma once
// The framework's rectangle, size and point, laid out as the platform's, and
// their wrap-around arithmetic.

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

// Sum and difference that wrap as 32-bit machine arithmetic does: coordinates
// come from skin text and may be any 32-bit number, where signed overflow
// would be undefined.
inline UICoord UICoordAdd(UICoord a, UICoord b) {
  return static_cast<UICoord>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline UICoord UICoordSubtract(UICoord a, UICoord b) {
  return static_cast<UICoord>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// A rectangle with the layout of RECT. Nothing normalises it: an inverted
// rectangle has a negative width or height.
struct CUIRect {
  UICoord left;
  UICoord top;
  UICoord right;
  UICoord bottom;

  CUIRect() : left(0), top(0), right(0), bottom(0) {}
  CUIRect(UICoord l, UICoord t, UICoord r, UICoord b) : left(l), top(t), right(r), bottom(b) {}

  UICoord GetWidth() const { return UICoordSubtract(right, left); }
  UICoord GetHeight() const { return UICoordSubtract(bottom, top); }
  // Takes the smaller left/top and the larger right/bottom of both, with no
  // test for empty rectangles (a union with 0,0,0,0 stretches to the origin).
  void Union(const CUIRect& other) {
    if (other.left < left) left = other.left;
    if (other.top < top) top = other.top;
    if (other.right > right) right = other.right;
    if (other.bottom > bottom) bottom = other.bottom;
  }
  void Offset(UICoord dx, UICoord dy) {
    left = UICoordAdd(left, dx);
    right = UICoordAdd(right, dx);
    top = UICoordAdd(top, dy);
    bottom = UICoordAdd(bottom, dy);
  }
  // Moves the rectangle so that left and top are 0, keeping its size.
  void MoveToOrigin() { Offset(UICoordSubtract(0, left), UICoordSubtract(0, top)); }
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

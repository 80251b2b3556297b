#include "ui/layout/portable/SeparatorDrag.h"

namespace Trellis {

namespace {

int32_t Sat(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

CUIRect SeparatorBand(const CUIRect& rc, int32_t sepSize, bool horizontal) {
  const int64_t size = sepSize;
  if (horizontal) {
    if (size > 0) return CUIRect(Sat(rc.right - size), rc.top, rc.right, rc.bottom);
    if (size < 0) return CUIRect(rc.left, rc.top, Sat(rc.left - size), rc.bottom);
    return CUIRect();
  }
  if (size > 0) {
    const int64_t top = rc.bottom - size;
    return CUIRect(rc.left, top > rc.top ? Sat(top) : rc.top, rc.right, rc.bottom);
  }
  if (size < 0) {
    const int64_t bottom = rc.top - size;
    return CUIRect(rc.left, rc.top, rc.right, bottom < rc.bottom ? Sat(bottom) : rc.bottom);
  }
  return CUIRect();
}

bool ApplySeparatorMove(CUIRect& rc, int32_t sepSize, bool horizontal, int32_t delta, int32_t pointer,
                        int32_t minSize, int32_t maxSize) {
  if (sepSize == 0 || delta == 0) return false;
  UICoord& start = horizontal ? rc.left : rc.top;
  UICoord& end = horizontal ? rc.right : rc.bottom;
  const int64_t band = sepSize > 0 ? sepSize : -static_cast<int64_t>(sepSize);
  // The edge follows the pointer only once the pointer has reached the
  // band: a move towards the edge from behind the band is ignored. Both
  // orientations measure from the band's inner edge (end - band); measuring
  // the vertical band from end + band instead would ignore every downward
  // move that starts on the band, so the layout could never be made taller.
  UICoord& edge = sepSize > 0 ? end : start;
  if (sepSize > 0) {
    if (delta > 0 && pointer < end - band) return false;
    if (delta < 0 && pointer > end) return false;
  } else {
    if (delta > 0 && pointer < start) return false;
    if (delta < 0 && pointer > start + band) return false;
  }
  const int64_t current = static_cast<int64_t>(end) - start;
  const int64_t moved = sepSize > 0 ? current + delta : current - delta;
  int64_t target = moved;
  if (moved <= minSize) {
    if (current <= minSize) return false;
    target = minSize;
  }
  if (moved >= maxSize) {
    if (current >= maxSize) return false;
    target = maxSize;
  }
  if (sepSize > 0) {
    edge = Sat(static_cast<int64_t>(start) + target);
  } else {
    edge = Sat(static_cast<int64_t>(end) - target);
  }
  return true;
}

}  // namespace Trellis

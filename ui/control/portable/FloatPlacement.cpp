#include "ui/control/portable/FloatPlacement.h"

#include "ui/control/portable/AttributeText.h"

namespace Trellis {

CUIRect ComputeFloatRect(int32_t parentWidth, int32_t parentHeight, const UIFloatPercent& percent,
                         const UIFloatFixed& fixed) {
  const int32_t left = UICoordAdd(ScaleByFraction(parentWidth, percent.left), fixed.x);
  const int32_t top = UICoordAdd(ScaleByFraction(parentHeight, percent.top), fixed.y);
  const int32_t right = UICoordAdd(UICoordAdd(ScaleByFraction(parentWidth, percent.right), fixed.width), fixed.x);
  const int32_t bottom =
      UICoordAdd(UICoordAdd(ScaleByFraction(parentHeight, percent.bottom), fixed.height), fixed.y);
  return CUIRect(left, top, right, bottom);
}

UIFloatFixed ComputeFloatFixed(const CUIRect& rc, int32_t parentWidth, int32_t parentHeight,
                               const UIFloatPercent& percent) {
  UIFloatFixed fixed;
  fixed.x = UICoordSubtract(rc.left, ScaleByFraction(parentWidth, percent.left));
  fixed.y = UICoordSubtract(rc.top, ScaleByFraction(parentHeight, percent.top));
  fixed.width = UICoordSubtract(UICoordSubtract(rc.right, ScaleByFraction(parentWidth, percent.right)), fixed.x);
  fixed.height = UICoordSubtract(UICoordSubtract(rc.bottom, ScaleByFraction(parentHeight, percent.bottom)), fixed.y);
  return fixed;
}

bool RectContainsPoint(const CUIRect& rc, const CUIPoint& pt) {
  return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

bool RectIsEmpty(const CUIRect& rc) { return rc.right <= rc.left || rc.bottom <= rc.top; }

bool IntersectRects(CUIRect* out, const CUIRect& a, const CUIRect& b) {
  CUIRect r(a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
            a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom);
  if (RectIsEmpty(r)) r = CUIRect();
  *out = r;
  return !RectIsEmpty(r);
}

CUIRect UnionRects(const CUIRect& a, const CUIRect& b) {
  if (RectIsEmpty(a)) return RectIsEmpty(b) ? CUIRect() : b;
  if (RectIsEmpty(b)) return a;
  CUIRect r = a;
  r.Union(b);
  return r;
}

}  // namespace Trellis

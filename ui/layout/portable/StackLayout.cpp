#include "ui/layout/portable/StackLayout.h"

namespace Trellis {

namespace {

// Layout sums run in 64 bits (sizes come from skin text) and are brought
// back to coordinates with saturation.
int32_t Sat(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int64_t Min64(int64_t a, int64_t b) { return a < b ? a : b; }
int64_t Max64(int64_t a, int64_t b) { return a > b ? a : b; }

// The axis-neutral view of a child: "main" runs along the stack, "cross"
// across it, so one pair of passes serves both layouts.
struct AxisChild {
  int64_t padBefore, padAfter;            // along the axis
  int64_t padCrossBefore, padCrossAfter;  // across
  int64_t fixedMain, fixedCross;
  int64_t minMain, minCross;
  int64_t maxMain, maxCross;
};

AxisChild ToAxis(const UILayoutChild& c, bool horizontal) {
  AxisChild a;
  if (horizontal) {
    a = {c.padding.left, c.padding.right, c.padding.top, c.padding.bottom, c.fixedWidth, c.fixedHeight,
         c.minWidth,     c.minHeight,     c.maxWidth,    c.maxHeight};
  } else {
    a = {c.padding.top, c.padding.bottom, c.padding.left, c.padding.right, c.fixedHeight, c.fixedWidth,
         c.minHeight,   c.minWidth,       c.maxHeight,    c.maxWidth};
  }
  return a;
}

CUISize FromAxis(int64_t main, int64_t cross, bool horizontal) {
  return horizontal ? CUISize(Sat(main), Sat(cross)) : CUISize(Sat(cross), Sat(main));
}

int64_t MainOf(const CUISize& s, bool horizontal) { return horizontal ? s.cx : s.cy; }
int64_t CrossOf(const CUISize& s, bool horizontal) { return horizontal ? s.cy : s.cx; }

CUISize LayOutStack(IUILayoutItems& items, const UIStackLayoutParams& p, bool horizontal) {
  const CUIRect& rc = p.area;
  const UILayoutScroll& s = p.scroll;
  // Along and across the stack: start, end, and the bar that scrolls each way.
  const int64_t mainStart = horizontal ? rc.left : rc.top;
  const int64_t crossStart = horizontal ? rc.top : rc.left;
  const int64_t crossEnd = horizontal ? rc.bottom : rc.right;
  const bool mainBar = horizontal ? s.hBarVisible : s.vBarVisible;
  const int64_t mainRange = horizontal ? s.hRange : s.vRange;
  const int64_t mainPos = horizontal ? s.hPos : s.vPos;
  const bool crossBar = horizontal ? s.vBarVisible : s.hBarVisible;
  const int64_t crossRange = horizontal ? s.vRange : s.hRange;
  const int64_t crossPos = horizontal ? s.vPos : s.hPos;
  const int64_t availMain = (horizontal ? rc.GetWidth() : rc.GetHeight()) + (mainBar ? mainRange : 0);
  const int64_t availCross = (horizontal ? rc.GetHeight() : rc.GetWidth()) + (crossBar ? crossRange : 0);
  const int64_t padding = p.childPadding;
  const int count = items.GetItemCount();

  auto limits = [&](const AxisChild& a, int64_t mainRoom) {
    const int64_t crossRoom = availCross - a.padCrossBefore - a.padCrossAfter;
    const int64_t crossLimit = Min64(crossRoom, a.fixedCross >= 1 ? a.fixedCross : a.maxCross);
    const int64_t mainLimit = Min64(mainRoom, a.fixedMain >= 1 ? a.fixedMain : a.maxMain);
    return FromAxis(mainLimit, crossLimit, horizontal);
  };

  // First pass: what the fixed children take and how many share the rest.
  int automatic = 0;
  int placed = 0;
  int64_t fixedTotal = 0;
  int64_t neededCross = 0;
  for (int i = 0; i < count; ++i) {
    const UILayoutChild child = items.GetItem(i);
    if (!child.visible || child.floating) continue;
    const AxisChild a = ToAxis(child, horizontal);
    int64_t sizeMain = 0;
    int64_t sizeCross = 0;
    if (horizontal && a.fixedMain == 0) {
      // A horizontal child without fixed width is automatic unasked.
      sizeCross = a.fixedCross;
    } else {
      const CUISize est = items.EstimateItem(i, limits(a, availMain));
      sizeMain = MainOf(est, horizontal);
      sizeCross = CrossOf(est, horizontal);
    }
    if (sizeMain == 0) {
      ++automatic;
    } else {
      sizeMain = Min64(Max64(sizeMain, a.minMain), a.maxMain);
    }
    fixedTotal += a.padBefore + sizeMain + a.padAfter;
    sizeCross = Min64(Max64(Max64(sizeCross, 0), a.minCross), a.maxCross);
    neededCross = Max64(neededCross, a.padCrossBefore + a.padCrossAfter + sizeCross);
    ++placed;
  }
  // No placed child means no gaps: padding between none adds nothing.
  if (placed > 0) fixedTotal += padding * (placed - 1);

  const int64_t share = automatic > 0 ? Max64((availMain - fixedTotal) / automatic, 0) : 0;

  // Second pass: place them.
  int64_t cursor = mainStart - (mainBar ? mainPos : 0);
  int64_t remaining = availMain;
  int64_t fixedRemaining = fixedTotal;
  int64_t neededMain = 0;
  int adjusted = 0;
  int automaticSeen = 0;
  for (int i = 0; i < count; ++i) {
    const UILayoutChild child = items.GetItem(i);
    if (!child.visible) continue;
    if (child.floating) {
      items.PlaceFloatingItem(i);
      continue;
    }
    const AxisChild a = ToAxis(child, horizontal);
    ++adjusted;
    remaining -= a.padBefore;
    const CUISize limit = limits(a, remaining);
    fixedRemaining -= a.padBefore + a.padAfter;
    if (adjusted > 1) fixedRemaining -= padding;
    const CUISize est = items.EstimateItem(i, limit);
    int64_t size = MainOf(est, horizontal);
    const bool isAutomatic = horizontal ? (a.fixedMain == 0 || size == 0) : size == 0;
    if (isAutomatic) {
      ++automaticSeen;
      size = share;
      // The last automatic child takes the rounding remainder.
      if (automaticSeen == automatic) size = Max64(remaining - a.padAfter - fixedRemaining, 0);
      size = Min64(Max64(size, a.minMain), a.maxMain);
    } else {
      size = Min64(Max64(size, a.minMain), a.maxMain);
      fixedRemaining -= size;
    }

    // Across: the child's maximum (0 = all the room), within the limit,
    // at least its minimum; the estimate is not used.
    int64_t cross = a.maxCross;
    if (cross == 0) cross = availCross - a.padCrossBefore - a.padCrossAfter;
    cross = Max64(cross, 0);
    cross = Min64(cross, CrossOf(limit, horizontal));
    cross = Max64(cross, a.minCross);

    int64_t crossFrom = 0;
    const uint32_t centre = horizontal ? 4u : 1u;
    const uint32_t far = horizontal ? 8u : 2u;
    if (p.align == centre) {
      const int64_t middle = (crossStart + crossEnd) / 2 + (crossBar ? crossRange / 2 - crossPos : 0);
      crossFrom = middle - cross / 2;
    } else if (p.align == far) {
      const int64_t edge = crossEnd + (crossBar ? crossRange - crossPos : 0);
      crossFrom = edge - cross - a.padCrossAfter;
    } else {
      const int64_t edge = crossStart - (crossBar ? crossPos : 0);
      crossFrom = edge + a.padCrossBefore;
    }
    const int64_t mainFrom = cursor + a.padBefore;
    const int64_t mainTo = mainFrom + size;
    const int64_t crossTo = crossFrom + cross;
    if (horizontal) {
      items.PlaceItem(i, CUIRect(Sat(mainFrom), Sat(crossFrom), Sat(mainTo), Sat(crossTo)));
    } else {
      items.PlaceItem(i, CUIRect(Sat(crossFrom), Sat(mainFrom), Sat(crossTo), Sat(mainTo)));
    }
    cursor += a.padBefore + size + a.padAfter + padding;
    neededMain += a.padBefore + size + a.padAfter;
    remaining -= size + padding + a.padAfter;
  }
  if (placed > 0) neededMain += padding * (placed - 1);
  return FromAxis(neededMain, neededCross, horizontal);
}

}  // namespace

CUISize LayOutVertical(IUILayoutItems& items, const UIStackLayoutParams& params) {
  return LayOutStack(items, params, false);
}

CUISize LayOutHorizontal(IUILayoutItems& items, const UIStackLayoutParams& params) {
  return LayOutStack(items, params, true);
}

}  // namespace Trellis

// The separator drag of the stacking layouts and the scroll bar arithmetic,
// without a window.
#include <gtest/gtest.h>

#include "tests/ui/layout/portable/LayoutTestItems.h"
#include "ui/control/portable/FloatPlacement.h"
#include "ui/control/portable/ScrollBarMath.h"
#include "ui/layout/portable/SeparatorDrag.h"

using namespace Trellis;

namespace {

TEST(SeparatorDragTest, BandsAlongTheEdges) {
  const CUIRect rc(10, 20, 110, 220);
  EXPECT_EQ(SeparatorBand(rc, 4, false), CUIRect(10, 216, 110, 220));
  EXPECT_EQ(SeparatorBand(rc, -4, false), CUIRect(10, 20, 110, 24));
  EXPECT_EQ(SeparatorBand(rc, 500, false), CUIRect(10, 20, 110, 220));  // clamped to the rectangle
  EXPECT_EQ(SeparatorBand(rc, 4, true), CUIRect(106, 20, 110, 220));
  EXPECT_EQ(SeparatorBand(rc, -4, true), CUIRect(10, 20, 14, 220));
}

TEST(SeparatorDragTest, ShrinkingStopsAtTheMinimum) {
  // A 100-high layout with a bottom band of 4 and minimum height 50.
  CUIRect rc(0, 0, 200, 100);
  EXPECT_TRUE(ApplySeparatorMove(rc, 4, false, -30, 68, 50, 9999));
  EXPECT_EQ(rc.bottom, 70);
  EXPECT_TRUE(ApplySeparatorMove(rc, 4, false, -30, 38, 50, 9999));
  EXPECT_EQ(rc.bottom, 50);  // clamped: 40 would be below the minimum
  EXPECT_FALSE(ApplySeparatorMove(rc, 4, false, -10, 28, 50, 9999));
  EXPECT_EQ(rc.bottom, 50);  // already at the minimum: further shrinking is ignored
  EXPECT_TRUE(ApplySeparatorMove(rc, 4, false, 20, 58, 50, 9999));
  EXPECT_EQ(rc.bottom, 70);  // growing again works
}

TEST(SeparatorDragTest, SmallMovesFromInsideTheBandFollowThePointer) {
  // A bottom band 96..100: the pointer pressed at 98 and moved 3 down moves
  // the edge 3 down; moving down from above the band does nothing.
  CUIRect rc(0, 0, 200, 100);
  EXPECT_TRUE(ApplySeparatorMove(rc, 4, false, 3, 101, 0, 9999));
  EXPECT_EQ(rc.bottom, 103);
  EXPECT_FALSE(ApplySeparatorMove(rc, 4, false, 3, 60, 0, 9999));
  EXPECT_EQ(rc.bottom, 103);
  // A top band 100..106: pressed at 103, moved 3 up.
  CUIRect top(0, 100, 200, 300);
  EXPECT_TRUE(ApplySeparatorMove(top, -6, false, -3, 100, 0, 9999));
  EXPECT_EQ(top.top, 97);
}

TEST(SeparatorDragTest, GrowingStopsAtTheMaximumAndFollowsThePointer) {
  CUIRect rc(0, 0, 100, 50);
  EXPECT_TRUE(ApplySeparatorMove(rc, 5, true, 3, 99, 0, 120));  // a small move from inside the band
  EXPECT_EQ(rc.right, 103);
  EXPECT_TRUE(ApplySeparatorMove(rc, 5, true, 40, 139, 0, 120));
  EXPECT_EQ(rc.right, 120);
  EXPECT_FALSE(ApplySeparatorMove(rc, 5, true, 5, 144, 0, 120));
  // A move towards the edge from behind the band (the pointer has not caught up) is ignored.
  EXPECT_FALSE(ApplySeparatorMove(rc, 5, true, -3, 130, 0, 120));
  // A top band moves the top edge.
  CUIRect top(0, 100, 50, 200);
  EXPECT_TRUE(ApplySeparatorMove(top, -6, false, -20, 82, 0, 9999));
  EXPECT_EQ(top.top, 80);
  EXPECT_EQ(top.bottom, 200);
}

TEST(ScrollBarMathTest, PartsOfAVerticalBar) {
  // 200 high, thickness 16, both buttons, range 100: track 168, thumb 168 x 200 / 300 = 112.
  const UIScrollBarParts at50 = ComputeScrollBarParts(CUIRect(0, 0, 16, 200), false, 16, true, true, 100, 50);
  EXPECT_EQ(at50.button1, CUIRect(0, 0, 16, 16));
  EXPECT_EQ(at50.button2, CUIRect(0, 184, 16, 200));
  EXPECT_EQ(at50.thumb, CUIRect(0, 44, 16, 156));  // 16 + 56 x 50 / 100
  const UIScrollBarParts end = ComputeScrollBarParts(CUIRect(0, 0, 16, 200), false, 16, true, true, 100, 100);
  EXPECT_EQ(end.thumb.bottom, 184);
  // Range 0: the thumb fills the track.
  const UIScrollBarParts full = ComputeScrollBarParts(CUIRect(0, 0, 16, 200), false, 16, true, true, 0, 0);
  EXPECT_EQ(full.thumb, CUIRect(0, 16, 16, 184));
  // 30 high: no room for a thumb, each button 15 long.
  const UIScrollBarParts tiny = ComputeScrollBarParts(CUIRect(0, 0, 16, 30), false, 16, true, true, 100, 0);
  EXPECT_EQ(tiny.button1, CUIRect(0, 0, 16, 15));
  EXPECT_EQ(tiny.button2, CUIRect(0, 15, 16, 30));
  EXPECT_EQ(tiny.thumb, CUIRect());
  // Horizontal, without buttons.
  const UIScrollBarParts hor = ComputeScrollBarParts(CUIRect(0, 100, 300, 116), true, 16, false, false, 300, 300);
  EXPECT_EQ(hor.thumb, CUIRect(150, 100, 300, 116));
}

TEST(ScrollBarMathTest, HugeRangesDoNotOverflow) {
  const UIScrollBarParts parts =
      ComputeScrollBarParts(CUIRect(0, 0, 16, 2000), false, 16, true, true, INT32_MAX, INT32_MAX);
  EXPECT_EQ(parts.thumb.GetHeight(), 16);
  EXPECT_EQ(parts.thumb.bottom, 1984);
  EXPECT_EQ(ComputeScrollDragOffset(1000, INT32_MAX, 100), INT32_MAX);
  EXPECT_EQ(ComputeScrollDragOffset(30, 300, 150), 60);
  EXPECT_EQ(ComputeScrollDragOffset(30, 300, 0), 0);
}

TEST(ScrollBarMathTest, PositionsRoundToTheUnitThenClamp) {
  struct Case {
    int requested, unit, range, expected;
  } cases[] = {
      {37, 10, 100, 40}, {34, 10, 100, 30}, {-5, 10, 100, 0}, {97, 10, 95, 95},
      {35, 10, 100, 40}, {250, 1, 100, 100}, {7, 0, 100, 7},  {INT32_MAX, 10, INT32_MAX, INT32_MAX},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NormalizeScrollPos(c.requested, c.unit, c.range), c.expected) << c.requested << " unit " << c.unit;
  }
}

TEST(FloatPlacementTest, PlacementAndItsInverse) {
  UIFloatPercent percent;
  percent.left = 0.5;
  percent.right = 0.5;
  const UIFloatFixed fixed = ComputeFloatFixed(CUIRect(10, 0, 30, 20), 200, 100, percent);
  EXPECT_EQ(fixed.x, -90);
  EXPECT_EQ(fixed.width, 20);
  EXPECT_EQ(fixed.height, 20);
  EXPECT_EQ(ComputeFloatRect(200, 100, percent, fixed), CUIRect(10, 0, 30, 20));
  EXPECT_EQ(ComputeFloatRect(400, 100, percent, fixed), CUIRect(110, 0, 130, 20));  // follows the parent's width
}

}  // namespace

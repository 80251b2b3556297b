// The arithmetic of the vertical and horizontal layouts, without a window:
// children are added in one line and their rectangles checked.
#include <gtest/gtest.h>

#include "tests/ui/layout/portable/LayoutTestItems.h"
#include "ui/layout/portable/StackLayout.h"

using namespace Trellis;

namespace {

UIStackLayoutParams Area(int width, int height, int padding = 0) {
  UIStackLayoutParams params;
  params.area = CUIRect(0, 0, width, height);
  params.childPadding = padding;
  return params;
}

TEST(StackLayoutTest, AutomaticChildrenShareWhatFixedOnesLeave) {
  // 300 high, fixed 50 and 60, padding 10: 300 - (50 + 60 + 3 x 10) = 160,
  // shared by two automatic children; at 301 the last one takes the remainder.
  struct Case {
    int height;
    int firstAuto;
    int secondAuto;
  } cases[] = {{300, 80, 80}, {301, 80, 81}};
  for (const Case& c : cases) {
    LayoutTestItems items;
    items.Add(0, 50);
    items.Add(0, 0);
    items.Add(0, 60);
    items.Add(0, 0);
    const CUISize needed = LayOutVertical(items, Area(200, c.height, 10));
    EXPECT_EQ(items.Rect(0).top, 0);
    EXPECT_EQ(items.Rect(0).GetHeight(), 50);
    EXPECT_EQ(items.Rect(1).top, 60);
    EXPECT_EQ(items.Rect(1).GetHeight(), c.firstAuto);
    EXPECT_EQ(items.Rect(2).top, 60 + c.firstAuto + 10);
    EXPECT_EQ(items.Rect(2).GetHeight(), 60);
    EXPECT_EQ(items.Rect(3).GetHeight(), c.secondAuto) << c.height;
    EXPECT_EQ(items.Rect(3).bottom, c.height);
    EXPECT_EQ(needed.cy, c.height);
    // Children without a fixed width span the whole width.
    for (size_t i = 0; i < items.Size(); ++i) EXPECT_EQ(items.Rect(i).GetWidth(), 200);
  }
}

TEST(StackLayoutTest, MinimumHeightOverflowsTheArea) {
  LayoutTestItems items;
  items.Add(0, 250);
  items.Add(0, 0).rules.minHeight = 100;
  const CUISize needed = LayOutVertical(items, Area(200, 300));
  EXPECT_EQ(items.Rect(1).GetHeight(), 100);
  EXPECT_EQ(needed.cy, 350);  // more than the 300 available: the vertical bar is due
}

TEST(StackLayoutTest, HorizontalPlacementOfVerticalLayoutChildren) {
  struct Case {
    uint32_t align;
    CUIRect expected;
  } cases[] = {
      {0, CUIRect(5, 0, 45, 20)},     // left: from the left padding
      {1, CUIRect(80, 0, 120, 20)},   // centre: paddings ignored
      {2, CUIRect(153, 0, 193, 20)},  // right: less the right padding
  };
  for (const Case& c : cases) {
    LayoutTestItems items;
    LayoutTestItems::Child& child = items.Add(40, 20);
    child.rules.padding = CUIRect(5, 0, 7, 0);
    UIStackLayoutParams params = Area(200, 100);
    params.align = c.align;
    LayOutVertical(items, params);
    EXPECT_EQ(items.Rect(0).left, c.expected.left) << c.align;
    EXPECT_EQ(items.Rect(0).right, c.expected.right) << c.align;
  }
}

TEST(StackLayoutTest, HorizontalChildWithoutFixedWidthIsAutomaticWhateverItEstimates) {
  LayoutTestItems items;
  items.Add(100, 0);
  LayoutTestItems::Child& label = items.Add(0, 0);
  label.estimate = CUISize(30, 12);  // a label sizing itself
  const CUISize needed = LayOutHorizontal(items, Area(300, 40, 4));
  EXPECT_EQ(items.Rect(0).GetWidth(), 100);
  EXPECT_EQ(items.Rect(1).left, 104);
  EXPECT_EQ(items.Rect(1).GetWidth(), 196);  // it shares the rest instead of keeping 30
  EXPECT_EQ(items.Rect(1).GetHeight(), 40);
  EXPECT_EQ(needed.cx, 300);
}

TEST(StackLayoutTest, VerticalCentreAndBottomInAHorizontalLayout) {
  struct Case {
    uint32_t valign;
    int top;
  } cases[] = {{0, 3}, {4, 40}, {8, 76}};
  for (const Case& c : cases) {
    LayoutTestItems items;
    items.Add(50, 20).rules.padding = CUIRect(0, 3, 0, 4);
    UIStackLayoutParams params = Area(200, 100);
    params.align = c.valign;
    LayOutHorizontal(items, params);
    EXPECT_EQ(items.Rect(0).top, c.top) << c.valign;
    EXPECT_EQ(items.Rect(0).GetHeight(), 20);
  }
}

TEST(StackLayoutTest, HiddenAndFloatingChildrenTakeNoSpace) {
  LayoutTestItems items;
  items.Add(0, 30).rules.visible = false;
  items.Add(0, 40).rules.floating = true;
  items.Add(0, 50);
  const CUISize needed = LayOutVertical(items, Area(100, 200, 10));
  EXPECT_FALSE(items[0].wasPlaced);
  EXPECT_FALSE(items[0].floatingPlaced);
  EXPECT_TRUE(items[1].floatingPlaced);
  EXPECT_FALSE(items[1].wasPlaced);
  EXPECT_EQ(items.Rect(2).top, 0);
  EXPECT_EQ(needed.cy, 50);
}

TEST(StackLayoutTest, PaddingBetweenNoPlacedChildrenAddsNothing) {
  // Only hidden and floating children: no gaps, so the content needs nothing
  // (a negative need would make a bogus scroll range).
  for (bool horizontal : {false, true}) {
    LayoutTestItems items;
    items.Add(0, 30).rules.visible = false;
    items.Add(20, 20).rules.floating = true;
    const UIStackLayoutParams params = Area(100, 100, 15);
    const CUISize needed = horizontal ? LayOutHorizontal(items, params) : LayOutVertical(items, params);
    EXPECT_EQ(needed.cx, 0) << horizontal;
    EXPECT_EQ(needed.cy, 0) << horizontal;
  }
}

TEST(StackLayoutTest, ScrolledContentIsShiftedAndUsesTheWholeRange) {
  LayoutTestItems items;
  items.Add(0, 0);
  items.Add(0, 100);
  UIStackLayoutParams params = Area(100, 100);
  params.scroll.vBarVisible = true;
  params.scroll.vRange = 150;
  params.scroll.vPos = 40;
  LayOutVertical(items, params);
  // Available height 100 + 150: the automatic child gets 150, from -40.
  EXPECT_EQ(items.Rect(0).top, -40);
  EXPECT_EQ(items.Rect(0).GetHeight(), 150);
  EXPECT_EQ(items.Rect(1).top, 110);
}

TEST(StackLayoutTest, HostileSizesDoNotOverflow) {
  LayoutTestItems items;
  items.Add(0, INT32_MAX);
  items.Add(0, INT32_MAX).rules.padding = CUIRect(INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN);
  items.Add(0, 0).rules.minHeight = INT32_MAX;
  for (size_t i = 0; i < items.Size(); ++i) items[i].rules.maxHeight = INT32_MAX;
  LayOutVertical(items, Area(INT32_MAX, INT32_MAX, INT32_MAX));
  LayOutHorizontal(items, Area(INT32_MAX, INT32_MAX, INT32_MAX));
  SUCCEED();  // the sanitizer build fails on signed overflow
}

}  // namespace

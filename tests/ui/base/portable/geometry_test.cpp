#include <gtest/gtest.h>

#include "tests/ui/base/portable/UITestText.h"
#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIResourceRef.h"

using namespace Trellis;

namespace {

TEST(UIGeometry, RectOperations) {
  struct Case {
    CUIRect a;
    CUIRect b;
    CUIRect united;
  };
  const Case cases[] = {
      {{10, 10, 20, 20}, {0, 0, 0, 0}, {0, 0, 20, 20}},  // no test for empty rectangles
      {{10, 10, 20, 20}, {15, 5, 30, 18}, {10, 5, 30, 20}},
      {{5, 5, 1, 1}, {2, 2, 3, 3}, {2, 2, 3, 3}},  // inverted stays as computed
  };
  for (const Case& c : cases) {
    CUIRect r = c.a;
    r.Union(c.b);
    EXPECT_EQ(r.left, c.united.left);
    EXPECT_EQ(r.top, c.united.top);
    EXPECT_EQ(r.right, c.united.right);
    EXPECT_EQ(r.bottom, c.united.bottom);
  }
  CUIRect r(10, 20, 15, 12);
  EXPECT_EQ(r.GetWidth(), 5);
  EXPECT_EQ(r.GetHeight(), -8);
  r.Offset(-3, 4);
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.bottom, 16);
  r.MoveToOrigin();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.GetWidth(), 5);
  EXPECT_EQ(r.GetHeight(), -8);
  const CUIRect empty;
  EXPECT_EQ(empty.right, 0);
  const CUISize size(3, 4);
  EXPECT_EQ(size.cx, 3);
  const CUIPoint origin;
  const CUIPoint copy(CUIPoint(5, 6));
  EXPECT_EQ(origin.x + copy.y, 6);
  static_assert(sizeof(CUIRect) == 16 && sizeof(CUISize) == 8 && sizeof(CUIPoint) == 8, "platform layout");
}

// Coordinates come from skin text, which may hold any 32-bit number: the
// arithmetic wraps as the 32-bit machine's does, never overflows (the host
// build traps signed overflow).
TEST(UIGeometry, ExtremeCoordinatesWrap) {
  CUIRect r(-2000000000, -2000000000, 2000000000, 2000000000);
  EXPECT_EQ(r.GetWidth(), static_cast<UICoord>(-294967296));
  EXPECT_EQ(r.GetHeight(), static_cast<UICoord>(-294967296));
  r.Offset(2000000000, -2000000000);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, static_cast<UICoord>(-294967296));
  EXPECT_EQ(r.bottom, 0);
  CUIRect low(INT32_MIN, INT32_MIN, 0, 0);
  low.MoveToOrigin();
  EXPECT_EQ(low.left, 0);
  EXPECT_EQ(low.right, INT32_MIN);
}

TEST(UIResourceRef, NumbersBelow0x10000AndNames) {
  const UIResourceRef number(129);
  EXPECT_TRUE(number.IsNumber());
  EXPECT_EQ(number.GetNumber(), 129u);
  EXPECT_EQ(number.GetName(), nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(number.AsResourceName()), 129u);
  EXPECT_EQ(UIResourceRef(0x12345).GetNumber(), 0x2345u);  // low 16 bits only
  const UIChar* name = UI_TEXT("MainWnd.xml");
  const UIResourceRef named(name);
  EXPECT_FALSE(named.IsNumber());
  EXPECT_EQ(named.GetName(), name);
  EXPECT_EQ(ToUtf8(named.AsResourceName()), "MainWnd.xml");
}

}  // namespace

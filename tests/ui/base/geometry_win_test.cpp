#include <gtest/gtest.h>

#include "ui/base/UIGeometryWin.h"

using namespace Trellis;

namespace {

// The views let Win32 fill and read the framework's own values.
TEST(UIGeometryWin, Win32WritesAndReadsThroughTheViews) {
  CUIRect rect;
  ASSERT_TRUE(SetRect(AsRECT(&rect), 1, 2, 30, 40));
  EXPECT_EQ(rect.GetWidth(), 29);
  EXPECT_EQ(rect.GetHeight(), 38);
  CUIPoint inside(5, 5);
  EXPECT_TRUE(PtInRect(AsRECT(&rect), *AsPOINT(&inside)));
  CUIRect other(20, 30, 50, 60);
  CUIRect both;
  ASSERT_TRUE(UnionRect(AsRECT(&both), AsRECT(&rect), AsRECT(&other)));
  rect.Union(other);
  EXPECT_EQ(both.left, rect.left);
  EXPECT_EQ(both.bottom, rect.bottom);
  const RECT native = {7, 8, 9, 10};
  EXPECT_EQ(ToUIRect(native).bottom, 10);
}

}  // namespace

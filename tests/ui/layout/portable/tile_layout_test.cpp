// The grid arithmetic of the tile layout, without a window.
#include <gtest/gtest.h>

#include "tests/ui/layout/portable/LayoutTestItems.h"
#include "ui/layout/portable/TileLayout.h"

using namespace Trellis;

namespace {

UITileLayoutParams Grid(int width, int itemWidth, int itemHeight, int columns = 0) {
  UITileLayoutParams params;
  params.area = CUIRect(0, 0, width, 400);
  params.itemSize = CUISize(itemWidth, itemHeight);
  params.columns = columns;
  return params;
}

TEST(TileLayoutTest, ColumnsAndGapFromTheWidth) {
  struct Case {
    int columnsSetting;
    int columns;
    int secondLeft;  // left of the second cell: item width + gap
  } cases[] = {{0, 3, 85}, {2, 2, 170}};
  for (const Case& c : cases) {
    LayoutTestItems items;
    for (int i = 0; i < 4; ++i) items.Add(0, 0);
    const UITileLayoutResult result = LayOutTile(items, Grid(250, 80, 30, c.columnsSetting));
    EXPECT_EQ(result.columns, c.columns);
    EXPECT_EQ(items.Rect(1).left, c.secondLeft) << c.columnsSetting;  // gap 5, or 90 with 2 columns
    EXPECT_EQ(items.Rect(1).GetWidth(), 80);
    EXPECT_EQ(items.Rect(c.columns).top, 30);  // the next row
  }
}

TEST(TileLayoutTest, HiddenChildLeavesItsCellEmpty) {
  LayoutTestItems items;
  for (int i = 0; i < 4; ++i) items.Add(0, 0);
  items[1].rules.visible = false;
  const UITileLayoutResult result = LayOutTile(items, Grid(250, 80, 30));
  EXPECT_FALSE(items[1].wasPlaced);
  EXPECT_EQ(items.Rect(2).left, 170);
  EXPECT_EQ(items.Rect(3).left, 0);  // the fourth stays in the second row
  EXPECT_EQ(items.Rect(3).top, 30);
  EXPECT_EQ(result.rows, 2);
}

TEST(TileLayoutTest, RowsCountFromTheHighestCellUsed) {
  // Three columns, children 1 and 2 hidden, child 4 floating: three placed
  // children would fill one row, but child 3 sits in the second row.
  LayoutTestItems items;
  for (int i = 0; i < 5; ++i) items.Add(0, 0);
  items[1].rules.visible = false;
  items[2].rules.visible = false;
  items[4].rules.floating = true;
  UITileLayoutParams params = Grid(250, 80, 30);
  params.rowGap = 6;
  const UITileLayoutResult result = LayOutTile(items, params);
  EXPECT_EQ(result.rows, 2);
  EXPECT_EQ(result.needed.cy, 30 + 6 + 30);
  EXPECT_TRUE(items[4].floatingPlaced);
}

TEST(TileLayoutTest, ItemWidthBelowOneIsOneColumn) {
  for (int itemWidth : {0, -5}) {
    LayoutTestItems items;
    items.Add(0, 0);
    items.Add(0, 0);
    const UITileLayoutResult result = LayOutTile(items, Grid(250, itemWidth, 20));
    EXPECT_EQ(result.columns, 1) << itemWidth;
    EXPECT_EQ(result.rows, 2);
    EXPECT_EQ(items.Rect(1).top, 20);
  }
}

TEST(TileLayoutTest, CellAlignmentAndPaddings) {
  LayoutTestItems items;
  LayoutTestItems::Child& child = items.Add(0, 0);
  child.rules.maxWidth = 40;
  child.rules.maxHeight = 10;
  UITileLayoutParams params = Grid(100, 100, 30);
  params.align = 1;   // centre: (100 - 40) / 2
  params.valign = 8;  // bottom: 30 - 10
  LayOutTile(items, params);
  EXPECT_EQ(items.Rect(0), CUIRect(30, 20, 70, 30));
}

TEST(TileLayoutTest, NoPlacedChildrenNeedNothing) {
  LayoutTestItems items;
  items.Add(0, 0).rules.visible = false;
  UITileLayoutParams params = Grid(250, 80, 30, 2);
  params.rowGap = 9;
  const UITileLayoutResult result = LayOutTile(items, params);
  EXPECT_EQ(result.rows, 0);
  EXPECT_EQ(result.needed.cx, 0);
  EXPECT_EQ(result.needed.cy, 0);
}

TEST(TileLayoutTest, HostileSizesDoNotOverflow) {
  const int32_t extremes[] = {INT32_MIN, -1, 0, 1, INT32_MAX};
  for (int32_t width : extremes) {
    for (int32_t item : extremes) {
      for (int32_t columns : {0, 1, 3, INT32_MAX}) {
        LayoutTestItems items;
        for (int i = 0; i < 4; ++i) items.Add(0, 0).rules.padding = CUIRect(item, item, item, item);
        UITileLayoutParams params = Grid(0, item, item, columns);
        params.area = CUIRect(0, 0, width, width);
        params.columnGap = item;
        params.rowGap = item;
        params.align = 1;
        params.valign = 4;
        params.scroll.hBarVisible = true;
        params.scroll.hRange = INT32_MAX;
        params.scroll.hPos = INT32_MIN;
        const UITileLayoutResult result = LayOutTile(items, params);
        EXPECT_GE(result.columns, 1);  // never a division by zero columns
      }
    }
  }
}

}  // namespace

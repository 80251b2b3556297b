#include "ui/layout/portable/TileLayout.h"

namespace Trellis {

namespace {

int32_t Sat(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int64_t Min64(int64_t a, int64_t b) { return a < b ? a : b; }
int64_t Max64(int64_t a, int64_t b) { return a > b ? a : b; }

}  // namespace

UITileLayoutResult LayOutTile(IUILayoutItems& items, const UITileLayoutParams& p) {
  UITileLayoutResult result;
  const CUIRect& rc = p.area;
  const UILayoutScroll& s = p.scroll;
  const int count = items.GetItemCount();
  const int64_t itemW = p.itemSize.cx;
  const int64_t itemH = p.itemSize.cy;
  const int64_t width = rc.GetWidth();
  const int64_t rowGap = p.rowGap;

  // The highest cell index a placed child uses: every child keeps the cell
  // of its index, so hidden children before it do not shorten the grid.
  // Counting rows from the number of shown children instead would cut the
  // needed height short, and the last rows could never be scrolled to.
  int placed = 0;
  int highestCell = -1;
  for (int i = 0; i < count; ++i) {
    const UILayoutChild child = items.GetItem(i);
    if (child.visible && !child.floating) {
      ++placed;
      highestCell = i;
    }
  }

  int64_t gap = p.columnGap;
  int64_t columns = 1;
  int64_t neededWidth = 0;
  if (p.columns <= 0) {
    if (itemW < 1) {
      // No usable item width: one column (and no division by it).
      columns = 1;
      neededWidth = Max64(itemW, 0);
      gap = 0;
    } else if (width < itemW) {
      columns = 1;
      neededWidth = itemW;
    } else {
      columns = width / itemW;
      neededWidth = width;
      if (columns >= 2 && gap < 1) gap = Max64((width - columns * itemW) / (columns - 1), 0);
      if (columns == 1) gap = 0;
    }
  } else {
    columns = p.columns;
    if (columns < 2) {
      gap = 0;
    } else if (gap < 1) {
      const int64_t room =
          (s.hBarVisible && width >= columns * itemW) ? width : width + (s.hBarVisible ? s.hRange : 0);
      gap = Max64((room - columns * itemW) / (columns - 1), 0);
    }
    const int64_t used = Min64(placed, columns);
    neededWidth = used > 0 ? (used - 1) * gap + itemW * used : 0;
  }

  const int64_t rows = highestCell < 0 ? 0 : highestCell / columns + 1;
  const int64_t neededHeight = rows > 0 ? rowGap * (rows - 1) + itemH * rows : 0;
  result.columns = Sat(columns);
  result.rows = Sat(rows);
  result.needed = CUISize(Sat(neededWidth), Sat(neededHeight));

  for (int i = 0; i < count; ++i) {
    const UILayoutChild child = items.GetItem(i);
    if (!child.visible) continue;
    if (child.floating) {
      items.PlaceFloatingItem(i);
      continue;
    }
    const CUIRect& pad = child.padding;
    const int64_t w = Max64(Min64(itemW - pad.left - pad.right, child.maxWidth), 0);
    const int64_t h = Max64(Min64(itemH - pad.top - pad.bottom, child.maxHeight), 0);
    const int64_t x = rc.left + (itemW + gap) * (i % columns) - (s.hBarVisible ? s.hPos : 0);
    const int64_t y = p.top + (itemH + rowGap) * (i / columns) - (s.vBarVisible ? s.vPos : 0);
    int64_t ox = 0;
    if (p.align == 1) ox = (itemW - w) / 2;
    if (p.align == 2) ox = itemW - w;
    int64_t oy = 0;
    if (p.valign == 4) oy = (itemH - h) / 2;
    if (p.valign == 8) oy = itemH - h;
    // The paddings come off the cell size and again off the rectangle, as
    // stored skins are laid out.
    items.PlaceItem(i, CUIRect(Sat(x + ox + pad.left), Sat(y + oy + pad.top), Sat(x + ox + w - pad.right),
                               Sat(y + oy + h - pad.bottom)));
  }
  return result;
}

}  // namespace Trellis

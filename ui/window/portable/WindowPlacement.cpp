#include "ui/window/portable/WindowPlacement.h"

#include <cstdint>

namespace Trellis {

namespace {

// One axis: centre, then clamp the near edge first so a window larger than
// the work area keeps its left (top) edge visible.
UICoord CenterAxis(UICoord size, UICoord refStart, UICoord refEnd, UICoord workStart, UICoord workEnd) {
  // 64-bit sums: the rectangles come from the platform and may be far apart.
  const int64_t middle = (static_cast<int64_t>(refStart) + refEnd) / 2;
  int64_t start = middle - size / 2;
  if (start < workStart) {
    start = workStart;
  } else if (start + size > workEnd) {
    start = static_cast<int64_t>(workEnd) - size;
  }
  return static_cast<UICoord>(start);
}

}  // namespace

CUIPoint CenterInReference(const CUISize& window, const CUIRect& reference, const CUIRect& workArea) {
  return CUIPoint(CenterAxis(window.cx, reference.left, reference.right, workArea.left, workArea.right),
                  CenterAxis(window.cy, reference.top, reference.bottom, workArea.top, workArea.bottom));
}

}  // namespace Trellis

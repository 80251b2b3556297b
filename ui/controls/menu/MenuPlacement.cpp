#include "ui/controls/menu/MenuPlacement.h"

namespace Trellis {

CUIRect CMenuPlacement::PlaceTopLevel(CUIPoint point, CUISize size, unsigned alignment) {
  CUIRect rc(point.x, point.y, point.x + size.cx, point.y + size.cy);
  if ((alignment & kAlignRight) != 0) {
    rc.right = point.x;
    rc.left = point.x - size.cx;
  }
  if ((alignment & kAlignBottom) != 0) {
    rc.bottom = point.y;
    rc.top = point.y - size.cy;
  }
  // The caller picks point and alignment for the room it has; the menu
  // goes exactly there.
  return rc;
}

CUIRect CMenuPlacement::PlaceSubMenu(UICoord ownerTop, UICoord width, UICoord height, const CUIRect& parent,
                                     bool reachRight, bool reachBottom, const CUIRect& workArea) {
  CUIRect rc;
  rc.top = ownerTop;
  rc.bottom = rc.top + height;
  rc.left = parent.right;
  rc.right = rc.left + width + 2;
  if (reachBottom) {
    rc.bottom = parent.top;
    rc.top = rc.bottom - height;
  }
  if (reachRight) {
    rc.right = parent.left;
    rc.left = rc.right - width;
  }
  if (rc.bottom > workArea.bottom) {  // flip upwards: the menu ends where the owner item begins
    rc.bottom = rc.top;
    rc.top = rc.bottom - height;
  }
  if (rc.right > workArea.right) {  // open to the left of the parent menu
    rc.right = parent.left;
    rc.left = rc.right - width;
  }
  if (rc.top < workArea.top) {
    rc.top = ownerTop;
    rc.bottom = rc.top + height;
  }
  if (rc.left < workArea.left) {
    rc.left = parent.right;
    rc.right = rc.left + width;
  }
  return rc;
}

}  // namespace Trellis

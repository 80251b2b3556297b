#pragma once

// The arithmetic of the scroll bar: where its buttons and thumb lie, how a
// position is rounded and clamped, and how far a thumb drag moves the
// position. Products of lengths and ranges are taken in 64 bits, so large
// ranges cannot overflow.
#include <cstdint>

#include "ui/base/portable/UIGeometry.h"

namespace Trellis {

struct UIScrollBarParts {
  CUIRect button1;  // top or left
  CUIRect button2;  // bottom or right
  CUIRect thumb;    // all zero when there is no room for a thumb
};

// Lays out the parts of a bar at pos: buttons thickness long at the ends
// (0 long when hidden), the thumb in the track between them, its length
// track * length / (length + range) (at least the thickness) and its offset
// (track - thumb) * position / range. Without room for a thumb the buttons
// share the length and the thumb is empty.
UIScrollBarParts ComputeScrollBarParts(const CUIRect& pos, bool horizontal, int thickness, bool showButton1,
                                       bool showButton2, int range, int position);

// A requested position rounded to the nearest multiple of the unit (when the
// unit is above 1) and clamped to 0..range.
int NormalizeScrollPos(int requested, int unit, int range);

// The position offset for a pointer moved by delta along a track of that
// length: delta * range / track (0 for a track of 0 or less), saturated to
// the 32-bit range.
int ComputeScrollDragOffset(int delta, int range, int track);

}  // namespace Trellis

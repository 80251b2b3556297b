#include "ui/control/portable/ScrollBarMath.h"

namespace Trellis {

namespace {

int32_t Saturate(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// A rectangle along the bar: from `start` to `end` on the bar's axis, across
// from `across0` to `across1`.
CUIRect AlongRect(bool horizontal, int64_t start, int64_t end, int64_t across0, int64_t across1) {
  if (horizontal) return CUIRect(Saturate(start), Saturate(across0), Saturate(end), Saturate(across1));
  return CUIRect(Saturate(across0), Saturate(start), Saturate(across1), Saturate(end));
}

}  // namespace

UIScrollBarParts ComputeScrollBarParts(const CUIRect& pos, bool horizontal, int thickness, bool showButton1,
                                       bool showButton2, int range, int position) {
  UIScrollBarParts parts;
  const int64_t start = horizontal ? pos.left : pos.top;
  const int64_t end = horizontal ? pos.right : pos.bottom;
  const int64_t across0 = horizontal ? pos.top : pos.left;
  const int64_t across1 = horizontal ? pos.bottom : pos.right;
  const int64_t length = end - start;
  const int64_t t = thickness;
  int64_t track = length;
  if (showButton1) track -= t;
  if (showButton2) track -= t;

  if (t < track) {
    parts.button1 = AlongRect(horizontal, start, start + (showButton1 ? t : 0), across0, across1);
    parts.button2 = AlongRect(horizontal, end - (showButton2 ? t : 0), end, across0, across1);
    const int64_t trackStart = start + (showButton1 ? t : 0);
    const int64_t trackEnd = end - (showButton2 ? t : 0);
    if (range <= 0) {
      parts.thumb = AlongRect(horizontal, trackStart, trackEnd, across0, across0 + t);
      return parts;
    }
    int64_t thumbLength = track * length / (length + range);
    if (thumbLength < t) thumbLength = t;
    int64_t thumbStart = trackStart + (track - thumbLength) * position / range;
    if (thumbStart + thumbLength > trackEnd) thumbStart = trackEnd - thumbLength;
    parts.thumb = AlongRect(horizontal, thumbStart, thumbStart + thumbLength, across0, across0 + t);
    return parts;
  }
  // No room for a thumb: each shown button takes at most half the length.
  const int64_t half = length / 2;
  const int64_t button = t < half ? t : half;
  parts.button1 = AlongRect(horizontal, start, start + (showButton1 ? button : 0), across0, across1);
  parts.button2 = AlongRect(horizontal, end - (showButton2 ? button : 0), end, across0, across1);
  return parts;
}

int NormalizeScrollPos(int requested, int unit, int range) {
  int64_t pos = requested < 0 ? 0 : requested;
  if (unit > 1) {
    const int64_t rest = pos % unit;
    if (rest != 0) pos = rest < unit / 2 ? pos - rest : pos - rest + unit;
  }
  if (pos > range) pos = range < 0 ? 0 : range;
  return Saturate(pos);
}

int ComputeScrollDragOffset(int delta, int range, int track) {
  if (track <= 0) return 0;
  return Saturate(static_cast<int64_t>(delta) * range / track);
}

}  // namespace Trellis

#pragma once
// Window placement arithmetic that needs no window: centring a window on a
// reference rectangle while keeping it inside a work area.

#include "ui/base/portable/UIGeometry.h"

namespace Trellis {

// The top-left corner that centres a window of the given size on the
// reference rectangle (integer halves), moved so the window stays inside the
// work area: a left (top) edge before the work area's starts at it, else a
// right (bottom) edge beyond the work area's ends at it.
CUIPoint CenterInReference(const CUISize& window, const CUIRect& reference, const CUIRect& workArea);

}  // namespace Trellis

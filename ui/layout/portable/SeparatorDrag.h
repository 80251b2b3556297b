#pragma once

// The separator of the stacking layouts: a band along one edge that the user
// drags to change the layout's own height (vertical) or width (horizontal).
// A positive size puts the band at the bottom or right edge, a negative one
// at the top or left edge.
#include <cstdint>

#include "ui/base/portable/UIGeometry.h"

namespace Trellis {

// The band of the separator inside rc.
CUIRect SeparatorBand(const CUIRect& rc, int32_t sepSize, bool horizontal);

// Applies one pointer move of delta (pointer coordinate `pointer` along the
// axis) to the proposed rectangle. The moved edge never brings the size to
// the minimum or below, nor to the maximum or above: a move that would is
// clamped to the limit, and ignored when the size is already there. False
// when the move is ignored (rc unchanged).
bool ApplySeparatorMove(CUIRect& rc, int32_t sepSize, bool horizontal, int32_t delta, int32_t pointer,
                        int32_t minSize, int32_t maxSize);

}  // namespace Trellis

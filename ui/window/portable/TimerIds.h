#pragma once
// Choosing the native id of a new control timer: the lowest id from `first`
// up to (not including) `limit` that no live timer record of the window holds
// (stopped records keep theirs, to restart under it). So two live timers never
// share an id however many come and go.

namespace Trellis {

// 0 when every id of the range is in use. `used` holds `count` ids.
unsigned LowestFreeTimerId(const unsigned* used, int count, unsigned first, unsigned limit);

}  // namespace Trellis

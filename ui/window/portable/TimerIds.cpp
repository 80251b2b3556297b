#include "ui/window/portable/TimerIds.h"

namespace Trellis {

unsigned LowestFreeTimerId(const unsigned* used, int count, unsigned first, unsigned limit) {
  for (unsigned id = first; id < limit; ++id) {
    bool taken = false;
    for (int i = 0; i < count && !taken; ++i) taken = used[i] == id;
    if (!taken) return id;
  }
  return 0;
}

}  // namespace Trellis

#include "ui/skin/portable/LoadProbe.h"

namespace Trellis {
namespace {

UILoadProbe installedProbe = nullptr;  // set by a benchmark; the UI thread reads it

}  // namespace

UILoadProbe SetUILoadProbe(UILoadProbe probe) {
  const UILoadProbe previous = installedProbe;
  installedProbe = probe;
  return previous;
}

UILoadProbe GetUILoadProbe() { return installedProbe; }

}  // namespace Trellis

#pragma once

#include "core/HardwareStrings.h"

// Hardware strings a test chooses; they may change between reads.
class FixedHardwareStrings : public HardwareStringSource {
 public:
  FixedHardwareStrings() : lists_{{"00-1A-2B-3C-4D-5E"}, {"4c4c4544004a3910804bb2c04f4e5932"}} {}
  HardwareStringLists Read() override { return lists_; }
  void Set(const HardwareStringLists& lists) { lists_ = lists; }

 private:
  HardwareStringLists lists_;
};

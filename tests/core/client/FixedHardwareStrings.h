#pragma once

#include "core/client/HardwareStrings.h"

// Hardware strings a test chooses; they may change between reads.
class FixedHardwareStrings : public HardwareStringSource {
 public:
  FixedHardwareStrings() : m_lists{{"00-1A-2B-3C-4D-5E"}, {"4c4c4544004a3910804bb2c04f4e5932"}} {}
  HardwareStringLists Read() override { return m_lists; }
  void Set(const HardwareStringLists& lists) { m_lists = lists; }

 private:
  HardwareStringLists m_lists;
};

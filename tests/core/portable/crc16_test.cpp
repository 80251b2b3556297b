#include "core/portable/Crc16.h"

#include <gtest/gtest.h>

#include <string>

TEST(Crc16Xmodem, KnownValues) {
  struct Case {
    std::string text;
    uint16_t crc;
  } cases[] = {
      {"", 0x0000},
      {"123456789", 0x31C3},  // the standard check value of CRC-16/XMODEM
      {"A", 0x58E5},
  };
  for (const Case& c : cases) EXPECT_EQ(Crc16Xmodem(c.text.data(), c.text.size()), c.crc) << c.text;
}

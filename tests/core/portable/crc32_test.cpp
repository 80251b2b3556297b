#include "core/portable/Crc32.h"

#include <gtest/gtest.h>

#include <string>

TEST(Crc32, KnownValues) {
  struct Case {
    std::string text;
    uint32_t crc;
  } cases[] = {
      {"", 0x00000000u},
      {"123456789", 0xCBF43926u},  // the standard check value
      {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
  };
  for (const Case& c : cases) EXPECT_EQ(Crc32(c.text.data(), c.text.size()), c.crc) << c.text;
}

TEST(Crc32, ContinuesARunningValue) {
  const std::string text = "123456789";
  uint32_t first = Crc32(text.data(), 4);
  EXPECT_EQ(Crc32(text.data() + 4, text.size() - 4, first), 0xCBF43926u);
}

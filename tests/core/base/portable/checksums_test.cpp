#include "core/base/portable/Checksums.h"

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

TEST(Md5Hex, KnownDigests) {
  EXPECT_EQ(ComputeMd5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(ComputeMd5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(ComputeMd5Hex("168"), "006f52e9102a8d3be2fe5614f42ba989");  // leading zero digits kept
  EXPECT_EQ(ComputeMd5HexW("168"), L"006f52e9102a8d3be2fe5614f42ba989");
}

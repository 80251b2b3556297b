#include "core/transport/portable/RsaPublicKey.h"

#include "tests/core/transport/portable/TestRsaKey.h"

#include <gtest/gtest.h>

TEST(RsaPublicKey, EncryptsForTheServiceAndRecoversItsBlocks) {
  TestRsaKey key;
  EXPECT_EQ(RsaPublicKeySize(key.publicPem()), 128u);

  const uint8_t crc[4] = {0x78, 0x56, 0x34, 0x12};
  std::vector<uint8_t> block;
  ASSERT_TRUE(RsaPublicEncrypt(key.publicPem(), crc, sizeof crc, block));
  ASSERT_EQ(block.size(), 128u);
  EXPECT_EQ(key.Decrypt(std::string(block.begin(), block.end())), std::vector<uint8_t>(crc, crc + 4));

  const std::string signedBlock = key.Sign("\x01\x02\x03\x04");
  uint8_t plain[8] = {};
  size_t length = sizeof plain;
  ASSERT_TRUE(RsaPublicDecrypt(key.publicPem(), reinterpret_cast<const uint8_t*>(signedBlock.data()),
                               signedBlock.size(), plain, length));
  EXPECT_EQ(length, 4u);
  EXPECT_EQ(plain[3], 0x04);
}

TEST(RsaPublicKey, RefusesWhatItCannotHandleWithoutWritingPastTheBuffer) {
  TestRsaKey key;
  const std::string signedBlock = key.Sign(std::string(40, 'p'));
  const auto* block = reinterpret_cast<const uint8_t*>(signedBlock.data());

  uint8_t small[16];
  size_t length = sizeof small;
  EXPECT_FALSE(RsaPublicDecrypt(key.publicPem(), block, signedBlock.size(), small, length))
      << "40 plain bytes do not fit into 16";

  uint8_t plain[128];
  length = sizeof plain;
  EXPECT_FALSE(RsaPublicDecrypt(key.publicPem(), block, 64, plain, length)) << "block shorter than the key";
  std::string tampered = signedBlock;
  tampered[60] ^= 0x40;
  EXPECT_FALSE(RsaPublicDecrypt(key.publicPem(), reinterpret_cast<const uint8_t*>(tampered.data()), tampered.size(),
                                plain, length));

  TestRsaKey other;
  EXPECT_FALSE(RsaPublicDecrypt(other.publicPem(), block, signedBlock.size(), plain, length)) << "another key";
  for (const std::string& pem : {std::string(), std::string("not a key"), key.publicPem().substr(0, 80)}) {
    EXPECT_EQ(RsaPublicKeySize(pem), 0u);
    std::vector<uint8_t> out;
    EXPECT_FALSE(RsaPublicEncrypt(pem, plain, 4, out));
    EXPECT_FALSE(RsaPublicDecrypt(pem, block, signedBlock.size(), plain, length));
  }
}

TEST(RsaPublicKey, OtherKeySizesUseBlocksOfTheirOwnSize) {
  TestRsaKey key(2048);
  EXPECT_EQ(RsaPublicKeySize(key.publicPem()), 256u);
  const std::string signedBlock = key.Sign("abcd");
  uint8_t plain[256];
  size_t length = sizeof plain;
  ASSERT_TRUE(RsaPublicDecrypt(key.publicPem(), reinterpret_cast<const uint8_t*>(signedBlock.data()),
                               signedBlock.size(), plain, length));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(plain), length), "abcd");
}

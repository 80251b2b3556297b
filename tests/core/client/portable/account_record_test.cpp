#include "core/client/portable/AccountRecord.h"

#include "core/base/portable/ByteScramble.h"
#include "core/base/portable/Checksums.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

AccountRecord SignedInRecord() {
  AccountRecord record = MakeFreshAccountRecord();
  record.loggedIn = 1;
  SetRecordText(record.avatar, "https://example.test/a.png");
  SetRecordText(record.uuid, "AAAAAAAAAAAAAAAA");
  SetRecordText(record.openid, "oid-42");
  SetRecordText(record.nickname, "\xE5\xB0\x8F\xE6\x98\x8E");  // UTF-8 as the server sends it
  record.softId = 130;
  record.reserved2[7] = 0x5A;  // reserved bytes survive
  return record;
}

}  // namespace

TEST(AccountRecord, FreshFileDecodesToZerosWithTheCrcOfZeros) {
  AccountRecord record = MakeFreshAccountRecord();
  std::vector<uint8_t> stored = SealAndEncodeAccountRecord(record);
  ASSERT_EQ(stored.size(), kAccountRecordSize);

  std::vector<uint8_t> plain = stored;
  ScrambleBytes(plain.data(), plain.size());
  for (size_t i = 0; i < kAccountRecordCrcOffset; ++i) ASSERT_EQ(plain[i], 0) << "offset " << i;
  EXPECT_EQ(ReadLittleEndian32(&plain[kAccountRecordCrcOffset]), 0xD7D0FB34u);
  EXPECT_EQ(ReadLittleEndian32(&plain[kAccountRecordCrcOffset]), Crc32(plain.data(), kAccountRecordCrcOffset));
  EXPECT_EQ(stored[0], 0xFF);  // a zero byte is stored inverted
}

TEST(AccountRecord, StoredFormIsNibbleSwappedAndInverted) {
  AccountRecord record = SignedInRecord();
  std::vector<uint8_t> stored = SealAndEncodeAccountRecord(record);
  EXPECT_EQ(stored[0], 0xEF);                                  // 0x01 -> swap 0x10 -> NOT 0xEF
  EXPECT_EQ(stored[1], static_cast<uint8_t>(~0x86));           // 'h' 0x68 -> 0x86 -> 0x79
  EXPECT_EQ(record.crc32, ComputeAccountRecordCrc(record));    // the CRC is stored in memory too
}

TEST(AccountRecord, RoundTripsEveryByte) {
  AccountRecord record = SignedInRecord();
  std::vector<uint8_t> stored = SealAndEncodeAccountRecord(record);
  AccountRecord loaded = MakeFreshAccountRecord();
  ASSERT_TRUE(DecodeAccountRecord(stored.data(), stored.size(), loaded));
  EXPECT_EQ(std::memcmp(&loaded, &record, sizeof record), 0);
  EXPECT_EQ(RecordText(loaded.nickname), "\xE5\xB0\x8F\xE6\x98\x8E");
}

TEST(AccountRecord, DamagedOrForeignFilesAreNoRecord) {
  AccountRecord record = SignedInRecord();
  const std::vector<uint8_t> stored = SealAndEncodeAccountRecord(record);
  for (size_t offset : {size_t{0}, size_t{221}, size_t{1547}, size_t{1548}, size_t{1551}}) {
    std::vector<uint8_t> damaged = stored;
    damaged[offset] ^= 0x01;
    AccountRecord loaded = MakeFreshAccountRecord();
    EXPECT_FALSE(DecodeAccountRecord(damaged.data(), damaged.size(), loaded)) << "offset " << offset;
    EXPECT_EQ(loaded.loggedIn, 0) << "a refused file leaves the record untouched";
  }
  for (size_t size : {size_t{0}, kAccountRecordSize - 1, kAccountRecordSize + 1}) {
    std::vector<uint8_t> resized = stored;
    resized.resize(size, 0xFF);
    AccountRecord loaded = MakeFreshAccountRecord();
    EXPECT_FALSE(DecodeAccountRecord(resized.data(), resized.size(), loaded)) << "size " << size;
  }
  std::vector<uint8_t> plainText(kAccountRecordSize, 'x');
  AccountRecord loaded;
  EXPECT_FALSE(DecodeAccountRecord(plainText.data(), plainText.size(), loaded));
}

TEST(AccountRecord, ServerTextsAreCutToTheirFields) {
  AccountRecord record = MakeFreshAccountRecord();
  SetRecordText(record.nickname, std::string(400, 'n'));
  SetRecordText(record.openid, std::string(50, 'o'));
  EXPECT_EQ(RecordText(record.nickname), std::string(149, 'n'));
  EXPECT_EQ(RecordText(record.openid), std::string(49, 'o'));
  EXPECT_EQ(record.reserved1[0], 0) << "the field after the nickname is untouched";
  EXPECT_EQ(RecordText(record.uuid), "") << "the field after the openid is untouched";

  // A field without a terminator (possible in a file made elsewhere) reads as
  // its whole size, never beyond.
  std::memset(record.uuid, 'u', sizeof record.uuid);
  EXPECT_EQ(RecordText(record.uuid), std::string(20, 'u'));
}

TEST(AccountRecord, LongUtf8NicknameIsCutAtACharacterAndTerminated) {
  // 50 characters of three bytes each: 150 bytes, one more than the field
  // holds beside its terminator. The last whole character that fits ends it.
  std::string nickname;
  for (int i = 0; i < 50; ++i) nickname += "\xE6\xB5\x8B";
  AccountRecord record = MakeFreshAccountRecord();
  std::memset(record.nickname, 'x', sizeof record.nickname);
  SetRecordText(record.nickname, nickname);
  EXPECT_EQ(RecordText(record.nickname), nickname.substr(0, 147));
  EXPECT_EQ(record.nickname[149], '\0');

  std::string avatar = std::string(148, 'a') + "\xC3\xA9";  // 150 bytes, the last character two of them
  SetRecordText(record.avatar, avatar);
  EXPECT_EQ(RecordText(record.avatar), std::string(148, 'a'));
}

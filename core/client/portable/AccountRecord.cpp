#include "core/client/portable/AccountRecord.h"

#include "core/base/portable/ByteScramble.h"
#include "core/base/portable/Checksums.h"
#include "core/base/portable/TextHelpers.h"

AccountRecord MakeFreshAccountRecord() {
  AccountRecord record;
  std::memset(&record, 0, sizeof record);
  return record;
}

uint32_t ComputeAccountRecordCrc(const AccountRecord& record) {
  return Crc32(&record, kAccountRecordCrcOffset);
}

std::vector<uint8_t> SealAndEncodeAccountRecord(AccountRecord& record) {
  record.crc32 = ComputeAccountRecordCrc(record);
  std::vector<uint8_t> stored(kAccountRecordSize);
  std::memcpy(stored.data(), &record, kAccountRecordSize);
  ScrambleBytes(stored.data(), stored.size());
  return stored;
}

bool DecodeAccountRecord(const void* data, size_t length, AccountRecord& record) {
  if (data == nullptr || length != kAccountRecordSize) return false;
  AccountRecord decoded;
  std::memcpy(&decoded, data, kAccountRecordSize);
  ScrambleBytes(&decoded, kAccountRecordSize);
  if (decoded.crc32 != ComputeAccountRecordCrc(decoded)) return false;
  record = decoded;
  return true;
}

void SetRecordText(char* field, size_t fieldSize, const std::string& text) {
  if (fieldSize == 0) return;
  // Server texts are UTF-8: a cut inside a character would leave a broken
  // character at the end of a nickname shown to the user.
  const size_t length = Utf8PrefixLength(text, fieldSize - 1);
  std::memset(field, 0, fieldSize);
  std::memcpy(field, text.data(), length);
}

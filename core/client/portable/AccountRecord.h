#pragma once

// The signed-in account's record in the file's layout, with its sealing,
// decoding and fixed-size text fields; records are plain values the caller owns.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// The signed-in account as kept in "quillora.dat". The layout is the file's:
// offsets are fixed, integers little-endian, texts NUL-terminated bytes as the
// server sent them. Reserved bytes are kept as read.
struct AccountRecord {
  uint8_t loggedIn;          // 1 after a login, 0 after logout or in a fresh record
  char avatar[150];          // avatar image URL
  char uuid[20];             // device identifier the user signed in under
  char openid[50];           // account id, sent as "openid" in usage reports
  char nickname[150];        // display name
  uint8_t reserved1[101];
  int32_t softId;
  uint8_t reserved2[1072];
  uint32_t crc32;            // CRC-32 of bytes 0..1547
  uint8_t reserved3[128];
};

constexpr size_t kAccountRecordSize = 1680;
constexpr size_t kAccountRecordCrcOffset = 1548;  // the CRC covers every byte before it

static_assert(sizeof(AccountRecord) == kAccountRecordSize, "the record is the file's 1680 bytes");
static_assert(offsetof(AccountRecord, uuid) == 151 && offsetof(AccountRecord, openid) == 171 &&
                  offsetof(AccountRecord, nickname) == 221 && offsetof(AccountRecord, softId) == 472 &&
                  offsetof(AccountRecord, crc32) == kAccountRecordCrcOffset,
              "field offsets are those of the stored file");

// A record with every byte zero (not signed in).
AccountRecord MakeFreshAccountRecord();

// CRC-32 of the record's bytes before the CRC field.
uint32_t ComputeAccountRecordCrc(const AccountRecord& record);

// Stores the CRC in the record, then returns the 1680 bytes of its stored form.
std::vector<uint8_t> SealAndEncodeAccountRecord(AccountRecord& record);

// Reads a stored file's bytes. False, leaving `record` untouched, unless there
// are exactly 1680 bytes whose decoded CRC matches: a damaged or foreign file
// counts as no record.
bool DecodeAccountRecord(const void* data, size_t length, AccountRecord& record);

// Copies server text (UTF-8) into a fixed field, always terminated: a text
// that does not fit is cut at the last whole character that fits.
void SetRecordText(char* field, size_t fieldSize, const std::string& text);
template <size_t N>
void SetRecordText(char (&field)[N], const std::string& text) {
  SetRecordText(field, N, text);
}

// Reads a fixed field's text; a field without a terminator ends at its size.
template <size_t N>
std::string RecordText(const char (&field)[N]) {
  const void* end = std::memchr(field, '\0', N);
  return std::string(field, end ? static_cast<const char*>(end) - field : N);
}

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Time stamp written for every ZIP entry, in the archive's MS-DOS form.
struct ZipDosTime {
  uint16_t time = 0;             // hour << 11 | minute << 5 | second / 2
  uint16_t date = (1 << 5) | 1;  // (year - 1980) << 9 | month << 5 | day; default 1980-01-01
};

// A local time as a ZIP stamp; years the form cannot hold give the default.
ZipDosTime MakeZipDosTime(int year, int month, int day, int hour, int minute, int second);

// Builds a ZIP archive in memory: every entry deflated through zlib, with its
// CRC-32, a local header, a central directory and the end record. No ZIP64:
// archives whose sizes or offsets need it are refused.
class ZipWriter {
 public:
  explicit ZipWriter(ZipDosTime stamp = ZipDosTime()) : stamp_(stamp) {}

  // Adds one entry; `name` is an ASCII path with "/" separators. False when
  // deflate fails or the archive would need ZIP64 (the archive is then unusable).
  bool Add(const std::string& name, const std::string& content);

  // Appends the central directory and the end record and hands the archive
  // out. False when it would need ZIP64 or an earlier Add failed.
  bool Finish(std::string* archive);

 private:
  struct Entry {
    std::string name;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t offset = 0;
  };

  void PutSharedFields(const Entry& entry, std::string* out) const;

  ZipDosTime stamp_;
  std::string bytes_;  // local headers and data written so far
  std::vector<Entry> entries_;
  bool failed_ = false;
};

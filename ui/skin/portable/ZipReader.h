#pragma once
// The skin archive reader: entry lookup by name, extraction into a sink, and
// the name codecs between lookup names and the archive's narrow names.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "ui/base/portable/UIChar.h"
#include "ui/skin/portable/ZipDirectory.h"
#include "ui/skin/portable/ZipEntryStream.h"

namespace Trellis {

// Turns lookup names into the archive's narrow names and back (the Windows
// build uses the ANSI code page).
class ZipNameCodec {
 public:
  virtual ~ZipNameCodec() = default;
  // Writes the NUL-terminated narrow form of name, cut to size - 1 bytes.
  virtual void ToArchiveName(const UIChar* name, char* out, size_t size) const = 0;
  // Writes the NUL-terminated wide form of an archive name, cut to size - 1 characters.
  virtual void FromArchiveName(const char* name, UIChar* out, size_t size) const = 0;
};

// Each byte is one character (Latin-1): for archives whose names are ASCII.
class ZipByteNameCodec : public ZipNameCodec {
 public:
  void ToArchiveName(const UIChar* name, char* out, size_t size) const override;
  void FromArchiveName(const char* name, UIChar* out, size_t size) const override;
};

// What is known of one entry. Times are left as the archive has them: the
// DOS date and time, and the Unix times (seconds, UTC) of an extended
// timestamp field when it holds them (unixTimeFlags bits 0, 1, 2:
// modification, access, creation).
struct ZipEntryInfo {
  int index;
  UIChar name[260];
  uint32_t attributes;  // 0x80 normal, 0x10 folder, 0x20 archive, 4 system, 2 hidden, 1 read-only
  uint16_t dosDate;
  uint16_t dosTime;
  uint8_t unixTimeFlags;
  int32_t unixModified;
  int32_t unixAccessed;
  int32_t unixCreated;
  int32_t compressedSize;
  int32_t unpackedSize;
};

// Receives the bytes of an entry extracted as a whole.
class ZipSink {
 public:
  virtual ~ZipSink() = default;
  virtual bool Write(const void* data, size_t length) = 0;
};

// One open archive: finds entries, describes them and extracts them, with at
// most one entry open for reading (memory extraction keeps it open between
// calls; every other call closes it first).
class ZipReader {
 public:
  // Null when the archive cannot be opened; *result then says why
  // (kZipIoError or kZipBadArchive).
  static std::unique_ptr<ZipReader> Open(std::unique_ptr<ZipSource> source, const ZipNameCodec* codec,
                                         ZipResult* result);

  int GetEntryCount() const { return static_cast<int>(m_directory.GetEntryCount()); }
  // The entry's description; index -1 gives the number of entries in
  // info->index. kZipBadArgument for any other index outside the archive,
  // kZipHeaderMismatch when its records are damaged, kZipExtraUnreadable when
  // its local extra field cannot be read.
  ZipResult GetEntry(int index, ZipEntryInfo* info);
  // Finds the first entry named `name` ('\' matches '/'; ASCII letter case
  // ignored when asked). kZipNotFound with *index -1 (info untouched) when
  // there is none or the name has 256 characters or more.
  ZipResult FindEntry(const UIChar* name, bool ignoreCase, int* index, ZipEntryInfo* info);
  // One read of up to `length` bytes of the entry into buffer: kZipMoreData
  // when bytes were delivered (the next call with the same index goes on),
  // kZipOk when nothing was left, kZipMemoryReadFailed when the data is
  // damaged (short, not inflating, CRC mismatch), kZipHeaderMismatch when its
  // local header does not match, kZipBadArgument for a bad index.
  ZipResult ExtractToMemory(int index, void* buffer, size_t length, size_t* delivered = nullptr);
  // The whole entry to the sink in 16 KiB pieces: kZipOk, kZipWriteFailed for
  // damaged data or a sink that fails, kZipHeaderMismatch, kZipBadArgument.
  ZipResult ExtractToSink(int index, ZipSink& sink);

 private:
  ZipReader(std::unique_ptr<ZipSource> source, const ZipNameCodec* codec)
      : m_source(std::move(source)), m_codec(codec) {}
  void CloseOpenEntry();
  ZipResult OpenEntry(int index);

  std::unique_ptr<ZipSource> m_source;
  const ZipNameCodec* m_codec;  // borrowed; lives as long as the program
  ZipDirectory m_directory;
  ZipEntryStream m_stream;
  int m_openIndex = -1;         // the entry open for reading, -1 none
  int m_cachedIndex = -1;       // the entry described in m_cached, -1 none
  ZipEntryInfo m_cached = {};
};

}  // namespace Trellis

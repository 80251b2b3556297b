#pragma once
// The archive's central directory: its records as read from the source, and
// where each entry's data starts. Holds no bytes of its own beyond the records.

#include <cstdint>

#include "ui/skin/portable/ZipResult.h"
#include "ui/skin/portable/ZipSource.h"

namespace Trellis {

// The fields of one central directory record.
struct ZipCentralRecord {
  uint16_t versionMadeBy;
  uint16_t versionNeeded;
  uint16_t flags;
  uint16_t method;
  uint16_t dosTime;
  uint16_t dosDate;
  uint32_t crc;
  uint32_t compressedSize;
  uint32_t uncompressedSize;
  uint16_t nameLength;
  uint16_t extraLength;
  uint16_t commentLength;
  uint16_t diskStart;
  uint16_t internalAttributes;
  uint32_t externalAttributes;
  uint32_t localHeaderOffset;
  char name[260];  // NUL-terminated, cut to 259 bytes (see nameLength)
};

// Where an entry's local extra field and data lie, after its local header
// was checked against the central record.
struct ZipEntryPlacement {
  uint64_t extraOffset;
  uint16_t extraLength;
  uint64_t dataOffset;
};

// The central-directory layer: finds the end record, walks the central
// records one by one (the current entry), and checks local headers. Offsets
// stored in the archive are corrected by the bytes found before it, and every
// read is bounded by the source.
class ZipDirectory {
 public:
  // kZipOk, kZipIoError (no end record, read failure) or kZipBadArchive.
  ZipResult Open(ZipSource* source);

  uint32_t GetEntryCount() const { return m_entryCount; }
  uint64_t GetBytesBefore() const { return m_bytesBefore; }
  // The current entry (valid after a successful move), -1 when none.
  int GetCurrentIndex() const { return m_currentValid ? static_cast<int>(m_currentIndex) : -1; }
  const ZipCentralRecord& GetCurrent() const { return m_current; }

  ZipResult GoToFirst();
  // kZipEndOfList after the last entry.
  ZipResult GoToNext();
  // From the current entry forward, or from the first when the index lies before it.
  ZipResult GoTo(uint32_t index);
  // Makes the first entry named `name` current: exact bytes ('\\' and '/'
  // alike on either side), or with ASCII letters folded when ignoreCase.
  // kZipEndOfList when none matches (the current entry is then restored),
  // kZipBadParameter for a null name.
  ZipResult Locate(const char* name, bool ignoreCase);
  // Checks the current entry's local header (signature, method 0 or 8 and the
  // same as the central one, sizes and CRC unless a data descriptor carries
  // them, name length) and that its data lies inside the archive.
  ZipResult CheckLocalHeader(ZipEntryPlacement* placement);

 private:
  ZipResult ReadCurrent();

  ZipSource* m_source = nullptr;  // borrowed from the reader
  uint32_t m_entryCount = 0;
  uint32_t m_centralSize = 0;
  uint32_t m_centralOffset = 0;
  uint64_t m_bytesBefore = 0;       // central directory position - (offset + size)
  uint32_t m_currentIndex = 0;
  uint64_t m_currentPosition = 0;   // of the current central record
  bool m_currentValid = false;
  ZipCentralRecord m_current = {};
};

}  // namespace Trellis

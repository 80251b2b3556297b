#include "ui/skin/portable/ZipDirectory.h"

#include <cstring>
#include <vector>

namespace Trellis {
namespace {

uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralRecordSize = 46;
constexpr size_t kLocalHeaderSize = 30;
// The end record is followed only by its comment, of at most 0xFFFF bytes.
constexpr uint64_t kSearchSpan = kEndRecordSize + 0xFFFF;

char FoldAscii(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; }
// Some tools store folder separators as '\'; both spellings name the same entry.
char FoldSeparator(char ch) { return ch == '\\' ? '/' : ch; }

bool NamesEqual(const char* a, const char* b, bool ignoreCase) {
  for (; *a != 0 && *b != 0; ++a, ++b) {
    const char x = FoldSeparator(*a), y = FoldSeparator(*b);
    if (ignoreCase ? FoldAscii(x) != FoldAscii(y) : x != y) return false;
  }
  return *a == *b;
}

}  // namespace

ZipResult ZipDirectory::Open(ZipSource* source) {
  m_source = source;
  m_currentValid = false;
  const uint64_t size = source->GetSize();
  if (size < kEndRecordSize) return kZipIoError;
  // The last signature within the searched tail wins.
  const uint64_t span = size < kSearchSpan ? size : kSearchSpan;
  std::vector<unsigned char> tail(static_cast<size_t>(span));
  if (!source->ReadAt(size - span, tail.data(), tail.size())) return kZipIoError;
  uint64_t found = UINT64_MAX;
  for (uint64_t i = span - 4 + 1; i-- > 0;) {
    if (Get32(tail.data() + i) == kEndSignature) {
      found = size - span + i;
      break;
    }
  }
  if (found == UINT64_MAX) return kZipIoError;
  unsigned char end[kEndRecordSize];
  if (!source->ReadAt(found, end, sizeof(end))) return kZipIoError;
  const uint16_t disk = Get16(end + 4), centralDisk = Get16(end + 6);
  const uint16_t entriesHere = Get16(end + 8), entries = Get16(end + 10);
  m_centralSize = Get32(end + 12);
  m_centralOffset = Get32(end + 16);
  if (entriesHere != entries || disk != 0 || centralDisk != 0) return kZipBadArchive;
  const uint64_t centralEnd = static_cast<uint64_t>(m_centralOffset) + m_centralSize;
  if (centralEnd > found) return kZipBadArchive;
  m_bytesBefore = found - centralEnd;
  m_entryCount = entries;
  GoToFirst();  // an archive whose first record is damaged still opens; using it fails
  return kZipOk;
}

ZipResult ZipDirectory::ReadCurrent() {
  m_currentValid = false;
  unsigned char record[kCentralRecordSize];
  if (!m_source->ReadAt(m_currentPosition, record, sizeof(record))) return kZipIoError;
  if (Get32(record) != kCentralSignature) return kZipBadArchive;
  ZipCentralRecord& r = m_current;
  r.versionMadeBy = Get16(record + 4);
  r.versionNeeded = Get16(record + 6);
  r.flags = Get16(record + 8);
  r.method = Get16(record + 10);
  r.dosTime = Get16(record + 12);
  r.dosDate = Get16(record + 14);
  r.crc = Get32(record + 16);
  r.compressedSize = Get32(record + 20);
  r.uncompressedSize = Get32(record + 24);
  r.nameLength = Get16(record + 28);
  r.extraLength = Get16(record + 30);
  r.commentLength = Get16(record + 32);
  r.diskStart = Get16(record + 34);
  r.internalAttributes = Get16(record + 36);
  r.externalAttributes = Get32(record + 38);
  r.localHeaderOffset = Get32(record + 42);
  const size_t kept = r.nameLength < sizeof(r.name) ? r.nameLength : sizeof(r.name) - 1;
  if (!m_source->ReadAt(m_currentPosition + kCentralRecordSize, r.name, kept)) return kZipIoError;
  r.name[kept] = 0;
  m_currentValid = true;
  return kZipOk;
}

ZipResult ZipDirectory::GoToFirst() {
  m_currentIndex = 0;
  m_currentPosition = static_cast<uint64_t>(m_centralOffset) + m_bytesBefore;
  if (m_entryCount == 0) {
    m_currentValid = false;
    return kZipEndOfList;
  }
  return ReadCurrent();
}

ZipResult ZipDirectory::GoToNext() {
  if (!m_currentValid) return kZipEndOfList;
  if (m_currentIndex + 1 >= m_entryCount) return kZipEndOfList;
  m_currentPosition += kCentralRecordSize + m_current.nameLength + m_current.extraLength + m_current.commentLength;
  ++m_currentIndex;
  return ReadCurrent();
}

ZipResult ZipDirectory::GoTo(uint32_t index) {
  if (index >= m_entryCount) return kZipBadParameter;
  if (!m_currentValid || index < m_currentIndex) {
    const ZipResult first = GoToFirst();
    if (first != kZipOk) return first;
  }
  while (m_currentIndex < index) {
    const ZipResult next = GoToNext();
    if (next != kZipOk) return next;
  }
  return kZipOk;
}

ZipResult ZipDirectory::Locate(const char* name, bool ignoreCase) {
  if (name == nullptr) return kZipBadParameter;
  const bool hadCurrent = m_currentValid;
  const uint32_t savedIndex = m_currentIndex;
  for (ZipResult step = GoToFirst(); step == kZipOk; step = GoToNext()) {
    // A name cut to the record's buffer is never reported as a match.
    if (m_current.nameLength < sizeof(m_current.name) && NamesEqual(m_current.name, name, ignoreCase)) return kZipOk;
  }
  if (hadCurrent) GoTo(savedIndex);
  else m_currentValid = false;
  return kZipEndOfList;
}

ZipResult ZipDirectory::CheckLocalHeader(ZipEntryPlacement* placement) {
  if (!m_currentValid) return kZipEndOfList;
  const ZipCentralRecord& r = m_current;
  const uint64_t header = static_cast<uint64_t>(r.localHeaderOffset) + m_bytesBefore;
  unsigned char local[kLocalHeaderSize];
  if (!m_source->ReadAt(header, local, sizeof(local))) return kZipIoError;
  if (Get32(local) != kLocalSignature) return kZipBadArchive;
  const uint16_t method = Get16(local + 8);
  if (method != r.method || (method != 0 && method != 8)) return kZipBadArchive;
  // Flag bit 3: CRC and sizes follow the data in a descriptor; the central
  // record's values count.
  if ((r.flags & 8) == 0) {
    if (Get32(local + 14) != r.crc || Get32(local + 18) != r.compressedSize || Get32(local + 22) != r.uncompressedSize) {
      return kZipBadArchive;
    }
  }
  if (Get16(local + 26) != r.nameLength) return kZipBadArchive;
  const uint16_t extraLength = Get16(local + 28);
  placement->extraOffset = header + kLocalHeaderSize + r.nameLength;
  placement->extraLength = extraLength;
  placement->dataOffset = placement->extraOffset + extraLength;
  if (placement->dataOffset > m_source->GetSize() ||
      r.compressedSize > m_source->GetSize() - placement->dataOffset) {
    return kZipBadArchive;
  }
  return kZipOk;
}

}  // namespace Trellis

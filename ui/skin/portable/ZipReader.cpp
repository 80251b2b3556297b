#include "ui/skin/portable/ZipReader.h"

#include <cstdlib>
#include <cstring>

namespace Trellis {
namespace {

uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int32_t Get32Signed(const unsigned char* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

constexpr uint32_t kAttributeReadOnly = 0x01, kAttributeHidden = 0x02, kAttributeSystem = 0x04,
                   kAttributeFolder = 0x10, kAttributeArchive = 0x20, kAttributeNormal = 0x80;

// The host that made the entry (high byte of "version made by"): these keep
// DOS attributes in the low byte; the others (Unix) keep a mode in the high word.
bool HasDosAttributes(uint16_t versionMadeBy) {
  const int host = versionMadeBy >> 8;
  return host == 0 || host == 7 || host == 11 || host == 14;
}

uint32_t EntryAttributes(const ZipCentralRecord& r) {
  const uint32_t external = r.externalAttributes;
  uint32_t attributes = kAttributeNormal;
  if (external & 0x40000010u) attributes |= kAttributeFolder;
  if (external & 0x20u) attributes |= kAttributeArchive;
  if (external & 0x02u) attributes |= kAttributeHidden;
  if (external & 0x04u) attributes |= kAttributeSystem;
  // Read-only: the DOS bit for DOS-like hosts, a clear owner-write bit of the
  // Unix mode for the others (a DOS archive has no mode at all).
  const bool readOnly = HasDosAttributes(r.versionMadeBy) ? (external & 0x01u) != 0 : (external & 0x00800000u) == 0;
  if (readOnly) attributes |= kAttributeReadOnly;
  return attributes;
}

// Reads the Unix times of an extended timestamp block ("UT") from the local
// extra field. Block sizes are 16-bit and every time must lie inside its block.
void ReadExtendedTimes(const unsigned char* extra, size_t length, ZipEntryInfo* info) {
  size_t pos = 0;
  while (length - pos >= 4) {
    const uint16_t id = Get16(extra + pos);
    const size_t size = Get16(extra + pos + 2);
    const size_t body = pos + 4;
    const size_t end = size <= length - body ? body + size : length;
    if (id == 0x5455 && body < end) {
      const uint8_t flags = extra[body];
      size_t at = body + 1;
      int32_t* const times[3] = {&info->unixModified, &info->unixAccessed, &info->unixCreated};
      for (int bit = 0; bit < 3; ++bit) {
        if ((flags & (1u << bit)) == 0) continue;
        if (end - at < 4) break;
        *times[bit] = Get32Signed(extra + at);
        info->unixTimeFlags |= static_cast<uint8_t>(1u << bit);
        at += 4;
      }
    }
    if (size > length - body) break;
    pos = body + size;
  }
}

}  // namespace

void ZipByteNameCodec::ToArchiveName(const UIChar* name, char* out, size_t size) const {
  size_t i = 0;
  for (; i + 1 < size && name[i] != 0; ++i) out[i] = static_cast<char>(name[i] <= 0xFF ? name[i] : '?');
  if (size > 0) out[i] = 0;
}

void ZipByteNameCodec::FromArchiveName(const char* name, UIChar* out, size_t size) const {
  size_t i = 0;
  for (; i + 1 < size && name[i] != 0; ++i) out[i] = static_cast<UIChar>(static_cast<unsigned char>(name[i]));
  if (size > 0) out[i] = 0;
}

std::unique_ptr<ZipReader> ZipReader::Open(std::unique_ptr<ZipSource> source, const ZipNameCodec* codec,
                                           ZipResult* result) {
  std::unique_ptr<ZipReader> reader(new ZipReader(std::move(source), codec));
  *result = reader->m_directory.Open(reader->m_source.get());
  if (*result != kZipOk) reader.reset();
  return reader;
}

void ZipReader::CloseOpenEntry() {
  // A CRC mismatch was already reported by the read that completed the entry.
  m_stream.Close();
  m_openIndex = -1;
}

ZipResult ZipReader::GetEntry(int index, ZipEntryInfo* info) {
  CloseOpenEntry();
  if (index == -1) {
    std::memset(info, 0, sizeof(*info));
    info->index = GetEntryCount();
    return kZipOk;
  }
  if (index < -1 || index >= GetEntryCount()) return kZipBadArgument;
  if (index == m_cachedIndex) {
    *info = m_cached;
    return kZipOk;
  }
  if (m_directory.GoTo(static_cast<uint32_t>(index)) != kZipOk) return kZipHeaderMismatch;
  ZipEntryPlacement placement;
  if (m_directory.CheckLocalHeader(&placement) != kZipOk) return kZipHeaderMismatch;
  const ZipCentralRecord& r = m_directory.GetCurrent();
  ZipEntryInfo entry = {};
  entry.index = index;
  m_codec->FromArchiveName(r.name, entry.name, sizeof(entry.name) / sizeof(entry.name[0]));
  entry.attributes = EntryAttributes(r);
  entry.dosDate = r.dosDate;
  entry.dosTime = r.dosTime;
  entry.compressedSize = static_cast<int32_t>(r.compressedSize);
  entry.unpackedSize = static_cast<int32_t>(r.uncompressedSize);
  if (placement.extraLength > 0) {
    unsigned char* extra = static_cast<unsigned char*>(std::malloc(placement.extraLength));
    if (extra == nullptr) return kZipExtraUnreadable;
    const bool read = m_source->ReadAt(placement.extraOffset, extra, placement.extraLength);
    if (read) ReadExtendedTimes(extra, placement.extraLength, &entry);
    std::free(extra);
    if (!read) return kZipExtraUnreadable;
  }
  m_cached = entry;
  m_cachedIndex = index;
  *info = entry;
  return kZipOk;
}

ZipResult ZipReader::FindEntry(const UIChar* name, bool ignoreCase, int* index, ZipEntryInfo* info) {
  CloseOpenEntry();
  *index = -1;
  const size_t length = UITextLength(name);
  if (name == nullptr || length >= 256) return kZipNotFound;
  UIChar lookup[256];
  for (size_t i = 0; i <= length; ++i) lookup[i] = name[i] == '\\' ? static_cast<UIChar>('/') : name[i];
  char narrow[260];
  m_codec->ToArchiveName(lookup, narrow, sizeof(narrow));
  if (m_directory.Locate(narrow, ignoreCase) != kZipOk) return kZipNotFound;
  const int found = m_directory.GetCurrentIndex();
  const ZipResult result = GetEntry(found, info);
  if (result == kZipOk) *index = found;
  return result;
}

ZipResult ZipReader::OpenEntry(int index) {
  if (m_directory.GoTo(static_cast<uint32_t>(index)) != kZipOk) return kZipHeaderMismatch;
  ZipEntryPlacement placement;
  if (m_directory.CheckLocalHeader(&placement) != kZipOk) return kZipHeaderMismatch;
  if (m_stream.Open(m_source.get(), m_directory.GetCurrent(), placement) != kZipOk) return kZipMemoryReadFailed;
  m_openIndex = index;
  return kZipOk;
}

ZipResult ZipReader::ExtractToMemory(int index, void* buffer, size_t length, size_t* delivered) {
  if (delivered != nullptr) *delivered = 0;
  if (index != m_openIndex || !m_stream.IsOpen()) {
    CloseOpenEntry();
    if (index < 0 || index >= GetEntryCount()) return kZipBadArgument;
    const ZipResult opened = OpenEntry(index);
    if (opened != kZipOk) return opened;
  }
  if (buffer == nullptr) length = 0;
  size_t got = 0;
  const ZipResult read = m_stream.Read(buffer, length, &got);
  if (delivered != nullptr) *delivered = got;
  if (read != kZipOk) {
    CloseOpenEntry();
    return kZipMemoryReadFailed;
  }
  if (got > 0) return kZipMoreData;
  CloseOpenEntry();
  return kZipOk;
}

ZipResult ZipReader::ExtractToSink(int index, ZipSink& sink) {
  CloseOpenEntry();
  if (index < 0 || index >= GetEntryCount()) return kZipBadArgument;
  const ZipResult opened = OpenEntry(index);
  if (opened != kZipOk) return opened == kZipMemoryReadFailed ? kZipWriteFailed : opened;
  unsigned char chunk[0x4000];
  ZipResult result = kZipOk;
  for (;;) {
    size_t got = 0;
    if (m_stream.Read(chunk, sizeof(chunk), &got) != kZipOk) {
      result = kZipWriteFailed;
      break;
    }
    if (got == 0) break;
    if (!sink.Write(chunk, got)) {
      result = kZipWriteFailed;
      break;
    }
  }
  CloseOpenEntry();
  return result;
}

}  // namespace Trellis

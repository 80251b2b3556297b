#pragma once
// The checked reader of one archive entry's data (stored or deflated), which
// owns its inflate state and input buffer.

#include <zlib.h>

#include <cstddef>
#include <cstdint>

#include "ui/skin/portable/ZipDirectory.h"

namespace Trellis {

// Reads the data of one entry: stored bytes copied, deflated bytes inflated
// raw, the CRC-32 kept over every delivered byte. Data that ends early, does
// not inflate, or whose CRC differs once the last byte is delivered is an
// error of the read that finds it, so no caller takes damaged data for whole.
class ZipEntryStream {
 public:
  static constexpr size_t kInputBufferSize = 0x4000;

  ZipEntryStream() = default;
  ZipEntryStream(const ZipEntryStream&) = delete;
  ZipEntryStream& operator=(const ZipEntryStream&) = delete;
  ~ZipEntryStream();

  // kZipOk, kZipOutOfMemory or kZipBadArchive (zlib would not start).
  ZipResult Open(ZipSource* source, const ZipCentralRecord& record, const ZipEntryPlacement& placement);
  // Delivers up to `length` bytes (never more than are left) into buffer.
  // kZipOk with *delivered 0 at the end; kZipIoError for a read failure,
  // kZipBadArchive for data that is short or does not inflate, kZipCrcMismatch
  // when the entry is complete and its CRC differs. After an error every
  // later read fails the same way.
  ZipResult Read(void* buffer, size_t length, size_t* delivered);
  // Frees the stream; kZipCrcMismatch when every byte was delivered and the
  // CRC differs, else kZipOk.
  ZipResult Close();
  bool IsOpen() const { return m_input != nullptr; }

 private:
  ZipResult Fill();

  ZipSource* m_source = nullptr;    // borrowed
  unsigned char* m_input = nullptr; // owned input buffer; null when closed
  z_stream m_zlib = {};
  bool m_zlibStarted = false;
  uint16_t m_method = 0;
  uint32_t m_crc = 0;
  uint32_t m_expectedCrc = 0;
  uint64_t m_readPosition = 0;      // next compressed byte in the source
  uint64_t m_compressedLeft = 0;
  uint64_t m_uncompressedLeft = 0;
  bool m_streamEnded = false;
  ZipResult m_error = kZipOk;       // sticky once set
};

}  // namespace Trellis

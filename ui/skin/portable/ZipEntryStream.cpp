#include "ui/skin/portable/ZipEntryStream.h"

#include <cstdlib>
#include <cstring>

namespace Trellis {

ZipEntryStream::~ZipEntryStream() { Close(); }

ZipResult ZipEntryStream::Open(ZipSource* source, const ZipCentralRecord& record, const ZipEntryPlacement& placement) {
  Close();
  m_input = static_cast<unsigned char*>(std::malloc(kInputBufferSize));
  if (m_input == nullptr) return kZipOutOfMemory;
  m_source = source;
  m_method = record.method;
  m_crc = crc32(0L, Z_NULL, 0);
  m_expectedCrc = record.crc;
  m_readPosition = placement.dataOffset;
  m_compressedLeft = record.compressedSize;
  m_uncompressedLeft = record.uncompressedSize;
  m_streamEnded = false;
  m_error = kZipOk;
  m_zlib = z_stream();
  m_zlib.next_in = m_input;
  m_zlib.avail_in = 0;
  if (m_method == 8) {
    if (inflateInit2(&m_zlib, -MAX_WBITS) != Z_OK) {
      Close();
      return kZipBadArchive;
    }
    m_zlibStarted = true;
  }
  return kZipOk;
}

ZipResult ZipEntryStream::Fill() {
  const size_t chunk = m_compressedLeft < kInputBufferSize ? static_cast<size_t>(m_compressedLeft) : kInputBufferSize;
  if (!m_source->ReadAt(m_readPosition, m_input, chunk)) return kZipIoError;
  m_readPosition += chunk;
  m_compressedLeft -= chunk;
  m_zlib.next_in = m_input;
  m_zlib.avail_in = static_cast<uInt>(chunk);
  return kZipOk;
}

ZipResult ZipEntryStream::Read(void* buffer, size_t length, size_t* delivered) {
  *delivered = 0;
  if (m_input == nullptr) return kZipEndOfList;
  if (m_error != kZipOk) return m_error;
  if (length > m_uncompressedLeft) length = static_cast<size_t>(m_uncompressedLeft);
  unsigned char* out = static_cast<unsigned char*>(buffer);
  size_t done = 0;
  ZipResult result = kZipOk;
  while (done < length && result == kZipOk) {
    if (m_zlib.avail_in == 0 && m_compressedLeft > 0) {
      result = Fill();
      if (result != kZipOk) break;
    }
    if (m_method == 0) {
      const size_t copied = m_zlib.avail_in < length - done ? m_zlib.avail_in : length - done;
      if (copied == 0) {
        result = kZipBadArchive;  // the stored data is shorter than its size says
        break;
      }
      std::memcpy(out + done, m_zlib.next_in, copied);
      m_zlib.next_in += copied;
      m_zlib.avail_in -= static_cast<uInt>(copied);
      done += copied;
      continue;
    }
    if (m_streamEnded) {
      result = kZipBadArchive;  // the deflate stream ended before the size it was given
      break;
    }
    // Output is offered in pieces zlib's 32-bit counters can hold.
    const size_t room = length - done < 0x40000000u ? length - done : 0x40000000u;
    m_zlib.next_out = out + done;
    m_zlib.avail_out = static_cast<uInt>(room);
    const uInt inputBefore = m_zlib.avail_in;
    const int status = inflate(&m_zlib, Z_SYNC_FLUSH);
    const size_t produced = room - m_zlib.avail_out;
    done += produced;
    if (status == Z_STREAM_END) {
      m_streamEnded = true;
    } else if (status != Z_OK && status != Z_BUF_ERROR) {
      result = kZipBadArchive;  // invalid data, a preset dictionary, or no memory
    } else if (produced == 0 && inputBefore == m_zlib.avail_in) {
      // No progress: fine only when more compressed data is still to be read;
      // otherwise it ran out before the stream's end.
      if (m_zlib.avail_in != 0 || m_compressedLeft == 0) result = kZipBadArchive;
    }
  }
  if (done > 0) m_crc = crc32(m_crc, out, static_cast<uInt>(done));
  m_uncompressedLeft -= done;
  *delivered = done;
  if (result == kZipOk && m_uncompressedLeft == 0 && m_crc != m_expectedCrc) result = kZipCrcMismatch;
  m_error = result;
  return result;
}

ZipResult ZipEntryStream::Close() {
  if (m_input == nullptr) return kZipOk;
  const ZipResult result = m_uncompressedLeft == 0 && m_crc != m_expectedCrc ? kZipCrcMismatch : kZipOk;
  if (m_zlibStarted) inflateEnd(&m_zlib);
  m_zlibStarted = false;
  std::free(m_input);
  m_input = nullptr;
  return result;
}

}  // namespace Trellis

#pragma once
// Where an archive's bytes come from: the reading interface and the
// in-memory source over bytes the caller keeps alive.

#include <cstddef>
#include <cstdint>

namespace Trellis {

// The bytes of one archive. Positions count from the archive's start (which
// may lie inside a larger file); no read reaches past GetSize().
class ZipSource {
 public:
  virtual ~ZipSource() = default;
  virtual uint64_t GetSize() const = 0;
  // Reads exactly `length` bytes at `offset`; false (nothing promised about
  // the buffer) when they are not all inside the archive or cannot be read.
  virtual bool ReadAt(uint64_t offset, void* buffer, size_t length) = 0;
};

// An archive in memory that the caller keeps alive (it is not copied).
class ZipMemorySource : public ZipSource {
 public:
  ZipMemorySource(const void* data, size_t length) : m_data(static_cast<const unsigned char*>(data)), m_length(length) {}
  uint64_t GetSize() const override { return m_length; }
  bool ReadAt(uint64_t offset, void* buffer, size_t length) override;

 private:
  const unsigned char* m_data;  // borrowed
  size_t m_length;
};

}  // namespace Trellis

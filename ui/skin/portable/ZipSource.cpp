#include "ui/skin/portable/ZipSource.h"

#include <cstring>

namespace Trellis {

bool ZipMemorySource::ReadAt(uint64_t offset, void* buffer, size_t length) {
  if (offset > m_length || length > m_length - offset) return false;
  if (length > 0) std::memcpy(buffer, m_data + offset, length);
  return true;
}

}  // namespace Trellis

#pragma once

// The one byte block of the program for server replies and whole files: a
// block from the C allocator holding exactly size() bytes followed by one 0
// byte, so its text also reads as a C string. Empty (null data, size 0) until
// bytes are stored. Owns its block; moves, never copies. Header only, so the
// transport, the skin reader and the tools share it without a library.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ~ByteBuffer() { std::free(m_data); }
  ByteBuffer(ByteBuffer&& other) noexcept
      : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}
  ByteBuffer& operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
      std::free(m_data);
      m_data = std::exchange(other.m_data, nullptr);
      m_size = std::exchange(other.m_size, 0);
    }
    return *this;
  }
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  // Appends bytes, growing the block by exactly their count; false when the
  // block cannot be grown (the buffer is then unchanged).
  bool Append(const void* bytes, size_t count) {
    if (count > SIZE_MAX - 1 - m_size) return false;
    char* grown = static_cast<char*>(std::realloc(m_data, m_size + count + 1));
    if (grown == nullptr) return false;
    m_data = grown;
    if (count > 0) std::memcpy(m_data + m_size, bytes, count);
    m_size += count;
    m_data[m_size] = '\0';
    return true;
  }

  // Replaces the block with one of `size` bytes (contents unspecified, the
  // terminating 0 set); false when memory runs out, leaving the buffer empty.
  bool Allocate(size_t size) {
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    if (size > SIZE_MAX - 1) return false;
    m_data = static_cast<char*>(std::malloc(size + 1));
    if (m_data == nullptr) return false;
    m_data[size] = '\0';
    m_size = size;
    return true;
  }

  char* data() const noexcept { return m_data; }
  unsigned char* bytes() const noexcept { return reinterpret_cast<unsigned char*>(m_data); }
  size_t size() const noexcept { return m_size; }
  bool empty() const noexcept { return m_size == 0; }
  std::string_view view() const noexcept { return std::string_view(m_data ? m_data : "", m_size); }

  // Hands the block to the caller, who frees it with free(); the buffer is empty afterwards.
  char* Release() noexcept {
    m_size = 0;
    return std::exchange(m_data, nullptr);
  }

 private:
  char* m_data = nullptr;  // owned, malloc family; m_size + 1 bytes when not null
  size_t m_size = 0;
};

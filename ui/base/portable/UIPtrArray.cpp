#include "ui/base/portable/UIPtrArray.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace Trellis {
namespace {

// Storage sizes are kept to what a signed 32-bit byte count can express, so the
// arithmetic below never wraps on a 32-bit build.
constexpr int kMaxSlots = static_cast<int>(INT_MAX / sizeof(void*));

}  // namespace

CUIPtrArray::CUIPtrArray(int capacity) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0) {
  if (capacity > 0 && capacity <= kMaxSlots) {
    m_ppVoid = static_cast<void**>(std::calloc(static_cast<size_t>(capacity), sizeof(void*)));
    if (m_ppVoid != nullptr) m_nAllocated = capacity;
  }
}

CUIPtrArray::CUIPtrArray(const CUIPtrArray& other) : m_ppVoid(nullptr), m_nCount(0), m_nAllocated(0) {
  for (int i = 0; i < other.GetSize(); ++i) Add(other.GetAtUnchecked(i));
}

CUIPtrArray& CUIPtrArray::operator=(const CUIPtrArray& other) {
  if (this != &other) {
    Clear();
    for (int i = 0; i < other.GetSize(); ++i) Add(other.GetAtUnchecked(i));
  }
  return *this;
}

CUIPtrArray::~CUIPtrArray() { std::free(m_ppVoid); }

bool CUIPtrArray::Grow() {
  const int count = m_nCount + 1;
  if (count >= m_nAllocated) {
    if (m_nAllocated > kMaxSlots / 2) return false;
    const int capacity = m_nAllocated == 0 ? 11 : m_nAllocated * 2;
    void** grown = static_cast<void**>(std::realloc(m_ppVoid, static_cast<size_t>(capacity) * sizeof(void*)));
    if (grown == nullptr) return false;
    m_ppVoid = grown;
    m_nAllocated = capacity;
  }
  m_nCount = count;
  return true;
}

bool CUIPtrArray::Add(void* pointer) {
  if (!Grow()) return false;
  m_ppVoid[m_nCount - 1] = pointer;
  return true;
}

bool CUIPtrArray::InsertAt(int index, void* pointer) {
  if (index == m_nCount) return Add(pointer);
  if (index < 0 || index > m_nCount) return false;
  if (!Grow()) return false;
  std::memmove(&m_ppVoid[index + 1], &m_ppVoid[index], static_cast<size_t>(m_nCount - 1 - index) * sizeof(void*));
  m_ppVoid[index] = pointer;
  return true;
}

bool CUIPtrArray::Remove(int index, int count) {
  if (index < 0 || count <= 0 || count > m_nCount - index) return false;
  const int tail = m_nCount - index - count;
  if (tail > 0) std::memmove(&m_ppVoid[index], &m_ppVoid[index + count], static_cast<size_t>(tail) * sizeof(void*));
  m_nCount -= count;
  return true;
}

int CUIPtrArray::Find(const void* pointer) const {
  for (int i = 0; i < m_nCount; ++i) {
    if (m_ppVoid[i] == pointer) return i;
  }
  return -1;
}

void* CUIPtrArray::GetAt(int index) const {
  if (index < 0 || index >= m_nCount) return nullptr;
  return m_ppVoid[index];
}

bool CUIPtrArray::Resize(int n) {
  if (n < 0 || n > kMaxSlots) return false;
  void** storage = nullptr;
  if (n > 0) {
    storage = static_cast<void**>(std::calloc(static_cast<size_t>(n), sizeof(void*)));
    if (storage == nullptr) return false;
  }
  std::free(m_ppVoid);
  m_ppVoid = storage;
  m_nCount = n;
  m_nAllocated = n;
  return true;
}

void CUIPtrArray::Clear() {
  std::free(m_ppVoid);
  m_ppVoid = nullptr;
  m_nCount = 0;
  m_nAllocated = 0;
}

}  // namespace Trellis

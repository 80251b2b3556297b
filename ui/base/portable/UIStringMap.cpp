#include "ui/base/portable/UIStringMap.h"

#include <cstdlib>
#include <new>

namespace Trellis {

CUIStringMap::CUIStringMap(int buckets) : m_aT(nullptr), m_nBuckets(0), m_nCount(0) {
  Resize(buckets < 16 ? 16 : buckets);
}

CUIStringMap::CUIStringMap(const CUIStringMap& other) : m_aT(nullptr), m_nBuckets(0), m_nCount(0) {
  CopyFrom(other);
}

CUIStringMap& CUIStringMap::operator=(const CUIStringMap& other) {
  if (this != &other) CopyFrom(other);
  return *this;
}

CUIStringMap::~CUIStringMap() {
  FreeNodes();
  std::free(m_aT);
}

unsigned CUIStringMap::HashKey(const UIChar* key) {
  const size_t length = UITextLength(key);
  unsigned hash = 0;
  for (size_t i = length; i > 0; --i) hash = hash * 33u + static_cast<unsigned>(key[i - 1]);
  return hash;
}

CUIStringMap::Node** CUIStringMap::BucketOf(const UIChar* key) const {
  return &m_aT[HashKey(key) % static_cast<unsigned>(m_nBuckets)];
}

CUIStringMap::Node* CUIStringMap::FindNode(const UIChar* key, bool moveToFront) const {
  if (m_aT == nullptr || m_nCount == 0 || key == nullptr) return nullptr;
  Node** head = BucketOf(key);
  for (Node* node = *head; node != nullptr; node = node->next) {
    if (!node->key.EqualsText(key)) continue;
    if (moveToFront && node != *head) {
      node->prev->next = node->next;
      if (node->next != nullptr) node->next->prev = node->prev;
      node->prev = nullptr;
      node->next = *head;
      (*head)->prev = node;
      *head = node;
    }
    return node;
  }
  return nullptr;
}

void* CUIStringMap::Find(const UIChar* key, bool moveToFront) const {
  const Node* node = FindNode(key, moveToFront);
  return node == nullptr ? nullptr : node->value;
}

bool CUIStringMap::Insert(const UIChar* key, void* value) {
  if (m_aT == nullptr || key == nullptr) return false;
  if (FindNode(key, true) != nullptr) return false;
  Node** head = BucketOf(key);
  Node* node = new (std::nothrow) Node{CUIString(key), value, nullptr, *head};
  if (node == nullptr) return false;
  if (*head != nullptr) (*head)->prev = node;
  *head = node;
  ++m_nCount;
  return true;
}

void* CUIStringMap::Set(const UIChar* key, void* value) {
  if (m_aT == nullptr || key == nullptr) return value;
  if (Node* node = FindNode(key, false)) {
    void* old = node->value;
    node->value = value;
    return old;
  }
  return Insert(key, value) ? nullptr : value;
}

bool CUIStringMap::Remove(const UIChar* key) {
  if (m_aT == nullptr || m_nCount == 0 || key == nullptr) return false;
  Node** head = BucketOf(key);
  for (Node* node = *head; node != nullptr; node = node->next) {
    if (!node->key.EqualsText(key)) continue;
    // Both neighbours are relinked (or the bucket head moves on), so the rest
    // of the chain stays reachable.
    if (node->prev != nullptr) node->prev->next = node->next;
    else *head = node->next;
    if (node->next != nullptr) node->next->prev = node->prev;
    delete node;
    --m_nCount;
    return true;
  }
  return false;
}

const UIChar* CUIStringMap::GetKeyAt(int index) const {
  if (m_aT == nullptr || index < 0 || index >= m_nCount) return nullptr;
  int position = 0;
  for (int bucket = m_nBuckets - 1; bucket >= 0; --bucket) {
    for (Node* node = m_aT[bucket]; node != nullptr; node = node->next) {
      if (position++ == index) return node->key.GetText();
    }
  }
  return nullptr;
}

void CUIStringMap::FreeNodes() {
  if (m_aT == nullptr) return;
  for (int bucket = m_nBuckets - 1; bucket >= 0; --bucket) {
    Node* node = m_aT[bucket];
    while (node != nullptr) {
      Node* next = node->next;
      delete node;
      node = next;
    }
    m_aT[bucket] = nullptr;
  }
  m_nCount = 0;
}

void CUIStringMap::Resize(int n) {
  FreeNodes();
  std::free(m_aT);
  m_aT = nullptr;
  m_nBuckets = 0;
  m_nCount = 0;
  if (n <= 0) return;
  m_aT = static_cast<Node**>(std::calloc(static_cast<size_t>(n), sizeof(Node*)));
  if (m_aT != nullptr) m_nBuckets = n;
}

void CUIStringMap::RemoveAll() { Resize(m_nBuckets); }

void CUIStringMap::CopyFrom(const CUIStringMap& other) {
  Resize(other.m_nBuckets);
  if (m_aT == nullptr) return;
  for (int bucket = 0; bucket < m_nBuckets; ++bucket) {
    // Appending at the tail keeps the other's chain order.
    Node* tail = nullptr;
    for (const Node* source = other.m_aT[bucket]; source != nullptr; source = source->next) {
      Node* node = new (std::nothrow) Node{source->key, source->value, tail, nullptr};
      if (node == nullptr) return;
      if (tail != nullptr) tail->next = node;
      else m_aT[bucket] = node;
      tail = node;
      ++m_nCount;
    }
  }
}

}  // namespace Trellis

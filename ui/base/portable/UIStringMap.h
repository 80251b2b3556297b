#pragma once
// The framework's string-keyed map of borrowed pointers; it owns its keys.

#include "ui/base/portable/UIString.h"

namespace Trellis {

// A string-keyed hash map of untyped pointers that it does not own. Keys hash
// as h * 33 + character over the characters from the last to the first, into
// at least 16 buckets; new keys go to the head of their bucket. The order of
// GetKeyAt (buckets from the last to the first, each from its head) is visible
// to callers, who walk the map with it to free their values before clearing.
class CUIStringMap {
 public:
  explicit CUIStringMap(int buckets = 83);
  // Copies keep the bucket count and the order of every chain.
  CUIStringMap(const CUIStringMap& other);
  CUIStringMap& operator=(const CUIStringMap& other);
  ~CUIStringMap();

  // The value stored under the key (case-sensitive), or null. With
  // moveToFront a found key becomes the head of its bucket.
  void* Find(const UIChar* key, bool moveToFront = true) const;
  // False, changing nothing, when there are no buckets, the key is already
  // present or memory runs out; else the key goes to the head of its bucket.
  bool Insert(const UIChar* key, void* value);
  // Present key: replaces its value and returns the old one. Otherwise
  // inserts and returns null; when it cannot be stored, returns the value itself.
  void* Set(const UIChar* key, void* value);
  // Unlinks and frees the key's node; false when there is no such key.
  bool Remove(const UIChar* key);
  // The key text of the index-th node in enumeration order, null when the
  // index is outside 0..count-1.
  const UIChar* GetKeyAt(int index) const;
  int GetCount() const { return m_nCount; }
  // Frees every node and the buckets, then makes n empty buckets (negative n
  // counts as 0; no minimum here, and 0 buckets take no key).
  void Resize(int n);
  // Resize with the current bucket count.
  void RemoveAll();

  // The bucket hash of a key (exposed for tests of the visible order).
  static unsigned HashKey(const UIChar* key);

 private:
  struct Node {
    CUIString key;
    void* value;
    Node* prev;  // null at the head of the bucket
    Node* next;  // null at the tail
  };

  Node** BucketOf(const UIChar* key) const;
  Node* FindNode(const UIChar* key, bool moveToFront) const;
  void FreeNodes();
  void CopyFrom(const CUIStringMap& other);

  Node** m_aT;      // owned bucket heads; null when the map has no buckets
  int m_nBuckets;
  int m_nCount;
};

}  // namespace Trellis

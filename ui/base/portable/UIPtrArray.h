#pragma once
// The framework's array of borrowed pointers.

namespace Trellis {

// A growable array of untyped pointers that it does not own: clearing or
// destroying the array frees only its storage. Growth doubles the capacity
// (11 slots first) as soon as the count reaches it, so the array is never full
// after an insertion.
class CUIPtrArray {
 public:
  explicit CUIPtrArray(int capacity = 0);
  // Starts empty and appends every element of the other in order.
  CUIPtrArray(const CUIPtrArray& other);
  CUIPtrArray& operator=(const CUIPtrArray& other);
  ~CUIPtrArray();

  // Appends; false when the storage cannot grow (the array is then unchanged).
  bool Add(void* pointer);
  // Index equal to the count appends; false for an index outside 0..count or
  // when the storage cannot grow.
  bool InsertAt(int index, void* pointer);
  // Removes count elements from index, closing the gap; false (nothing
  // removed) for a negative index, a count of 0 or less, or a range past the end.
  bool Remove(int index, int count = 1);
  // Index of the first equal element, -1 when none.
  int Find(const void* pointer) const;
  // Null for an index outside 0..count-1.
  void* GetAt(int index) const;
  // No bounds check.
  void* GetAtUnchecked(int index) const { return m_ppVoid[index]; }
  int GetSize() const { return m_nCount; }
  bool IsEmpty() const { return m_nCount == 0; }
  // Replaces the storage with n null slots (count and capacity n); false for a
  // negative n or when the storage cannot be had, and the array stays as it was.
  bool Resize(int n);
  // Frees the storage; count and capacity 0.
  void Clear();

 private:
  bool Grow();

  void** m_ppVoid;      // owned storage (the pointers in it are not owned); null until the first growth
  int m_nCount;         // elements held
  int m_nAllocated;     // slots allocated
};

}  // namespace Trellis

#include "ui/base/portable/UIPtrArray.h"

#include <gtest/gtest.h>

#include <vector>

using Trellis::CUIPtrArray;

namespace {

void* P(int n) { return reinterpret_cast<void*>(static_cast<intptr_t>(n)); }

std::vector<intptr_t> Contents(const CUIPtrArray& a) {
  std::vector<intptr_t> out;
  for (int i = 0; i < a.GetSize(); ++i) out.push_back(reinterpret_cast<intptr_t>(a.GetAt(i)));
  return out;
}

// The capacity is not visible; an array that must grow at the eleventh element
// is recognised by a storage address change (checked through GetAt of slot 0
// staying right and ASan watching the old storage).
TEST(UIPtrArray, GrowsAndKeepsOrder) {
  CUIPtrArray a;
  EXPECT_TRUE(a.IsEmpty());
  for (int i = 1; i <= 50; ++i) ASSERT_TRUE(a.Add(P(i)));
  EXPECT_EQ(a.GetSize(), 50);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(a.GetAtUnchecked(i), P(i + 1));
  EXPECT_EQ(a.GetAt(50), nullptr);
  EXPECT_EQ(a.GetAt(-1), nullptr);
  EXPECT_EQ(a.Find(P(7)), 6);
  EXPECT_EQ(a.Find(P(99)), -1);
}

TEST(UIPtrArray, InsertAndRemoveBounds) {
  struct Case {
    const char* what;
    bool (*operation)(CUIPtrArray&);
    bool result;
    std::vector<intptr_t> after;
  };
  const Case cases[] = {
      {"insert at count appends", [](CUIPtrArray& a) { return a.InsertAt(3, P(9)); }, true, {1, 2, 3, 9}},
      {"insert past count", [](CUIPtrArray& a) { return a.InsertAt(4, P(9)); }, false, {1, 2, 3}},
      {"insert negative", [](CUIPtrArray& a) { return a.InsertAt(-1, P(9)); }, false, {1, 2, 3}},
      {"insert at front", [](CUIPtrArray& a) { return a.InsertAt(0, P(9)); }, true, {9, 1, 2, 3}},
      {"insert in middle", [](CUIPtrArray& a) { return a.InsertAt(1, P(9)); }, true, {1, 9, 2, 3}},
      {"remove zero count", [](CUIPtrArray& a) { return a.Remove(0, 0); }, false, {1, 2, 3}},
      {"remove negative index", [](CUIPtrArray& a) { return a.Remove(-1, 1); }, false, {1, 2, 3}},
      {"remove past end", [](CUIPtrArray& a) { return a.Remove(2, 2); }, false, {1, 2, 3}},
      {"remove middle", [](CUIPtrArray& a) { return a.Remove(1); }, true, {1, 3}},
      {"remove range", [](CUIPtrArray& a) { return a.Remove(0, 2); }, true, {3}},
      {"remove all", [](CUIPtrArray& a) { return a.Remove(0, 3); }, true, {}},
      {"resize negative keeps all", [](CUIPtrArray& a) { return a.Resize(-1); }, false, {1, 2, 3}},
      {"resize to nulls", [](CUIPtrArray& a) { return a.Resize(2); }, true, {0, 0}},
      {"resize to zero", [](CUIPtrArray& a) { return a.Resize(0); }, true, {}},
  };
  for (const Case& c : cases) {
    CUIPtrArray a;
    a.Add(P(1));
    a.Add(P(2));
    a.Add(P(3));
    EXPECT_EQ(c.operation(a), c.result) << c.what;
    EXPECT_EQ(Contents(a), c.after) << c.what;
  }
}

// A size whose storage cannot be had (beyond any 32-bit byte count, or simply
// more than a 32-bit process can allocate) leaves the array untouched.
TEST(UIPtrArray, ResizeThatCannotAllocateKeepsTheArray) {
  for (int size : {0x7FFFFFFF, 500000000}) {
    CUIPtrArray a;
    a.Add(P(5));
    EXPECT_FALSE(a.Resize(size)) << size;
    EXPECT_EQ(Contents(a), std::vector<intptr_t>{5});
    EXPECT_TRUE(a.Add(P(6)));
  }
}

TEST(UIPtrArray, CopiesAreIndependent) {
  CUIPtrArray a(4);
  for (int i = 1; i <= 12; ++i) a.Add(P(i));
  CUIPtrArray copy(a);
  CUIPtrArray assigned;
  assigned.Add(P(100));
  assigned = a;
  assigned = assigned;
  copy.Remove(0);
  EXPECT_EQ(a.GetSize(), 12);
  EXPECT_EQ(copy.GetSize(), 11);
  EXPECT_EQ(Contents(assigned), Contents(a));
  a.Clear();
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_TRUE(a.Add(P(1)));
}

}  // namespace

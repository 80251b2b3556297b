#include "ui/base/portable/UIStringMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/base/portable/UITestText.h"

using Trellis::CUIStringMap;
using Trellis::UIChar;

namespace {

void* P(int n) { return reinterpret_cast<void*>(static_cast<intptr_t>(n)); }

std::vector<std::string> Keys(const CUIStringMap& map) {
  std::vector<std::string> keys;
  for (int i = 0; i < map.GetCount(); ++i) keys.push_back(ToUtf8(map.GetKeyAt(i)));
  EXPECT_EQ(map.GetKeyAt(map.GetCount()), nullptr);
  return keys;
}

// Keys that land in one bucket of a 16-bucket map, found by the map's own hash.
std::vector<UIStdString> SameBucketKeys(int count) {
  std::vector<UIStdString> keys;
  const unsigned target = CUIStringMap::HashKey(UI_TEXT("k0")) % 16;
  for (int i = 0; keys.size() < static_cast<size_t>(count); ++i) {
    UIStdString key = Widen("k" + std::to_string(i));
    if (CUIStringMap::HashKey(key.c_str()) % 16 == target) keys.push_back(key);
  }
  return keys;
}

TEST(UIStringMap, HashRunsFromTheLastCharacter) {
  // h = h * 33 + c over "ab" from the end: 'b' then 'a'.
  EXPECT_EQ(CUIStringMap::HashKey(UI_TEXT("ab")), 98u * 33u + 97u);
  EXPECT_EQ(CUIStringMap::HashKey(UI_TEXT("")), 0u);
  // Wrapping arithmetic over UTF-16 code units: the same value in both builds.
  EXPECT_EQ(CUIStringMap::HashKey(UI_TEXT("\U0001F600 long enough to wrap around")), 4159410649u);
}

TEST(UIStringMap, EnumerationOrderIsBucketsFromTheLastThenChainFromTheHead) {
  CUIStringMap map(3);  // raised to 16 buckets
  // "a".."d" hash to 97..100, buckets 1..4 of 16: enumerated from the last bucket.
  for (const UIChar* key : {UI_TEXT("a"), UI_TEXT("b"), UI_TEXT("c"), UI_TEXT("d")}) EXPECT_TRUE(map.Insert(key, P(1)));
  EXPECT_EQ(Keys(map), (std::vector<std::string>{"d", "c", "b", "a"}));

  CUIStringMap chain(16);
  const std::vector<UIStdString> keys = SameBucketKeys(3);
  for (const UIStdString& key : keys) chain.Insert(key.c_str(), P(1));
  EXPECT_EQ(Keys(chain), (std::vector<std::string>{ToUtf8(keys[2]), ToUtf8(keys[1]), ToUtf8(keys[0])}));
  // Finding the oldest with move-to-front puts it at the head; without, nothing moves.
  chain.Find(keys[1].c_str(), false);
  EXPECT_EQ(Keys(chain)[0], ToUtf8(keys[2]));
  chain.Find(keys[0].c_str(), true);
  EXPECT_EQ(Keys(chain), (std::vector<std::string>{ToUtf8(keys[0]), ToUtf8(keys[2]), ToUtf8(keys[1])}));
}

TEST(UIStringMap, InsertSetFind) {
  CUIStringMap map;
  EXPECT_EQ(map.Find(UI_TEXT("x")), nullptr);
  EXPECT_TRUE(map.Insert(UI_TEXT("x"), P(1)));
  EXPECT_FALSE(map.Insert(UI_TEXT("x"), P(2)));
  EXPECT_EQ(map.Find(UI_TEXT("x")), P(1));
  EXPECT_EQ(map.Find(UI_TEXT("X")), nullptr);  // keys are case-sensitive
  EXPECT_EQ(map.Set(UI_TEXT("x"), P(3)), P(1));
  EXPECT_EQ(map.Set(UI_TEXT("y"), P(4)), nullptr);
  EXPECT_EQ(map.Find(UI_TEXT("x")), P(3));
  EXPECT_EQ(map.GetCount(), 2);
  const UIStdString longKey(100, 'k');
  EXPECT_TRUE(map.Insert(longKey.c_str(), P(5)));
  EXPECT_EQ(map.Find(longKey.c_str()), P(5));
}

TEST(UIStringMap, WithoutBucketsNothingIsStored) {
  CUIStringMap map;
  map.Insert(UI_TEXT("old"), P(1));
  map.Resize(0);
  EXPECT_EQ(map.GetCount(), 0);
  EXPECT_FALSE(map.Insert(UI_TEXT("k"), P(1)));
  EXPECT_EQ(map.Set(UI_TEXT("k"), P(7)), P(7));
  EXPECT_EQ(map.Find(UI_TEXT("k")), nullptr);
  EXPECT_FALSE(map.Remove(UI_TEXT("k")));
  EXPECT_EQ(map.GetKeyAt(0), nullptr);
  map.Resize(-5);
  EXPECT_FALSE(map.Insert(UI_TEXT("k"), P(1)));
  map.Resize(1);
  EXPECT_TRUE(map.Insert(UI_TEXT("k"), P(1)));
}

// Removing the head, the middle and the tail of one chain keeps every other
// node reachable, in order.
TEST(UIStringMap, RemoveKeepsTheChain) {
  const std::vector<UIStdString> keys = SameBucketKeys(4);  // chain: 3 2 1 0
  for (int removed = 0; removed < 4; ++removed) {
    CUIStringMap map(16);
    for (const UIStdString& key : keys) map.Insert(key.c_str(), P(1));
    EXPECT_TRUE(map.Remove(keys[static_cast<size_t>(removed)].c_str()));
    EXPECT_FALSE(map.Remove(keys[static_cast<size_t>(removed)].c_str()));
    std::vector<std::string> expected;
    for (int i = 3; i >= 0; --i) {
      if (i != removed) expected.push_back(ToUtf8(keys[static_cast<size_t>(i)]));
    }
    EXPECT_EQ(Keys(map), expected) << removed;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(map.Find(keys[static_cast<size_t>(i)].c_str(), false), i == removed ? nullptr : P(1));
    }
    // Move-to-front and insertion still work on the relinked chain.
    EXPECT_NE(map.Find(keys[removed == 0 ? 1 : 0].c_str(), true), nullptr);
    EXPECT_TRUE(map.Insert(keys[static_cast<size_t>(removed)].c_str(), P(2)));
    EXPECT_EQ(map.GetCount(), 4);
  }
}

TEST(UIStringMap, CopiesKeepOrderAndAreIndependent) {
  CUIStringMap map(16);
  const std::vector<UIStdString> keys = SameBucketKeys(3);
  for (const UIStdString& key : keys) map.Insert(key.c_str(), P(1));
  map.Insert(UI_TEXT("other"), P(2));
  CUIStringMap copy(map);
  CUIStringMap assigned(40);
  assigned.Insert(UI_TEXT("gone"), P(3));
  assigned = map;
  assigned = assigned;
  EXPECT_EQ(Keys(copy), Keys(map));
  EXPECT_EQ(Keys(assigned), Keys(map));
  copy.Remove(keys[0].c_str());
  map.RemoveAll();
  EXPECT_EQ(map.GetCount(), 0);
  EXPECT_EQ(copy.GetCount(), 3);
  EXPECT_EQ(assigned.Find(UI_TEXT("other")), P(2));
  EXPECT_EQ(assigned.Find(UI_TEXT("gone")), nullptr);
  EXPECT_TRUE(map.Insert(UI_TEXT("again"), P(1)));
}

}  // namespace

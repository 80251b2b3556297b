// Window-manager arithmetic that needs no window: "%{n}" token expansion,
// the choice of control timer ids, and centring a window on its owner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/base/portable/UITestText.h"
#include "ui/window/portable/MultiLanguageTokens.h"
#include "ui/window/portable/TimerIds.h"
#include "ui/window/portable/WindowPlacement.h"

using namespace Trellis;

namespace {

// Ids 1, 3 and 12 have texts; 3's text holds its own token and 1's holds 3's.
const UIChar* LookupTestText(int id) {
  switch (id) {
    case 1: return UI_TEXT("one%{3}");
    case 3: return UI_TEXT("<%{3}>");
    case 12: return UI_TEXT("abc");
    default: return nullptr;
  }
}

std::string Expand(const UIChar* text) {
  const CUIString expanded = ExpandMultiLanguageTokens(text, &LookupTestText);
  return ToUtf8(expanded.GetText());
}

}  // namespace

TEST(MultiLanguageTokens, ReplacesKnownTokensInOnePass) {
  struct Case {
    const UIChar* text;
    const char* expected;
  } cases[] = {
      {UI_TEXT("%{12}x"), "abcx"},
      {UI_TEXT("%{13}x"), "%{13}x"},                   // no text for 13: as written
      {UI_TEXT("a%{12}b%{12}"), "aabcbabc"},           // every occurrence
      {UI_TEXT("%{3}"), "<%{3}>"},                     // a text holding its own token is not scanned again
      {UI_TEXT("%{1}"), "one%{3}"},                    // nor is a token brought in by another text
      {UI_TEXT("%{0012}"), "abc"},                     // leading zeros read as the number
      {UI_TEXT("%{}"), "%{}"},                         // id 0 has no text
      {UI_TEXT("%{12"), "%{12"},                       // unterminated
      {UI_TEXT("%%{12}"), "%abc"},                     // the scan goes on after a lone '%'
      {UI_TEXT("%{1x}"), "%{1x}"},                     // not digits only
      {UI_TEXT("%{99999999999999999999}"), "%{99999999999999999999}"},  // huge ids saturate, no overflow
      {UI_TEXT(""), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand(c.text), c.expected) << ToUtf8(c.text);
  EXPECT_EQ(ToUtf8(ExpandMultiLanguageTokens(nullptr, &LookupTestText).GetText()), "");
}

TEST(TimerIds, TakesTheLowestFreeIdFromTheFirst) {
  EXPECT_EQ(LowestFreeTimerId(nullptr, 0, 17, 255), 17u);
  const unsigned running[] = {17, 18, 20};
  EXPECT_EQ(LowestFreeTimerId(running, 3, 17, 255), 19u);  // a gap left by a deleted timer is reused
  std::vector<unsigned> all;
  for (unsigned id = 17; id < 255; ++id) all.push_back(id);
  EXPECT_EQ(LowestFreeTimerId(all.data(), static_cast<int>(all.size()), 17, 255), 0u);  // never a shared id
  all.erase(all.begin() + 100);
  EXPECT_EQ(LowestFreeTimerId(all.data(), static_cast<int>(all.size()), 17, 255), 117u);
}

TEST(WindowPlacement, CentresOnTheReferenceInsideTheWorkArea) {
  const CUIRect work(0, 0, 1024, 768);
  struct Case {
    CUISize window;
    CUIRect reference;
    CUIPoint expected;
  } cases[] = {
      {CUISize(300, 200), CUIRect(100, 100, 701, 501), CUIPoint(250, 200)},   // integer halves
      {CUISize(300, 200), CUIRect(10, 100, 210, 300), CUIPoint(0, 100)},      // owner near the left edge: clamped
      {CUISize(300, 200), CUIRect(900, 700, 1100, 900), CUIPoint(724, 568)},  // beyond right and bottom: moved in
      {CUISize(2000, 1000), work, CUIPoint(0, 0)},                            // larger than the work area: near edge kept
  };
  for (const Case& c : cases) {
    const CUIPoint at = CenterInReference(c.window, c.reference, work);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
  }
}

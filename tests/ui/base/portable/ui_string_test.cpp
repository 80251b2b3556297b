#include "ui/base/portable/UIString.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/base/portable/UITestText.h"

using Trellis::CUIString;
using Trellis::UIChar;

namespace {

UIStdString Repeat(char ch, int count) { return UIStdString(static_cast<size_t>(count), static_cast<UIChar>(ch)); }

bool IsInline(const CUIString& s) {
  const char* self = reinterpret_cast<const char*>(&s);
  const char* text = reinterpret_cast<const char*>(s.GetText());
  return text >= self && text < self + sizeof(CUIString);
}

TEST(UIString, StorageMovesToTheHeapFrom63Characters) {
  struct Case {
    int length;
    bool inlineExpected;
  };
  for (const Case& c : {Case{0, true}, Case{1, true}, Case{62, true}, Case{63, false}, Case{200, false}}) {
    const UIStdString text = Repeat('x', c.length);
    CUIString s(text.c_str());
    EXPECT_EQ(IsInline(s), c.inlineExpected) << c.length;
    EXPECT_EQ(s.GetLength(), c.length);
    EXPECT_EQ(ToUtf8(s.GetText()), ToUtf8(text));
  }
  CUIString s(Repeat('a', 63).c_str());
  s.AssignText(UI_TEXT("short"));
  EXPECT_TRUE(IsInline(s));
  EXPECT_EQ(ToUtf8(s.GetText()), "short");
}

TEST(UIString, HeapBufferGrowsButIsReusedForShorterTexts) {
  CUIString s(Repeat('a', 80).c_str());
  const UIChar* buffer = s.GetText();
  s.AssignText(Repeat('b', 70).c_str());
  EXPECT_EQ(s.GetText(), buffer);
  EXPECT_EQ(ToUtf8(s.GetText()), ToUtf8(Repeat('b', 70)));
  s.AssignText(Repeat('c', 90).c_str());
  EXPECT_EQ(s.GetLength(), 90);
  EXPECT_EQ(ToUtf8(s.GetText()), ToUtf8(Repeat('c', 90)));
}

TEST(UIString, AssignTakesTheGivenLength) {
  struct Case {
    const UIChar* text;
    int length;
    const char* expected;
  };
  const Case cases[] = {
      {UI_TEXT("abcdef"), 3, "abc"},
      {UI_TEXT("abcdef"), -1, "abcdef"},
      {UI_TEXT("abcdef"), 0, ""},
      {nullptr, 5, ""},
      {UI_TEXT("ab"), 10, "ab"},  // a shorter text is padded, never over-read
  };
  for (const Case& c : cases) {
    CUIString s(UI_TEXT("previous"));
    s.Assign(c.text, c.length);
    EXPECT_EQ(ToUtf8(s.GetText()), c.expected) << c.expected;
  }
  CUIString cleared(UI_TEXT("x"));
  cleared.AssignText(nullptr);
  EXPECT_TRUE(cleared.IsEmpty());
}

// Own text as the source: the buffer it points into is freed or moved by the
// operation, so the text must be taken first (ASan reports any slip).
TEST(UIString, AssignAndAppendOwnText) {
  for (int length : {3, 31, 40, 62, 63, 100}) {
    const UIStdString text = Repeat('q', length);
    CUIString s(text.c_str());
    s.AppendText(s.GetText());
    EXPECT_EQ(ToUtf8(s.GetText()), ToUtf8(text + text)) << length;

    CUIString t(text.c_str());
    t = t;
    t.AssignString(t);
    EXPECT_EQ(ToUtf8(t.GetText()), ToUtf8(text)) << length;
    t.AssignText(t.GetText() + 1);
    EXPECT_EQ(t.GetLength(), length - 1) << length;

    CUIString u(text.c_str());
    u.AppendString(u);
    u.Format(UI_TEXT("%s!"), u.GetText());
    EXPECT_EQ(u.GetLength(), std::min(2 * length + 1, 63)) << length;
  }
}

TEST(UIString, CopiesAreIndependent) {
  CUIString original(Repeat('h', 100).c_str());
  CUIString copy(original);
  CUIString assigned;
  assigned = original;
  EXPECT_NE(copy.GetText(), original.GetText());
  copy.AppendChar('!');
  assigned.AssignText(UI_TEXT("small"));
  EXPECT_EQ(original.GetLength(), 100);
  EXPECT_EQ(copy.GetLength(), 101);
  EXPECT_EQ(ToUtf8(assigned.GetText()), "small");
}

TEST(UIString, AppendCrossesTheInlineLimitBothWays) {
  CUIString s(Repeat('a', 62).c_str());
  s.AppendChar('b');
  EXPECT_FALSE(IsInline(s));
  EXPECT_EQ(ToUtf8(s.GetText()), ToUtf8(Repeat('a', 62)) + "b");
  // A padded heap text shorter than the limit moves back inline on append.
  CUIString padded;
  padded.Assign(UI_TEXT("ab"), 70);
  padded.AppendText(UI_TEXT("c"));
  EXPECT_TRUE(IsInline(padded));
  EXPECT_EQ(ToUtf8(padded.GetText()), "abc");
  EXPECT_EQ(ToUtf8(CUIString(UI_TEXT("ab")).ConcatText(nullptr).GetText()), "ab");
  EXPECT_EQ(ToUtf8(CUIString(UI_TEXT("ab")).ConcatText(UI_TEXT("cd")).GetText()), "abcd");
  EXPECT_EQ(ToUtf8(CUIString('z').GetText()), "z");
}

TEST(UIString, Searches) {
  const CUIString abc(UI_TEXT("abcabc"));
  const CUIString empty;
  struct Case {
    const char* what;
    int found;
    int expected;
  };
  const Case cases[] = {
      {"FindText bc from 0", abc.FindText(UI_TEXT("bc")), 1},
      {"FindText bc from 2", abc.FindText(UI_TEXT("bc"), 2), 4},
      {"FindText missing", abc.FindText(UI_TEXT("x")), -1},
      {"FindText empty at length", CUIString(UI_TEXT("abc")).FindText(UI_TEXT(""), 3), 3},
      {"FindText past length", abc.FindText(UI_TEXT(""), 7), -1},
      {"FindText negative start", abc.FindText(UI_TEXT("a"), -1), -1},
      {"FindText null", abc.FindText(nullptr), -1},
      {"FindChar c", abc.FindChar('c'), 2},
      {"FindChar c from 3", abc.FindChar('c', 3), 5},
      {"FindChar at length", abc.FindChar('a', 6), -1},
      {"FindChar negative", abc.FindChar('a', -2), -1},
      {"FindChar empty string", empty.FindChar('a', 0), -1},
      {"ReverseFind b", abc.ReverseFind('b'), 4},
      {"ReverseFind missing", abc.ReverseFind('z'), -1},
  };
  for (const Case& c : cases) EXPECT_EQ(c.found, c.expected) << c.what;
}

TEST(UIString, LeftAndMid) {
  const CUIString s(UI_TEXT("abcdef"));
  struct Case {
    CUIString result;
    const char* expected;
  };
  const Case cases[] = {
      {s.Left(2), "ab"},     {s.Left(-1), ""},      {s.Left(10), "abcdef"}, {s.Mid(2, -1), "cdef"},
      {s.Mid(4, 10), "ef"},  {s.Mid(7, 1), ""},     {s.Mid(6, 1), ""},      {s.Mid(1, 0), ""},
      {s.Mid(0, 2), "ab"},   {s.Mid(-3, 2), "ab"},
  };
  for (const Case& c : cases) EXPECT_EQ(ToUtf8(c.result.GetText()), c.expected);
}

TEST(UIString, Replace) {
  struct Case {
    const UIChar* text;
    const UIChar* from;
    const UIChar* to;
    const char* expected;
    int count;
  };
  const Case cases[] = {
      {UI_TEXT("aba"), UI_TEXT("a"), UI_TEXT("aa"), "aabaa", 2},
      {UI_TEXT("aaa"), UI_TEXT("aa"), UI_TEXT("b"), "ba", 1},
      {UI_TEXT("x-x"), UI_TEXT("x"), UI_TEXT(""), "-", 2},
      {UI_TEXT("abc"), UI_TEXT(""), UI_TEXT("z"), "abc", 0},
      {UI_TEXT("abc"), nullptr, UI_TEXT("z"), "abc", 0},
      {UI_TEXT("abc"), UI_TEXT("q"), UI_TEXT("z"), "abc", 0},
  };
  for (const Case& c : cases) {
    CUIString s(c.text);
    EXPECT_EQ(s.Replace(c.from, c.to), c.count) << c.expected;
    EXPECT_EQ(ToUtf8(s.GetText()), c.expected);
  }
  CUIString self(UI_TEXT("ab"));
  EXPECT_EQ(self.Replace(self.GetText(), UI_TEXT("x")), 1);
  EXPECT_EQ(ToUtf8(self.GetText()), "x");
}

// Many occurrences in a long text are replaced in one pass: rebuilding the
// whole string for each of them would take hours here, not milliseconds.
TEST(UIString, ReplaceInALongTextEnds) {
  CUIString s(Repeat('a', 400000).c_str());
  EXPECT_EQ(s.Replace(UI_TEXT("a"), UI_TEXT("bc")), 400000);
  EXPECT_EQ(s.GetLength(), 800000);
  EXPECT_EQ(s.FindChar('a'), -1);
  EXPECT_EQ(ToUtf8(s.Mid(799996).GetText()), "bcbc");
  EXPECT_EQ(s.Replace(UI_TEXT("cb"), UI_TEXT("")), 399999);
  EXPECT_EQ(ToUtf8(s.GetText()), "bc");
}

TEST(UIString, ComparisonsAndCase) {
  const CUIString s(UI_TEXT("Abc"));
  EXPECT_EQ(s.Compare(UI_TEXT("Abc")), 0);
  EXPECT_LT(s.Compare(UI_TEXT("abc")), 0);
  EXPECT_GT(s.Compare(nullptr), 0);
  EXPECT_EQ(s.CompareNoCase(UI_TEXT("aBC")), 0);
  EXPECT_LT(s.CompareNoCase(UI_TEXT("abd")), 0);
  EXPECT_TRUE(s.EqualsText(UI_TEXT("Abc")));
  EXPECT_TRUE(s.DiffersFromText(UI_TEXT("abc")));
  EXPECT_TRUE(s.IsLessThan(UI_TEXT("B")));
  // Code units compare unsigned: U+E000 sorts above ASCII in both builds.
  EXPECT_GT(CUIString(UI_TEXT("\uE000")).Compare(UI_TEXT("z")), 0);
  CUIString lower(UI_TEXT("MiXeD 42"));
  lower.MakeLower();
  EXPECT_EQ(ToUtf8(lower.GetText()), "mixed 42");
  // A character outside the BMP is two code units in both builds.
  EXPECT_EQ(CUIString(UI_TEXT("a\U0001F600")).GetLength(), 3);
}

TEST(UIString, FormatConversions) {
  auto format = [](const UIChar* pattern, auto... args) {
    CUIString s;
    const int written = s.Format(pattern, args...);
    EXPECT_EQ(written, s.GetLength());
    return ToUtf8(s.GetText());
  };
  struct Row {
    std::string actual;
    const char* expected;
  };
  const Row rows[] = {
      {format(UI_TEXT("%d|%i|%u"), -42, 7, 4000000000u), "-42|7|4000000000"},
      {format(UI_TEXT("%x|%X|%#x|%08X"), 255, 255, 255, 0xBEEF), "ff|FF|0xff|0000BEEF"},
      {format(UI_TEXT("[%5d][%-5d][%05d][%.3d]"), 12, 12, -12, 7), "[   12][12   ][-0012][007]"},
      {format(UI_TEXT("%s/%ls/%hs/%S"), UI_TEXT("wide"), UI_TEXT("w2"), "narrow", "n2"), "wide/w2/narrow/n2"},
      {format(UI_TEXT("[%6s][%-6s][%.2s]"), UI_TEXT("ab"), UI_TEXT("ab"), UI_TEXT("abcd")), "[    ab][ab    ][ab]"},
      {format(UI_TEXT("%c%c%%%ld"), 'o', 'k', 123456L), "ok%123456"},
      {format(UI_TEXT("%s"), static_cast<const UIChar*>(nullptr)), "(null)"},
      {format(UI_TEXT("%d%"), 5), "5%"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected);
}

// The result is limited to 63 characters and nothing is written past the
// 64-character buffer (ASan watches the stack).
TEST(UIString, FormatCutsLongResults) {
  const UIStdString longText = Repeat('L', 300);
  CUIString s;
  EXPECT_EQ(s.Format(UI_TEXT("%s%s"), longText.c_str(), longText.c_str()), 63);
  EXPECT_EQ(ToUtf8(s.GetText()), ToUtf8(Repeat('L', 63)));
  EXPECT_EQ(s.Format(UI_TEXT("%200d|"), 1), 63);
  EXPECT_EQ(s.Format(UI_TEXT("%-100s|"), UI_TEXT("x")), 63);
  EXPECT_EQ(s.Format(nullptr), 0);
  EXPECT_TRUE(s.IsEmpty());
}

}  // namespace

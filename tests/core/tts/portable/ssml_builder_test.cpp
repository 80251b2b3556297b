#include "core/tts/portable/SsmlBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring Repeat(wchar_t c, size_t n) { return std::wstring(n, c); }
std::wstring Repeat(const std::wstring& text, size_t n) {
  std::wstring out;
  for (size_t i = 0; i < n; ++i) out += text;
  return out;
}
// Characters outside the Basic Multilingual Plane, as the editor's UTF-16
// holds them: an emoji and a rare Han character, each a surrogate pair.
const std::wstring kEmoji = {wchar_t(0xD83D), wchar_t(0xDE00)};
const std::wstring kRareHan = {wchar_t(0xD840), wchar_t(0xDC00)};
std::wstring Pause(int seconds) { return L"<break time=\"" + std::to_wstring(seconds) + L"s\"/>"; }
std::wstring Phoneme(const std::wstring& reading, const std::wstring& character) {
  return L"<phoneme alphabet=\"py\" ph=\"" + reading + L"\">" + character + L"</phoneme>";
}
// The pieces joined as the builder writes them: each later piece opens with its comma.
std::wstring Pieces(const std::vector<std::wstring>& pieces) {
  std::wstring out = L"<speak>";
  for (size_t i = 0; i < pieces.size(); ++i) out += (i > 0 ? L"</speak><speak>" : L"") + pieces[i];
  return out + L"</speak>";
}

std::wstring Ssml(const std::wstring& text, int mode = kSsmlConversion, int lead = 0, int tail = 0) {
  std::wstring ssml;
  EXPECT_TRUE(BuildSsml(text, mode, lead, tail, ssml));
  return ssml;
}

// A small well-formedness check for the markup the builder writes: speak and
// phoneme elements nest, break elements close themselves, and no "<", ">" or
// "&" stands unescaped in text or attributes.
bool IsWellFormed(const std::wstring& ssml, std::wstring& why) {
  std::vector<std::wstring> open;
  size_t i = 0;
  while (i < ssml.size()) {
    const wchar_t c = ssml[i];
    if (c == L'>') return why = L"raw '>' at " + std::to_wstring(i), false;
    if (c == L'&') {
      static const wchar_t* const entities[] = {L"&amp;", L"&lt;", L"&gt;", L"&quot;"};
      bool known = false;
      for (const wchar_t* entity : entities) known = known || ssml.compare(i, std::wcslen(entity), entity) == 0;
      if (!known) return why = L"raw '&' at " + std::to_wstring(i), false;
      ++i;
      continue;
    }
    if (c != L'<') {
      ++i;
      continue;
    }
    const size_t close = ssml.find(L'>', i);
    if (close == std::wstring::npos) return why = L"unclosed tag", false;
    const std::wstring tag = ssml.substr(i + 1, close - i - 1);
    if (tag.find(L'<') != std::wstring::npos) return why = L"'<' inside a tag", false;
    if (tag == L"speak") {
      open.push_back(L"speak");
    } else if (tag.rfind(L"phoneme alphabet=\"py\" ph=\"", 0) == 0 && tag.back() == L'"') {
      open.push_back(L"phoneme");
    } else if (tag.rfind(L"break time=\"", 0) == 0 && tag.size() >= 14 && tag.substr(tag.size() - 2) == L"\"/") {
    } else if (tag == L"/speak" || tag == L"/phoneme") {
      if (open.empty() || open.back() != tag.substr(1)) return why = L"mismatched </" + tag.substr(1) + L">", false;
      open.pop_back();
    } else {
      return why = L"unknown tag <" + tag + L">", false;
    }
    i = close + 1;
  }
  if (!open.empty()) return why = L"unclosed <" + open.back() + L">", false;
  return true;
}

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Whether every surrogate of the text is half of a pair.
bool PairsStayWhole(const std::wstring& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsHigh(text[i]) && (i + 1 == text.size() || !IsLow(text[i + 1]))) return false;
    if (IsLow(text[i]) && (i == 0 || !IsHigh(text[i - 1]))) return false;
  }
  return true;
}

// Whether every phoneme element wraps a character and its reading holds no
// mark opener (an opener in a reading means a stray "[=" swallowed text).
bool PhonemesAreSound(const std::wstring& ssml, std::wstring& why) {
  const std::wstring open = L"<phoneme alphabet=\"py\" ph=\"";
  for (size_t at = ssml.find(open); at != std::wstring::npos; at = ssml.find(open, at + 1)) {
    const size_t readingEnd = ssml.find(L"\">", at + open.size());
    const size_t close = ssml.find(L"</phoneme>", readingEnd);
    if (readingEnd == std::wstring::npos || close == std::wstring::npos) return why = L"cut phoneme", false;
    const std::wstring reading = ssml.substr(at + open.size(), readingEnd - at - open.size());
    if (reading.find(L"[=") != std::wstring::npos) return why = L"a reading holds \"[=\": " + reading, false;
    if (close == readingEnd + 2) return why = L"an empty phoneme", false;
  }
  return true;
}

// One character of decoded markup; `marked` for the character of a phoneme
// element, which must be the one typed before the reading.
struct DecodedChar {
  wchar_t c;
  bool marked;
};

std::wstring Unescape(const std::wstring& text) {
  static const std::pair<const wchar_t*, wchar_t> entities[] = {
      {L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}};
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    bool replaced = false;
    for (const auto& [entity, c] : entities) {
      if (text.compare(i, std::wcslen(entity), entity) == 0) {
        out += c;
        i += std::wcslen(entity) - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i];
  }
  return out;
}

// Turns well-formed markup back into the editor text it says: speak tags
// vanish, a break element becomes its pause mark and a phoneme element its
// character followed by the reading's mark. `pauses` counts break elements.
std::vector<DecodedChar> Decode(const std::wstring& ssml, int& pauses) {
  std::vector<DecodedChar> out;
  auto append = [&out](const std::wstring& text, bool marked) {
    for (wchar_t c : text) out.push_back({c, marked});
  };
  pauses = 0;
  size_t i = 0;
  while (i < ssml.size()) {
    const size_t tag = ssml.find(L'<', i);
    append(Unescape(ssml.substr(i, tag == std::wstring::npos ? std::wstring::npos : tag - i)), false);
    if (tag == std::wstring::npos) break;
    const size_t close = ssml.find(L'>', tag);
    const std::wstring inner = ssml.substr(tag + 1, close - tag - 1);
    i = close + 1;
    if (inner.rfind(L"break time=\"", 0) == 0) {
      ++pauses;
      append(L"<break time=\"" + Unescape(inner.substr(12, inner.size() - 14)) + L"\"/>", false);
    } else if (inner.rfind(L"phoneme", 0) == 0) {
      const std::wstring reading = Unescape(inner.substr(26, inner.size() - 27));
      const size_t end = ssml.find(L"</phoneme>", i);
      append(Unescape(ssml.substr(i, end - i)), true);
      append(L"[=" + reading + L"]", false);
      i = end + 10;
    }
  }
  return out;
}

// True when `decoded` says `text` (all of it, or a start of it with
// `prefixOnly`) with nothing but commas added, and never a comma added as a
// phoneme's character. `consumed` is the length of `text` that was said.
// Next to a comma of the text an added comma can be either of the two, so
// every length of `text` that the decoded characters so far can say is kept.
bool SaysText(const std::vector<DecodedChar>& decoded, const std::wstring& text, bool commasAdded, bool prefixOnly,
              size_t& consumed) {
  std::vector<size_t> said = {0};
  for (const DecodedChar& d : decoded) {
    std::vector<size_t> next;
    for (size_t i : said) {
      if (i < text.size() && d.c == text[i]) next.push_back(i + 1);
      if (commasAdded && d.c == L',' && !d.marked) next.push_back(i);
    }
    std::sort(next.begin(), next.end());
    next.erase(std::unique(next.begin(), next.end()), next.end());
    if (next.empty()) return false;
    said = std::move(next);
  }
  consumed = said.back();
  return prefixOnly || consumed == text.size();
}

// The pause marks of a text as the pattern `<break time="([^"]*)"/>` finds
// them, left to right without overlap; the end of each.
std::vector<size_t> PauseEnds(const std::wstring& text) {
  const std::wstring open = L"<break time=\"";
  std::vector<size_t> ends;
  size_t from = 0;
  for (size_t at = text.find(open); at != std::wstring::npos; at = text.find(open, from)) {
    const size_t quote = text.find(L'"', at + open.size());
    if (quote != std::wstring::npos && text.compare(quote, 3, L"\"/>") == 0) {
      ends.push_back(quote + 3);
      from = quote + 3;
    } else {
      from = at + 1;
    }
  }
  return ends;
}

}  // namespace

TEST(BuildSsml, ShortTextsGoOutWholeWithTheirPauses) {
  EXPECT_EQ(Ssml(L"你好"), L"<speak>你好</speak>");
  EXPECT_EQ(Ssml(L"你好", kSsmlConversion, 2, 3), L"<speak>" + Pause(2) + L"你好" + Pause(3) + L"</speak>");
  EXPECT_EQ(Ssml(L"你好", kSsmlPreview, 0, 1), L"<speak>你好" + Pause(1) + L"</speak>");
  // Full-width punctuation stays as typed in a short text, and no pieces are made.
  EXPECT_EQ(Ssml(L"你好，世界。再见,朋友"), L"<speak>你好，世界。再见,朋友</speak>");
  EXPECT_EQ(Ssml(L"睡觉[=jiao4]了" + Pause(2) + L"好"),
            L"<speak>睡" + Phoneme(L"jiao4", L"觉") + L"了" + Pause(2) + L"好</speak>");
}

TEST(BuildSsml, LengthsAroundTheShortLimitInBothModes) {
  const std::wstring half = Repeat(L'a', 75);
  struct Case {
    std::wstring text;
    std::wstring preview;
    std::wstring conversion;
  } cases[] = {
      {Repeat(L'a', 149), Pieces({Repeat(L'a', 149)}), Pieces({Repeat(L'a', 149)})},
      {Repeat(L'a', 150), Pieces({Repeat(L'a', 150)}), Pieces({Repeat(L'a', 150)})},
      {Repeat(L'a', 151), Pieces({Repeat(L'a', 150)}), Pieces({Repeat(L'a', 150), L",a"})},
      // With a comma: a short text is never split, a long one is split at its commas.
      {Repeat(L'a', 74) + L"," + Repeat(L'a', 74), Pieces({Repeat(L'a', 74) + L"," + Repeat(L'a', 74)}),
       Pieces({Repeat(L'a', 74) + L"," + Repeat(L'a', 74)})},
      {half + L"," + Repeat(L'a', 74), Pieces({half, L"," + Repeat(L'a', 74)}),
       Pieces({half, L"," + Repeat(L'a', 74)})},
      {half + L"," + half, Pieces({half, L"," + Repeat(L'a', 74)}), Pieces({half, L"," + half})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Ssml(c.text, kSsmlPreview), c.preview) << c.text.size();
    EXPECT_EQ(Ssml(c.text, kSsmlConversion), c.conversion) << c.text.size();
  }
}

TEST(BuildSsml, LongTextsAreCutIntoPiecesAtCommas) {
  struct Case {
    const char* what;
    std::wstring text;
    std::vector<std::wstring> pieces;
  } cases[] = {
      {"no comma: 150, then 148 each", Repeat(L'a', 600),
       {Repeat(L'a', 150), L"," + Repeat(L'a', 148), L"," + Repeat(L'a', 148), L"," + Repeat(L'a', 148),
        L"," + Repeat(L'a', 6)}},
      {"a comma only where 149 characters pass without one", Repeat(L'a', 10) + L"," + Repeat(L'b', 300),
       {Repeat(L'a', 10), L"," + Repeat(L'b', 149), L"," + Repeat(L'b', 149), L",bb"}},
      {"the last stretch may run to the end", Repeat(L'a', 100) + L"," + Repeat(L'b', 99),
       {Repeat(L'a', 100), L"," + Repeat(L'b', 99)}},
      {"a window ending at the end gets a comma appended", Repeat(L'a', 10) + L"," + Repeat(L'b', 149),
       {Repeat(L'a', 10), L"," + Repeat(L'b', 149), L","}},
      {"full-width punctuation opens pieces", Repeat(L'a', 100) + L"，" + Repeat(L'b', 40) + L"。" + Repeat(L'c', 20),
       {Repeat(L'a', 100), L"," + Repeat(L'b', 40), L"," + Repeat(L'c', 20)}},
      {"a comma opening the text still lets the others open pieces", L"," + Repeat(L'a', 100) + L"," + Repeat(L'b', 100),
       {L"," + Repeat(L'a', 100), L"," + Repeat(L'b', 100)}},
  };
  for (const Case& c : cases) EXPECT_EQ(Ssml(c.text), Pieces(c.pieces)) << c.what;
}

// Marks count as one character where they stand and do not count toward the
// piece limits; each keeps its neighbours across an inserted comma.
TEST(BuildSsml, MarksKeepTheirPlaceAcrossSplitPoints) {
  const std::wstring a149 = Repeat(L'a', 149);
  const std::wstring c100 = Repeat(L'c', 100);
  struct Case {
    const char* what;
    std::wstring text;
    std::vector<std::wstring> pieces;
  } cases[] = {
      {"polyphone mark on an inserted comma stays before it", a149 + L"X[=x1]" + c100,
       {a149 + Phoneme(L"x1", L"X"), L"," + c100}},
      {"pause on an inserted comma follows it", a149 + L"a" + Pause(1) + c100, {a149 + L"a", L"," + Pause(1) + c100}},
      {"marks before the split do not shift later ones", Repeat(L'a', 10) + Pause(1) + Repeat(L'a', 139) + L"X[=x1]" + c100,
       {Repeat(L'a', 10) + Pause(1) + Repeat(L'a', 139) + Phoneme(L"x1", L"X"), L"," + c100}},
      {"a pause before the last character of a piece stays there",
       Repeat(L'a', 10) + Pause(1) + Repeat(L'a', 139) + Pause(2) + L"b" + c100,
       {Repeat(L'a', 10) + Pause(1) + Repeat(L'a', 139) + Pause(2) + L"b", L"," + c100}},
      {"marks do not count toward the piece length", Repeat(L'a', 100) + L"好[=hao3]" + Pause(3) + Repeat(L'b', 60),
       {Repeat(L'a', 100) + Phoneme(L"hao3", L"好") + Pause(3) + Repeat(L'b', 49), L"," + Repeat(L'b', 11)}},
  };
  for (const Case& c : cases) EXPECT_EQ(Ssml(c.text), Pieces(c.pieces)) << c.what;
}

TEST(BuildSsml, PreviewCutNeverLeavesHalfAMark) {
  EXPECT_EQ(Ssml(Repeat(L'a', 145) + Pause(1) + Repeat(L'b', 10), kSsmlPreview), Pieces({Repeat(L'a', 145)}));
  EXPECT_EQ(Ssml(Repeat(L'a', 146) + L"X[=jiao4]" + Repeat(L'b', 10), kSsmlPreview),
            Pieces({Repeat(L'a', 146) + L"X"}));
  // A mark that ends exactly at the cut is kept whole.
  EXPECT_EQ(Ssml(Repeat(L'a', 144) + L"X[=a1]" + Repeat(L'b', 10), kSsmlPreview),
            Pieces({Repeat(L'a', 144) + Phoneme(L"a1", L"X")}));
}

// Whatever the user typed, the markup is well-formed and loses no text.
TEST(BuildSsml, UnusualInputGivesWellFormedMarkup) {
  const std::wstring long_ = Repeat(L'a', 160);
  struct Case {
    const char* what;
    std::wstring text;
    std::wstring ssml;
  } cases[] = {
      {"XML specials in plain text", L"a < b & c > d \"e\"", L"<speak>a &lt; b &amp; c &gt; d \"e\"</speak>"},
      {"a lone '<' in a long text is kept", long_ + L" < b", Pieces({Repeat(L'a', 150), L"," + Repeat(L'a', 10) + L" &lt; b"})},
      {"a stray ']'", L"好]的", L"<speak>好]的</speak>"},
      {"a stray ']' before a mark", L"a]b好[=hao3]", L"<speak>a]b" + Phoneme(L"hao3", L"好") + L"</speak>"},
      {"a mark at index 0", L"[=hao3]好", L"<speak>[=hao3]好</speak>"},
      {"a mark right after a pause", Pause(1) + L"[=hao3]好", L"<speak>" + Pause(1) + L"[=hao3]好</speak>"},
      {"an empty mark disappears", L"好[=]的", L"<speak>好的</speak>"},
      {"a reading that starts with '['", L"好[=[x]的", L"<speak>好[=[x]的</speak>"},
      {"an unclosed mark", L"好[=hao", L"<speak>好[=hao</speak>"},
      {"a quote in a reading", L"好[=a\"b]", L"<speak>" + Phoneme(L"a&quot;b", L"好") + L"</speak>"},
      {"a comma before a mark in a long text", Repeat(L'a', 100) + L",[=dou4]" + Repeat(L'b', 60),
       Pieces({Repeat(L'a', 100), Phoneme(L"dou4", L",") + Repeat(L'b', 60)})},
      {"control characters", L"a\x01\tb\r\n", L"<speak>a\tb\r\n</speak>"},
      // A mark after a control character, which the markup leaves out, has
      // no character to apply to and stays text.
      {"a control character before a mark", L"\x01[=a]", L"<speak>[=a]</speak>"},
      {"a control character between a character and its mark", L"好\x01[=hao3]", L"<speak>好[=hao3]</speak>"},
      {"a control character before a mark at a split", Repeat(L'a', 149) + L"\x01[=a]" + Repeat(L'b', 10),
       Pieces({Repeat(L'a', 149) + L"[=a]", L"," + Repeat(L'b', 10)})},
      // A stray "[=" stays text; the mark is the last "[=" before the "]".
      {"a stray mark opener, short", L"ab[=cd睡[=shui4]e", L"<speak>ab[=cd" + Phoneme(L"shui4", L"睡") + L"e</speak>"},
      {"a stray mark opener, long", Repeat(L'a', 140) + L"[=cd睡[=shui4]e",
       Pieces({Repeat(L'a', 140) + L"[=cd" + Phoneme(L"shui4", L"睡") + L"e"})},
      {"two stray mark openers", L"x[=[=y好[=hao3]", L"<speak>x[=[=y" + Phoneme(L"hao3", L"好") + L"</speak>"},
  };
  for (const Case& c : cases) {
    const std::wstring ssml = Ssml(c.text);
    EXPECT_EQ(ssml, c.ssml) << c.what;
    std::wstring why;
    EXPECT_TRUE(IsWellFormed(ssml, why)) << c.what << ": " << std::string(why.begin(), why.end());
  }
}

// An emoji or a rare Han character is one character of two UTF-16 units: the
// preview cut and every inserted comma go before it, never between its halves.
TEST(BuildSsml, CharactersOutsideTheBasicPlaneStayWhole) {
  const std::wstring a149 = Repeat(L'a', 149);
  struct Case {
    const char* what;
    std::wstring text;
    int mode;
    std::vector<std::wstring> pieces;
  } cases[] = {
      {"preview cut inside the pair", a149 + kEmoji + L"bbb", kSsmlPreview, {a149}},
      {"preview cut after the pair", Repeat(L'a', 148) + kEmoji + L"bbb", kSsmlPreview, {Repeat(L'a', 148) + kEmoji}},
      {"first comma inside the pair", a149 + kEmoji + Repeat(L'b', 10), kSsmlConversion,
       {a149, L"," + kEmoji + Repeat(L'b', 10)}},
      {"later comma inside the pair", Repeat(L'a', 297) + kRareHan + L"b", kSsmlConversion,
       {Repeat(L'a', 150), L"," + Repeat(L'a', 147), L"," + kRareHan + L"b"}},
      {"comma of the window walk inside the pair", Repeat(L'a', 10) + L"," + Repeat(L'b', 148) + kEmoji + L"ccccc",
       kSsmlConversion, {Repeat(L'a', 10), L"," + Repeat(L'b', 148), L"," + kEmoji + L"ccccc"}},
      {"a marked character at the comma", a149 + kRareHan + L"[=x1]" + Repeat(L'c', 10), kSsmlConversion,
       {a149, L"," + Phoneme(L"x1", kRareHan) + Repeat(L'c', 10)}},
      {"a text of emoji", L"a" + Repeat(kEmoji, 80), kSsmlConversion,
       {L"a" + Repeat(kEmoji, 74), L"," + Repeat(kEmoji, 6)}},
  };
  for (const Case& c : cases) {
    const std::wstring ssml = Ssml(c.text, c.mode);
    EXPECT_EQ(ssml, Pieces(c.pieces)) << c.what;
    EXPECT_TRUE(PairsStayWhole(ssml)) << c.what;
  }
}

// Marks are found in one left-to-right scan, in short and long texts alike. A
// pause mark stays a pause wherever it is typed (inside a reading, between a
// character and its reading, around a stray "[="), and a reading applies
// only to the plain character right before it, or stays plain text.
TEST(BuildSsml, MarksTypedInsideOrAcrossOtherMarks) {
  const std::wstring a149 = Repeat(L'a', 149);
  const std::wstring oddPause = L"<break time=\"[=a\"/>";
  struct Case {
    const char* what;
    std::wstring text;
    std::wstring ssml;
  } cases[] = {
      {"a pause inside a reading, long", a149 + L"睡[=" + Pause(1) + L"]",
       Pieces({a149 + L"睡", L",[=" + Pause(1) + L"]"})},
      {"a pause inside a reading, short", L"睡[=" + Pause(1) + L"]", Pieces({L"睡[=" + Pause(1) + L"]"})},
      {"a pause inside a stray bracket", a149 + L"b[" + Pause(1) + L"=x]cd睡[=shui4]ef",
       Pieces({a149 + L"b", L",[" + Pause(1) + L"=x]cd" + Phoneme(L"shui4", L"睡") + L"ef"})},
      {"a mark opener inside a pause, long", a149 + oddPause + L"x[=b]",
       Pieces({a149 + oddPause + Phoneme(L"b", L"x")})},
      {"a mark opener inside a pause, short", oddPause + L"x[=b]", Pieces({oddPause + Phoneme(L"b", L"x")})},
      {"a pause between a character and its reading, long", a149 + L"睡" + Pause(1) + L"[=shui4]b",
       Pieces({a149 + L"睡", L"," + Pause(1) + L"[=shui4]b"})},
      {"a pause between a character and its reading, short", L"睡" + Pause(1) + L"[=shui4]b",
       Pieces({L"睡" + Pause(1) + L"[=shui4]b"})},
  };
  for (const Case& c : cases) {
    const std::wstring ssml = Ssml(c.text);
    EXPECT_EQ(ssml, c.ssml) << c.what;
    std::wstring why;
    EXPECT_TRUE(IsWellFormed(ssml, why)) << c.what << ": " << std::string(why.begin(), why.end());
  }
}

// Random mixes of text, marks, broken marks and markup characters, short and
// long, in both modes: the markup is well-formed, every pause mark is a break
// element, and decoding the markup gives back the text with only commas added
// (so each pause and reading stays where it was typed, and a phoneme holds
// the character typed right before its reading).
TEST(BuildSsml, RandomMixesOfMarksKeepEveryMarkInPlace) {
  const std::wstring pieces[] = {
      L"a", L"睡", L"觉", L",", L"，", L"。", L"<", L">", L"\"", L"&", L"[", L"]", L"=", L"/", L" ",
      Pause(1), Pause(12), L"<break time=\"", L"\"/>", L"[=", L"[=shui4]", L"[=jiao4]", L"[=]", L"[=[x]",
      L"<break time=\"[=a\"/>", L"<break time=\"]\"/>", L"x[=b]", kEmoji, kRareHan, kEmoji + L"[=x]",
      L"\x01[=y]"};
  std::mt19937 rng(20260);
  for (int round = 0; round < 1500; ++round) {
    std::wstring text;
    const int count = static_cast<int>(rng() % 40);
    const int runAt = rng() % 2 == 0 ? static_cast<int>(rng() % (count + 1)) : -1;
    for (int i = 0; i <= count; ++i) {
      if (i == runAt) text += rng() % 2 == 0 ? Repeat(L'a', 100 + rng() % 80) : Repeat(kEmoji, 50 + rng() % 40);
      if (i < count) text += pieces[rng() % (sizeof(pieces) / sizeof(pieces[0]))];
    }
    const bool isLong = text.size() >= 150;
    for (int mode : {kSsmlConversion, kSsmlPreview}) {
      std::wstring ssml;
      ASSERT_TRUE(BuildSsml(text, mode, 0, 0, ssml));
      std::wstring why;
      ASSERT_TRUE(IsWellFormed(ssml, why))
          << std::string(why.begin(), why.end()) << "\n" << testing::PrintToString(text);
      ASSERT_TRUE(PairsStayWhole(ssml)) << testing::PrintToString(text) << "\n" << testing::PrintToString(ssml);
      ASSERT_TRUE(PhonemesAreSound(ssml, why))
          << std::string(why.begin(), why.end()) << "\n" << testing::PrintToString(text);
      // What the builder is meant to say: full-width stops become commas in a
      // long text, empty marks disappear.
      std::wstring said = text;
      if (isLong) {
        std::replace(said.begin(), said.end(), L'，', L',');
        std::replace(said.begin(), said.end(), L'。', L',');
      }
      for (size_t empty = said.find(L"[=]"); empty != std::wstring::npos; empty = said.find(L"[=]")) {
        said.erase(empty, 3);
      }
      said.erase(std::remove(said.begin(), said.end(), L'\x01'), said.end());  // left out of the markup
      int pauses = 0;
      const std::vector<DecodedChar> decoded = Decode(ssml, pauses);
      size_t consumed = 0;
      ASSERT_TRUE(SaysText(decoded, said, isLong, mode == kSsmlPreview, consumed))
          << testing::PrintToString(text) << "\n" << testing::PrintToString(ssml);
      const std::vector<size_t> ends = PauseEnds(said);
      const auto expected = std::count_if(ends.begin(), ends.end(), [&](size_t end) { return end <= consumed; });
      ASSERT_EQ(pauses, expected) << testing::PrintToString(text) << "\n" << testing::PrintToString(ssml);
    }
  }
}

TEST(BuildSsml, EditorMaximumWithTenPausesFits) {
  std::wstring text;
  for (int i = 0; i < kMaxPauseMarks; ++i) {
    text += Repeat(L'字', 240) + L"，" + Repeat(L'音', 200) + L"行[=hang2]" + Pause(i + 1) + Repeat(L'句', 54);
  }
  ASSERT_EQ(CountSubstring(text, L"break time="), kMaxPauseMarks);
  std::wstring ssml;
  ASSERT_TRUE(BuildSsml(text, kSsmlConversion, 10, 10, ssml));
  EXPECT_LE(ssml.size(), kSsmlCapacity);
  std::wstring why;
  EXPECT_TRUE(IsWellFormed(ssml, why)) << std::string(why.begin(), why.end());
  EXPECT_EQ(CountSubstring(ssml, L"break time="), kMaxPauseMarks + 2);
  EXPECT_EQ(CountSubstring(ssml, L"<phoneme"), kMaxPauseMarks);
}

// Escapes and piece boundaries make the markup longer than the text; a text
// whose markup does not fit is refused, never cut.
TEST(BuildSsml, MarkupThatDoesNotFitIsRefused) {
  for (const std::wstring& text : {Repeat(L'&', 5000), Repeat(L',', 5000)}) {
    std::wstring ssml = L"unchanged";
    EXPECT_FALSE(BuildSsml(text, kSsmlConversion, 0, 0, ssml)) << text.substr(0, 1).size();
    EXPECT_EQ(ssml, L"unchanged");
  }
}

TEST(FindInRange, SearchesInsideTheRange) {
  const std::wstring text = L"ab,cd,ef";
  struct Case {
    int32_t from;
    int32_t to;
    int32_t result;
  } cases[] = {
      {0, 8, 2}, {3, 8, 2}, {3, 5, -1}, {3, 6, 2}, {6, 8, -1},
      {8, 8, 0},   // from at the end
      {0, 9, 0},   // to past the end
      {5, 4, 0},   // to before from
  };
  for (const Case& c : cases) EXPECT_EQ(FindInRange(text, L",", c.from, c.to), c.result) << c.from << "," << c.to;
}

TEST(CountSubstring, CountsWithoutOverlap) {
  EXPECT_EQ(CountSubstring(L"aaaa", L"aa"), 2);
  EXPECT_EQ(CountSubstring(L"", L"a"), 0);
  EXPECT_EQ(CountSubstring(Pause(1) + L"x" + Pause(2), L"break time="), 2);
}

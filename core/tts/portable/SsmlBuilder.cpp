#include "core/tts/portable/SsmlBuilder.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <vector>

// Index:
//   --- Marks ---      finding pause and polyphone marks
//   --- Splitting ---  comma insertion for long texts
//   --- Rendering ---  marks to elements, escaping, piece boundaries
//   --- Builder ---

namespace {

// Texts are limited to 5000 editor characters, far below these bounds.
constexpr int32_t kShortTextLimit = 150;  // shorter texts go out whole, unsplit
constexpr int32_t kPreviewLength = 150;
constexpr int32_t kWindow = 149;          // longest stretch between two commas

constexpr wchar_t kPauseOpen[] = L"<break time=\"";
constexpr wchar_t kPauseClose[] = L"\"/>";
constexpr wchar_t kPolyphoneOpen[] = L"[=";
constexpr size_t kPauseOpenLength = sizeof(kPauseOpen) / sizeof(wchar_t) - 1;

// --- Marks ---

struct Mark {
  size_t start;
  size_t length;
  bool pause;
  size_t end() const { return start + length; }
};

// Pause marks match `<break time="([^"]*)"/>`, polyphone marks `\[=[^\]]*\]`,
// found left to right without overlap as a regular-expression search would.
// Written out by hand: a backtracking regex engine recurses once per character
// and can exhaust a worker thread's stack on a long unclosed mark.
std::vector<Mark> FindMarks(const std::wstring& text, bool pause) {
  std::vector<Mark> marks;
  size_t from = 0;
  while (from < text.size()) {
    if (pause) {
      const size_t open = text.find(kPauseOpen, from);
      if (open == std::wstring::npos) break;
      const size_t quote = text.find(L'"', open + kPauseOpenLength);
      if (quote != std::wstring::npos && text.compare(quote, 3, kPauseClose) == 0) {
        marks.push_back({open, quote + 3 - open, true});
        from = quote + 3;
      } else {
        from = open + 1;
      }
    } else {
      const size_t open = text.find(kPolyphoneOpen, from);
      if (open == std::wstring::npos) break;
      const size_t close = text.find(L']', open + 2);
      if (close == std::wstring::npos) break;
      marks.push_back({open, close + 1 - open, false});
      from = close + 1;
    }
  }
  return marks;
}

// Both kinds in text order; where marks overlap the leftmost wins.
std::vector<Mark> FindAllMarks(const std::wstring& text) {
  std::vector<Mark> all = FindMarks(text, true);
  const std::vector<Mark> polyphones = FindMarks(text, false);
  all.insert(all.end(), polyphones.begin(), polyphones.end());
  std::sort(all.begin(), all.end(), [](const Mark& a, const Mark& b) { return a.start < b.start; });
  std::vector<Mark> kept;
  for (const Mark& mark : all) {
    if (kept.empty() || mark.start >= kept.back().end()) kept.push_back(mark);
  }
  return kept;
}

std::wstring ReplaceMarks(const std::wstring& text, const std::vector<Mark>& marks, const std::wstring& replacement) {
  std::wstring result;
  size_t from = 0;
  for (const Mark& mark : marks) {
    result.append(text, from, mark.start - from);
    result += replacement;
    from = mark.end();
  }
  result.append(text, from, std::wstring::npos);
  return result;
}

// Enters the marks of one kind found in `text` (where every mark of the other
// kind has been replaced by one character) at positions that count every mark
// as one character.
void EnterMarks(const std::wstring& text, bool pause, std::map<int32_t, std::wstring>& table) {
  int32_t correction = 0;
  for (const Mark& mark : FindMarks(text, pause)) {
    table.emplace(static_cast<int32_t>(mark.start) - correction, text.substr(mark.start, mark.length));
    correction += static_cast<int32_t>(mark.length) - 1;
  }
}

// --- Splitting ---

// Inserts commas into the mark-free text so that no stretch between commas
// runs longer than the service accepts; returns the insertion points in the
// coordinates of the text before any insertion.
std::vector<int32_t> SplitAtCommas(std::wstring& plain) {
  std::vector<int32_t> splits;
  auto length = [&plain] { return static_cast<int32_t>(plain.size()); };
  if (plain.find(L',') == std::wstring::npos) {
    if (length() <= kShortTextLimit) return splits;
    for (int32_t point = kShortTextLimit; point < length(); point += kWindow) {
      plain.insert(static_cast<size_t>(point), 1, L',');
      splits.push_back(point - static_cast<int32_t>(splits.size()));
    }
    return splits;
  }
  if (length() < kShortTextLimit) return splits;
  int32_t start = 0;
  int32_t end = kWindow;
  while (true) {
    const int32_t found = FindInRange(plain, L",", start, end);
    if (found != -1) {
      const int32_t handledEnd = end;
      start += found + 1;
      end = start + kWindow;
      if (handledEnd >= length()) break;
    } else {
      if (end > length()) break;
      plain.insert(static_cast<size_t>(end), 1, L',');
      splits.push_back(end - static_cast<int32_t>(splits.size()));
      start = end + 1;
      end = start + kWindow;
      if (start >= length()) break;
    }
  }
  return splits;
}

// Puts the marks back into the split plain text. A mark's table position
// counts earlier marks as one character each; its plain offset (without them)
// decides on which side of an inserted comma it goes. A pause at a comma's
// place follows the comma; a polyphone mark stays before it, next to its
// character.
std::wstring InsertMarks(const std::wstring& plain, const std::map<int32_t, std::wstring>& table,
                         const std::vector<int32_t>& splits) {
  std::wstring body = plain;
  int32_t shift = 0;
  int32_t earlierMarks = 0;
  for (const auto& [position, text] : table) {
    const int32_t plainOffset = position - earlierMarks;
    const bool pause = text.compare(0, kPauseOpenLength, kPauseOpen) == 0;
    int32_t commas = 0;
    for (int32_t split : splits) {
      if (pause ? split <= plainOffset : split < plainOffset) ++commas;
    }
    const size_t at = static_cast<size_t>(std::clamp<int32_t>(position + commas + shift, 0, static_cast<int32_t>(body.size())));
    body.insert(at, text);
    shift += static_cast<int32_t>(text.size()) - 1;
    ++earlierMarks;
  }
  return body;
}

// --- Rendering ---

void AppendEscaped(std::wstring& out, wchar_t c, bool attribute) {
  switch (c) {
    case L'&': out += L"&amp;"; return;
    case L'<': out += L"&lt;"; return;
    case L'>': out += L"&gt;"; return;
    case L'"':
      out += attribute ? L"&quot;" : L"\"";
      return;
    default:
      // Control characters other than tab and line breaks are not allowed in XML.
      if (c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r') return;
      out += c;
  }
}

void AppendEscaped(std::wstring& out, const std::wstring& text, size_t from, size_t count, bool attribute) {
  for (size_t i = from; i < from + count; ++i) AppendEscaped(out, text[i], attribute);
}

bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// Renders a body: plain text escaped, pause marks as break elements,
// polyphone marks as phoneme elements around the character before them, and,
// with `pieces`, a "</speak><speak>" boundary before every comma of the plain
// text except one that opens the body.
std::wstring RenderBody(std::wstring body, bool pieces) {
  for (size_t empty = body.find(L"[=]"); empty != std::wstring::npos; empty = body.find(L"[=]")) {
    body.erase(empty, 3);
  }
  const std::vector<Mark> marks = FindAllMarks(body);
  std::wstring out;
  auto appendPlain = [&](size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i) {
      if (pieces && body[i] == L',' && i > 0) out += L"</speak><speak>";
      AppendEscaped(out, body[i], false);
    }
  };
  size_t plainStart = 0;
  for (const Mark& mark : marks) {
    size_t plainCount = mark.start - plainStart;
    if (mark.pause) {
      appendPlain(plainStart, plainCount);
      out += kPauseOpen;
      AppendEscaped(out, body, mark.start + kPauseOpenLength, mark.length - kPauseOpenLength - 3, true);
      out += kPauseClose;
    } else {
      const size_t readingLength = mark.length - 3;
      const bool applies = plainCount > 0 && readingLength > 0 && body[mark.start + 2] != L'[';
      if (applies) {
        // The marked character, a surrogate pair counting as one.
        size_t charLength = 1;
        if (plainCount >= 2 && IsLowSurrogate(body[mark.start - 1]) && IsHighSurrogate(body[mark.start - 2])) {
          charLength = 2;
        }
        appendPlain(plainStart, plainCount - charLength);
        const size_t charStart = mark.start - charLength;
        if (pieces && body[charStart] == L',' && charStart > 0) out += L"</speak><speak>";
        out += L"<phoneme alphabet=\"py\" ph=\"";
        AppendEscaped(out, body, mark.start + 2, readingLength, true);
        out += L"\">";
        AppendEscaped(out, body, charStart, charLength, false);
        out += L"</phoneme>";
      } else {
        appendPlain(plainStart, plainCount);
        AppendEscaped(out, body, mark.start, mark.length, false);
      }
    }
    plainStart = mark.end();
  }
  appendPlain(plainStart, body.size() - plainStart);
  return out;
}

// The editor text cut for a preview; a cut that would fall inside a mark is
// moved to the mark's start, so no half mark reaches the markup.
std::wstring PreviewCut(const std::wstring& text) {
  size_t cut = kPreviewLength;
  for (const Mark& mark : FindAllMarks(text)) {
    if (mark.start < cut && cut < mark.end()) cut = mark.start;
  }
  return text.substr(0, cut);
}

std::wstring PauseElement(int32_t seconds) {
  wchar_t text[64];
  std::swprintf(text, 64, L"<break time=\"%ds\"/>", static_cast<int>(seconds));
  return text;
}

}  // namespace

// --- Builder ---

int32_t FindInRange(const std::wstring& text, const std::wstring& pattern, int32_t from, int32_t to) {
  const int32_t length = static_cast<int32_t>(text.size());
  if (from >= length || to > length || to < from) return 0;
  const size_t found = text.find(pattern, static_cast<size_t>(from));
  if (found == std::wstring::npos || found + pattern.size() > static_cast<size_t>(to)) return -1;
  return static_cast<int32_t>(found) - from;
}

int32_t CountSubstring(const std::wstring& text, const std::wstring& pattern) {
  if (pattern.empty()) return 0;
  int32_t count = 0;
  for (size_t at = text.find(pattern); at != std::wstring::npos; at = text.find(pattern, at + pattern.size())) {
    ++count;
  }
  return count;
}

void ApplyPolyphoneMarks(std::wstring& text) { text = RenderBody(text, false); }

bool BuildSsml(const std::wstring& editorText, int mode, int32_t leadSeconds, int32_t tailSeconds,
               std::wstring& ssml) {
  std::wstring out = L"<speak>";
  if (leadSeconds > 0) out += PauseElement(leadSeconds);

  if (static_cast<int32_t>(editorText.size()) < kShortTextLimit) {
    out += RenderBody(editorText, false);
  } else {
    std::wstring text = mode == kSsmlPreview ? PreviewCut(editorText) : editorText;
    std::replace(text.begin(), text.end(), L'，', L',');
    std::replace(text.begin(), text.end(), L'。', L',');

    std::map<int32_t, std::wstring> table;
    EnterMarks(ReplaceMarks(text, FindMarks(text, false), L"1"), true, table);
    EnterMarks(ReplaceMarks(text, FindMarks(text, true), L"1"), false, table);
    const std::wstring withoutPauses = ReplaceMarks(text, FindMarks(text, true), L"");
    std::wstring plain = ReplaceMarks(withoutPauses, FindMarks(withoutPauses, false), L"");

    const std::vector<int32_t> splits = SplitAtCommas(plain);
    out += RenderBody(InsertMarks(plain, table, splits), true);
  }

  if (tailSeconds >= 1) out += PauseElement(tailSeconds);
  out += L"</speak>";
  if (out.size() > kSsmlCapacity) return false;
  ssml = std::move(out);
  return true;
}
